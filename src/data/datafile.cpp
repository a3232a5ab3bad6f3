// datafile.cpp -- reading data files safely: whole files, seek per record, and the checks they share.
#include "data/datafile.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "services/app.h"
#include "services/log.h"

namespace datafile {

namespace {

constexpr uint32_t kUnknownSize = 0xFFFFFFFFu;  // what FileSize says when it cannot tell
constexpr uint32_t kCountBytes = 4;             // every record count is a u32

unsigned long long ull(uint64_t v) { return static_cast<unsigned long long>(v); }

}  // namespace

std::string pathOf(const char* name) { return appDirectory + name; }

void reportBad(const char* file, const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  LogWrite("\n%s: %s", file, text);
}

LoadResult readWholeFile(const char* name, uint32_t exactSize, WholeFile* out) {
  OpenFile file(FileOpenRead(pathOf(name)));
  if (!file.handle) return LoadCannotOpen;
  const uint32_t size = FileSize(file.handle);
  if (exactSize != 0 && size != exactSize) {
    LogWrite("\nMap size mismatch. Expected %d, found %d", static_cast<int>(exactSize), static_cast<int>(size));
    return LoadOther;
  }
  if (size == 0) return LoadOther;
  if (size == kUnknownSize) {
    reportBad(name, "cannot tell the file's size");
    return LoadReadFailed;
  }
  if (!allocate(size, out->bytes)) return LoadOutOfMemory;
  uint32_t done = 0;
  // A short read means the file changed under us; we only trust bytes we really have.
  if (!FileRead(file.handle, out->bytes.get(), size, &done) || done != size) {
    out->bytes.reset();
    return LoadReadFailed;
  }
  out->size = size;
  return LoadOk;
}

bool checkIndex(const char* file, const uint8_t* countBytes, uint64_t fileSize, uint32_t* count) {
  if (fileSize < layout::index::kCountSize) {
    reportBad(file, "the file ends inside the record count (%llu of its 4 bytes)", ull(fileSize));
    return false;
  }
  *count = layout::read32(countBytes);
  const uint64_t need = layout::index::dataStart(*count);
  if (need > fileSize) {
    reportBad(file, "count %u needs %llu bytes of count and index, but the file has %llu", *count, ull(need),
              ull(fileSize));
    return false;
  }
  return true;
}

bool checkRecords(const char* file, const uint8_t* countBytes, uint64_t fileSize, uint32_t recordSize,
                  uint32_t* count) {
  if (fileSize < kCountBytes) {
    reportBad(file, "the file ends inside the record count (%llu of its 4 bytes)", ull(fileSize));
    return false;
  }
  *count = layout::read32(countBytes);
  const uint64_t need = kCountBytes + static_cast<uint64_t>(recordSize) * *count;
  if (need > fileSize) {
    reportBad(file, "count %u needs %llu bytes, but the file has %llu", *count, ull(need), ull(fileSize));
    return false;
  }
  return true;
}

bool checkHeader(const char* file, uint32_t entry, uint64_t start, uint32_t headerSize, uint64_t fileSize) {
  if (start >= fileSize) {
    reportBad(file, "index entry %u: the record starts at byte %llu, past the end of the file (%llu bytes)", entry,
              ull(start), ull(fileSize));
    return false;
  }
  if (!fits(start, headerSize, fileSize)) {
    reportBad(file, "index entry %u: the %u-byte header at byte %llu is cut short by the end of the file (%llu bytes)",
              entry, headerSize, ull(start), ull(fileSize));
    return false;
  }
  return true;
}

bool copyText(char* out, const uint8_t* in, uint32_t width) {
  const void* end = std::memchr(in, 0, width);
  const uint32_t used = end ? static_cast<uint32_t>(static_cast<const uint8_t*>(end) - in) : width - 1;
  std::memcpy(out, in, used);
  std::memset(out + used, 0, width - used);
  return end == nullptr;
}

LoadResult SeekReader::open() {
  file_ = FileOpenRead(pathOf(name_));
  if (!file_) {
    LogWrite("\nFailed to open %s", name_);
    return LoadOther;
  }
  fileSize_ = FileSize(file_);
  if (fileSize_ == kUnknownSize) {
    reportBad(name_, "cannot tell the file's size");
    return LoadReadFailed;
  }
  uint8_t countBytes[layout::index::kCountSize] = {};
  uint32_t done = 0;
  // A count that cannot be read at all (a failed read, an empty file) means no records.
  if (!FileRead(file_, countBytes, sizeof countBytes, &done) || done == 0) return LoadOk;
  // A count read short is judged by the bytes that came, the index by the file's size.
  if (!checkIndex(name_, countBytes, done < sizeof countBytes ? done : fileSize_, &count_)) {
    count_ = 0;
    return LoadReadFailed;
  }
  const uint32_t indexBytes = count_ * layout::index::kEntrySize;  // fits: checked against the file size
  if (!allocate(indexBytes, index_)) return LoadOutOfMemory;
  if (!FileRead(file_, index_.get(), indexBytes, &done)) return LoadReadFailed;
  if (done != indexBytes) {
    reportBad(name_, "the index is cut short: %u of %u bytes", done, indexBytes);
    return LoadReadFailed;
  }
  return LoadOk;
}

LoadResult SeekReader::header(uint32_t entry, uint8_t* out, uint32_t headerSize, uint32_t* blockSize) {
  const uint64_t start = recordStart(index_.get(), count_, entry);
  *blockSize = recordSize(index_.get(), entry);
  if (start >= fileSize_) {
    reportBad(name_, "index entry %u: the record starts at byte %llu, past the end of the file (%u bytes)", entry,
              ull(start), fileSize_);
    return LoadReadFailed;
  }
  if (!FileSeek(file_, static_cast<uint32_t>(start))) return LoadReadFailed;
  uint32_t done = 0;
  if (!FileRead(file_, out, headerSize, &done)) return LoadReadFailed;
  if (done != headerSize) {
    reportBad(name_, "index entry %u: the header at byte %llu is cut short: %u of %u bytes", entry, ull(start), done,
              headerSize);
    return LoadReadFailed;
  }
  blockStart_ = start + headerSize;
  // Checked before anything is allocated, so a bogus size cannot ask for gigabytes.
  if (!fits(blockStart_, *blockSize, fileSize_)) {
    reportBad(name_, "index entry %u (id %u): its %u bytes after the header run past the end of the file (%u bytes)",
              entry, layout::read32(out), *blockSize, fileSize_);
    return LoadReadFailed;
  }
  return LoadOk;
}

LoadResult SeekReader::block(uint32_t entry, uint32_t id, const char* what, void* out, uint32_t size) {
  uint32_t done = 0;
  if (!FileRead(file_, out, size, &done)) return LoadReadFailed;
  if (done != size) {
    reportBad(name_, "index entry %u (id %u): %s at byte %llu is cut short: %u of %u bytes", entry, id, what,
              ull(blockStart_), done, size);
    return LoadReadFailed;
  }
  return LoadOk;
}

}  // namespace datafile
