// input.cpp -- stylus taps held in a one-tap latch, the four game keys, and the device's key list.
#include "flow/input.h"

#include "gfx/display.h"
#include "platform/keys.h"
#include "services/app.h"
#include "services/settings.h"

uint16_t tapX = 0;
uint16_t tapY = 0;
uint8_t keyDown[4] = {};

static bool isDown(uint32_t virtualKey) { return (KeyAsyncState(virtualKey) & 0x8000) != 0; }

void LatchTap(uint32_t sx, uint32_t sy) {
  if (tapX != 0 || tapY != 0) return;  // the first tap stays until the game takes it
  const uint32_t left = display.viewOffsetX, top = display.viewOffsetY;
  // The view's outermost rows and columns do not count: a latched tap is never 0 on either axis.
  if (sx > left && sy > top && sx < left + 239 && sy < top + 239) {
    tapX = static_cast<uint16_t>(sx - left);
    tapY = static_cast<uint16_t>(sy - top);
  } else {
    tapX = 0;
    tapY = 0;
  }
}

bool TapPending() { return tapX != 0 && tapY != 0; }

uint32_t TakeTap() {
  const uint32_t tap = (static_cast<uint32_t>(tapX) << 16) | tapY;
  tapX = 0;
  tapY = 0;
  return tap;
}

void ReadGameKeys() {
  for (int slot = 0; slot < kKeySlots; ++slot) keyDown[slot] = keySlots[slot] != 0 && isDown(keySlots[slot]) ? 1 : 0;
}

uint32_t AnyGapiKey() {
  const KeyListEntry* order[] = {&keyList.left,  &keyList.right, &keyList.up, &keyList.down,
                                 &keyList.start, &keyList.a,     &keyList.b,  &keyList.c};
  for (const KeyListEntry* entry : order) {
    if (entry->vkCode == 0) continue;
    const uint32_t code = static_cast<uint32_t>(static_cast<int32_t>(entry->vkCode));
    if (isDown(code)) return code;
  }
  return 0;
}
