// memory_files.cpp -- files.h over memory, so a fuzz target feeds a loader a million files without the disk.
// It defines every function of files.h (and files_hold.h), so the linker never takes files_posix.cpp from its library.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "fuzz/fuzz.h"
#include "platform/common/files_hold.h"
#include "platform/files.h"

using Bytes = std::vector<uint8_t>;

struct PlatformFile {
  std::shared_ptr<Bytes> bytes;
  uint32_t at = 0;
};

namespace {

std::map<std::string, std::shared_ptr<Bytes>> files;

}  // namespace

namespace fuzz {

void PutFile(const std::string& name, const uint8_t* data, size_t size) {
  files[kAppDirectory + name] = std::make_shared<Bytes>(data, data + size);
}

std::string FileText(const std::string& name) {
  auto found = files.find(kAppDirectory + name);
  return found == files.end() ? std::string() : std::string(found->second->begin(), found->second->end());
}

}  // namespace fuzz

FileHandle FileOpenRead(const std::string& path) {
  auto found = files.find(path);
  return found == files.end() ? nullptr : new PlatformFile{found->second};
}

FileHandle FileCreate(const std::string& path, bool) {
  auto& bytes = files[path];
  bytes = std::make_shared<Bytes>();
  return new PlatformFile{bytes};
}

FileHandle FileHoldForWriting(const std::string& path) {
  auto& bytes = files[path];
  if (!bytes) bytes = std::make_shared<Bytes>();
  return new PlatformFile{bytes};
}

bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;
  const uint32_t left = file->at < file->bytes->size() ? static_cast<uint32_t>(file->bytes->size() - file->at) : 0;
  const uint32_t n = std::min(size, left);
  if (n) std::memcpy(buffer, file->bytes->data() + file->at, n);
  file->at += n;
  if (done) *done = n;
  return true;
}

bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;  // the log writes through no handle when it could not be created
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (file->bytes->size() < file->at + size) file->bytes->resize(file->at + size);
  std::copy(in, in + size, file->bytes->begin() + file->at);
  file->at += size;
  if (done) *done = size;
  return true;
}

uint32_t FileSize(FileHandle file) {
  if (!file) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(std::min<size_t>(file->bytes->size(), 0xFFFFFFFEu));
}

bool FileSeek(FileHandle file, uint32_t offset) {
  if (!file) return false;
  file->at = offset;
  return true;
}

bool FileFlush(FileHandle file) { return file != nullptr; }

void FileClose(FileHandle file) { delete file; }

bool FileDelete(const std::string& path) { return files.erase(path) == 1; }

bool FileReplace(const std::string& source, const std::string& target) {
  auto found = files.find(source);
  if (found == files.end()) return false;
  files[target] = found->second;
  files.erase(source);
  return true;
}
