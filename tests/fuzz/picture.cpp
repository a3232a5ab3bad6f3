// picture.cpp -- a libFuzzer target for zelvo-data's PNG reader: a picture, or a problem naming the file.
#include <fstream>

#include "fuzz/fuzz.h"
#include "pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "/picture.png";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  zdata::Picture picture;
  std::string problem;
  if (!zdata::loadPicture(path, picture, problem)) {
    if (problem.find(path) == std::string::npos) fuzz::Fail("a problem that does not name the file: %s", problem.c_str());
    return 0;
  }
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
    fuzz::Fail("%d x %d picture with %zu pixels", picture.width, picture.height, picture.pixels.size());
  return 0;
}
