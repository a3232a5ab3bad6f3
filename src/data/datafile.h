// datafile.h -- what the seven loaders share: paths, bounds checks, the three ways of reading, buffer ownership.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "data/tables.h"
#include "platform/files.h"

namespace datafile {

// Full path of a data file in the app directory.
std::string pathOf(const char* name);

// Log "\n<file>: <problem>" for input that is bad rather than unreadable.
void reportBad(const char* file, const char* format, ...) __attribute__((format(printf, 2, 3)));

// True when length bytes starting at start lie inside size bytes (64-bit, so nothing wraps).
inline bool fits(uint64_t start, uint64_t length, uint64_t size) { return start <= size && length <= size - start; }

// A buffer of count elements without throwing; false only when memory ran out (count 0 gives null).
template <class T>
bool allocate(uint64_t count, std::unique_ptr<T[]>& out) {
  out.reset();
  if (count == 0) return true;
  if (count > SIZE_MAX / sizeof(T)) return false;
  out.reset(new (std::nothrow) T[static_cast<size_t>(count)]);
  return out != nullptr;
}

// Buffers a table hands out by raw pointer. They stay until the table's loader frees them all
// (sprite reload) or the program ends, so a table emptied by someone else still leaks nothing.
template <class T>
class BufferPool {
 public:
  T* keep(std::unique_ptr<T[]> buffer) {
    T* raw = buffer.get();
    if (raw) kept_.push_back(std::move(buffer));
    return raw;
  }
  void freeAll() { kept_.clear(); }

 private:
  std::vector<std::unique_ptr<T[]>> kept_;
};

// Closes a file on every way out.
struct OpenFile {
  explicit OpenFile(FileHandle file) : handle(file) {}
  FileHandle handle;
  ~OpenFile() { FileClose(handle); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
};

// Whole-file reading (map, art, sprites, events): open, check the size, allocate, one read.
struct WholeFile {
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t size = 0;
};
// exactSize 0 accepts any non-empty file (an empty one gives 255); otherwise a file of another
// size logs the map's mismatch message and gives 255.
LoadResult readWholeFile(const char* name, uint32_t exactSize, WholeFile* out);

// Anything that would make a loader read past the end of its file (a count, an index entry, a
// record or a block cut short) refuses the whole file as a read failure, with one line saying why.

// Checks that an indexed file of fileSize bytes holds its count and all count index entries.
// On success *count holds N. Logs and returns false when the file is too short for either.
bool checkIndex(const char* file, const uint8_t* countBytes, uint64_t fileSize, uint32_t* count);

// Checks that a sequential file of fileSize bytes (count, then fixed records) holds all its records.
bool checkRecords(const char* file, const uint8_t* countBytes, uint64_t fileSize, uint32_t recordSize,
                  uint32_t* count);

// The index entry's record start (file offset) and declared size.
inline uint64_t recordStart(const uint8_t* index, uint32_t count, uint32_t entry) {
  return layout::index::dataStart(count) +
         layout::read32(index + static_cast<uint64_t>(entry) * layout::index::kEntrySize + layout::index::kOffset);
}
inline uint32_t recordSize(const uint8_t* index, uint32_t entry) {
  return layout::read32(index + static_cast<uint64_t>(entry) * layout::index::kEntrySize + layout::index::kSize);
}

// Checks that the fixed header of index entry `entry` lies in the file; logs when it does not.
bool checkHeader(const char* file, uint32_t entry, uint64_t start, uint32_t headerSize, uint64_t fileSize);

// Copy a fixed text field of width bytes up to its ending 0 and zero the rest of out. A field
// without a 0 is cut one character short so it still ends with one; returns true when it was.
bool copyText(char* out, const uint8_t* in, uint32_t width);

// Indexed files read record by record (images, fonts): the count, the index, then each record's
// header and the block after it. The whole file is read at once and the records are taken from
// memory, each seeing exactly the bytes a seek and a read of it would have brought.
class SeekReader {
 public:
  explicit SeekReader(const char* name) : name_(name) {}
  SeekReader(const SeekReader&) = delete;
  SeekReader& operator=(const SeekReader&) = delete;

  // Opens and reads the file, then checks count and index. A file that cannot be opened logs
  // "\nFailed to open <name>" and gives 255; an empty file has no records.
  LoadResult open();
  uint32_t count() const { return count_; }

  // Reads entry's fixed header into out and tells the size of the block after it.
  LoadResult header(uint32_t entry, uint8_t* out, uint32_t headerSize, uint32_t* blockSize);
  // The block after the header just read, where it lies in the file's bytes; null (and a line in
  // the log) when it is cut short. What names the block in messages.
  const uint8_t* block(uint32_t entry, uint32_t id, const char* what, uint32_t size);
  // The file's bytes, for a table that keeps blocks where they lie.
  std::unique_ptr<uint8_t[]> takeBytes() { return std::move(bytes_); }

  // For each index entry in order: read its header, then build(entry, header, blockSize), which
  // takes the block. Stops at the first result other than LoadOk.
  template <class Build>
  LoadResult forEachRecord(uint32_t headerSize, Build&& build) {
    uint8_t header[kMaxHeaderSize];
    if (headerSize > kMaxHeaderSize) return LoadOther;
    for (uint32_t entry = 0; entry < count_; ++entry) {
      uint32_t size = 0;
      if (LoadResult result = this->header(entry, header, headerSize, &size); result != LoadOk) return result;
      if (LoadResult result = build(entry, static_cast<const uint8_t*>(header), size); result != LoadOk) return result;
    }
    return LoadOk;
  }

 private:
  // How many of length bytes at start a read there would bring.
  uint32_t available(uint64_t start, uint32_t length) const {
    return start >= read_ ? 0 : static_cast<uint32_t>(std::min<uint64_t>(length, read_ - start));
  }

  static constexpr uint32_t kMaxHeaderSize = 16;  // images have 10 bytes, fonts 8
  const char* name_;
  uint32_t fileSize_ = 0;
  uint32_t read_ = 0;  // bytes the read brought: the file's size unless it shrank meanwhile
  uint32_t count_ = 0;
  std::unique_ptr<uint8_t[]> bytes_;
  uint64_t blockStart_ = 0;
};

}  // namespace datafile
