// keys.h -- the hardware keys, read as they are now.
#pragma once

#include <cstdint>

// Virtual-key codes keep the handheld's values, so settings.dat means the same on every device.
constexpr uint32_t VK_RETURN = 13;
constexpr uint32_t VK_SPACE = 32;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;

// Game keys and key capture: state of a key now; bit 15 (0x8000) is set while it is down.
// Codes that name no key (0, above 255) are never down.
uint16_t KeyAsyncState(uint32_t virtualKey);
