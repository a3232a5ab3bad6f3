// device.h -- what a device backend supplies to the shared window and message code.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"

// Move input that has arrived on the device (keys, taps, focus, close requests) into the message
// queue with WinQueuePost. Called before every look at the queue.
void DevicePumpEvents();

// The queue was found empty by a poll: let time pass (headless) or wait briefly for input (desktop).
void DeviceIdle();

// The main window of another running copy of the program, or 0.
WindowHandle DeviceFindOtherInstance(const std::string& className, const std::string& title);

// Bring the other copy's window to the front.
void DeviceRaiseOtherInstance(WindowHandle window);

// False when the device refuses to register the class or create the window.
bool DeviceAllowClassRegistration();
bool DeviceAllowWindowCreation();

// The window was created (and may now be shown), moved, or asked to cover the screen.
void DeviceWindowCreated(WindowHandle window, const std::string& title);
void DeviceWindowShown(WindowHandle window, int showCommand);
void DeviceWindowMoved(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height);
void DeviceWindowFullScreen(WindowHandle window, uint32_t flags);

// The screen's size as the system reports it.
int32_t DeviceScreenWidth();
int32_t DeviceScreenHeight();
