// sprites.h -- building sprite templates from sprites.dat: frame decoding and its checks.
#pragma once

#include <cstdint>

#include "data/tables.h"

// What stopped decoding, if anything; frame is 1-based as Sprite::frame counts.
struct FrameFault {
  enum Kind : uint8_t {
    None,
    TableCutShort,  // the frame offset table is longer than the frame data
    StartsOutside,  // a frame offset points at or past the end of the frame data
    RunsOff,        // a frame's words run out before the frame ends
  };
  Kind kind = None;
  uint32_t frame = 0;
};

// Sprite loading: fill sprite.pixels (frameCount x width x height values, allocated by the
// caller) from sprite.frameData. Every word read lies inside frameDataSize bytes and every pixel
// written inside the frame. Sets pixelsReady to 1 unless it reports a fault.
FrameFault decodeFrames(Sprite& sprite);
