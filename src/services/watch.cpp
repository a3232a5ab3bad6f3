// watch.cpp -- the watch points, unset.
#include "services/watch.h"

namespace watch {

void (*afterFrame)() = nullptr;
void (*afterObjectsUpdated)() = nullptr;
void (*afterPresented)() = nullptr;

}  // namespace watch
