// shell.h -- program entry, the main window, start-up, the message loop and shutdown.
#pragma once

#include <cstdint>

#include "platform/window.h"
#include "services/app.h"

extern InstanceHandle appInstance;
extern int32_t focusCount;       // frames run only while above 0

// The program: start up, run the message loop, shut down. Returns the exit code.
int WinMain(InstanceHandle instance, InstanceHandle previousInstance, const char* commandLine, int showCommand);

// Start-up: true when a new main window was created and shown; false when creation failed or
// another copy of the program is running (that copy is brought to the front).
bool CreateMainWindow(InstanceHandle instance, int showCommand);

// The main window's procedure.
intptr_t MainWndProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The message loop: dispatch every waiting message; when none waits, the window has focus and
// more than 0.01 s have passed, run one frame. Returns the last retrieved message.
Message RunMessageLoop(void (*frame)(double elapsed));
