// settings.h -- the four game keys and the music volume, kept in settings.dat.
#pragma once

#include <cstdint>

#include "platform/display.h"

enum KeySlot : int { SlotLeft = 0, SlotRight = 1, SlotUp = 2, SlotAction = 3 };
constexpr int kKeySlots = 4;

extern uint32_t keySlots[kKeySlots];  // virtual-key codes; 0 matches no key
extern uint8_t volumeSetting;         // 0..255

// Start-up: take the device's left, right, up and A keys as the slots' defaults (zero entries
// leave a slot as it is).
void SettingsUseDeviceKeys(const KeyList& keys);

// Start-up: read settings.dat over the current values. Always 0.
int SettingsLoad();

// Title's Quit button: write settings.dat (replaced in one step). Always 0.
int SettingsSave();
