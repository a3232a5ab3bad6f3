// winqueue.h -- the shared message queue and window table behind window.h.
#pragma once

#include "platform/window.h"

// Append a message to the queue (input and posted messages, first in first out).
void WinQueuePost(const Message& message);

// Mark the window as needing paint; a WM_PAINT comes when nothing else waits.
void WinQueueInvalidate(WindowHandle window);

// The main window, or 0 before it exists or after it was destroyed.
WindowHandle WinQueueMainWindow();

// Forget every window, class and message (a device starting a fresh run).
void WinQueueReset();
