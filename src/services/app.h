// app.h -- the few program-wide values every layer may read: where the program lives, its window,
// whether it runs on, and the device's keys.
#pragma once

#include <cstdint>
#include <string>

#include "platform/display.h"
#include "platform/window.h"

extern std::string appDirectory;  // folder of the program, with its trailing separator
extern WindowHandle mainWindow;
extern uint8_t running;  // cleared by the title's Quit button
extern KeyList keyList;  // the device's default keys, fetched once at start-up
