// loader.cpp -- a libFuzzer target for one of the seven data loaders; the build names the file and
// the loader (ZELVO_FUZZ_FILE, ZELVO_FUZZ_LOADER).
#include <cstring>

#include "data/loaders.h"
#include "fuzz/fuzz.h"

namespace {

volatile uint64_t sink = 0;  // keeps the reads below from being optimised away

// Reads every byte the tables say they hold, so a record that overstates its buffers shows up
// under AddressSanitizer, and checks what the loaders promise about each record.
void touchEverything() {
  uint64_t sum = 0;
  for (const auto& [id, s] : spriteTable) {
    if (s.pixelsReady != 1 || s.width == 0 || s.height == 0) fuzz::Fail("sprite %u kept undecoded or empty", id);
    const uint64_t pixels = static_cast<uint64_t>(s.frameCount) * s.width * s.height;
    for (uint64_t i = 0; i < pixels; ++i) sum += s.pixels[i];
    for (uint32_t i = 0; i < s.frameDataSize; ++i) sum += s.frameData[i];
  }
  for (const auto& [id, image] : imageTable) {
    for (uint32_t i = 0; i < image.pixelDataSize; ++i) sum += image.pixelData[i];
    const uint64_t area = static_cast<uint64_t>(image.width) * image.height;
    if ((image.saveBuffer != nullptr) != (image.saveUnder == 1 && area > 0)) fuzz::Fail("image %u: save buffer", id);
    // The first and last pixel of the save buffer, wherever it is (a big one may be mostly unmapped).
    if (image.saveBuffer) image.saveBuffer[0] = image.saveBuffer[area - 1] = 0;
  }
  for (const auto& [id, font] : fontTable) {
    for (uint32_t i = 0; i < font.sheetPixels; ++i) sum += font.glyphSheet[i];
  }
  for (const Artifact& a : artifactList) {
    if (strnlen(a.name, sizeof a.name) == sizeof a.name) fuzz::Fail("artifact %u: name without its 0", a.id);
  }
  for (const auto& [id, d] : dialogTable) {
    if (strnlen(d.text, sizeof d.text) == sizeof d.text) fuzz::Fail("dialog %u: text without its 0", id);
  }
  for (const auto& [id, e] : eventTable) {
    if (e.actions.size() != e.actionCount) fuzz::Fail("event %u: %zu actions of %u", id, e.actions.size(), e.actionCount);
  }
  sink = sink + sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartInput();
  fuzz::PutFile(ZELVO_FUZZ_FILE, data, size);
  const LoadResult result = ZELVO_FUZZ_LOADER();
  touchEverything();
  switch (result) {
    case LoadOk:
    case LoadOther:
    case LoadOutOfMemory:
      return 0;
    case LoadReadFailed:
      break;
    default:
      fuzz::Fail("loader gave %d", static_cast<int>(result));
  }
  // The file was there to read: a refusal is its content's fault and says so in a line of its own.
  const std::string log = fuzz::FileText("log.txt");
  if (log.find("\n" ZELVO_FUZZ_FILE ": ") == std::string::npos) fuzz::Fail("refused without a line:%s", log.c_str());
  return 0;
}
