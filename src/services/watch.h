// watch.h -- the points where a host watching the game may look in (zelvo-sim's trace and its
// monkey soak). Each is null unless a host sets it; the game only calls what is set.
#pragma once

namespace watch {

extern void (*afterFrame)();           // the message loop ran one frame
extern void (*afterObjectsUpdated)();  // an update pass sorted, animated and moved the objects
extern void (*afterPresented)();       // a present copied the dirty rectangles and emptied the list

}  // namespace watch
