// system.h -- core system services: memory, the program's path, message boxes, sleep, random numbers, the counter.
#pragma once

#include <cstdint>
#include <string>

// Message box styles the game uses (the values of the handheld's system).
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_ICONERROR = 0x10;

// Start-up memory check: bytes of virtual memory still available to the program.
uint32_t SysAvailableVirtualMemory();

// Start-up, to find the app directory: full path of the running program's file.
std::string SysModuleFileName();

// Start-up failures: show a modal message box with no owner and wait until it is closed.
void SysMessageBox(const std::string& text, const std::string& caption, uint32_t style);

// Front-end pauses, the splash hold and modal waits: block the whole program for ms milliseconds.
void SysSleep(uint32_t ms);

// Sprite loading (random start frames): a 32-bit random number.
uint32_t SysRandom();

// Frame timer: ticks per second of the performance counter; false when the device has none.
bool SysCounterFrequency(uint64_t* frequency);

// Frame timer: the performance counter now; false when the device has none.
bool SysCounterValue(uint64_t* count);
