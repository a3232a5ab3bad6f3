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
  OpenFile file(FileOpenRead(pathOf(name_)));
  if (!file.handle) {
    LogWrite("\nFailed to open %s", name_);
    return LoadOther;
  }
  fileSize_ = FileSize(file.handle);
  if (fileSize_ == kUnknownSize) {
    reportBad(name_, "cannot tell the file's size");
    return LoadReadFailed;
  }
  if (!allocate(fileSize_, bytes_)) return LoadOutOfMemory;
  // A file that cannot be read at all (a failed read, an empty file) has no records.
  if (!FileRead(file.handle, bytes_.get(), fileSize_, &read_) || read_ == 0) return LoadOk;
  // A count cut short is judged by the bytes that came, the index by the file's size.
  const uint32_t countRead = available(0, layout::index::kCountSize);
  if (!checkIndex(name_, bytes_.get(), countRead < layout::index::kCountSize ? countRead : fileSize_, &count_)) {
    count_ = 0;
    return LoadReadFailed;
  }
  const uint32_t indexBytes = count_ * layout::index::kEntrySize;  // fits: checked against the file size
  if (const uint32_t done = available(layout::index::kCountSize, indexBytes); done != indexBytes) {
    reportBad(name_, "the index is cut short: %u of %u bytes", done, indexBytes);
    return LoadReadFailed;
  }
  return LoadOk;
}

LoadResult SeekReader::header(uint32_t entry, uint8_t* out, uint32_t headerSize, uint32_t* blockSize) {
  const uint8_t* index = bytes_.get() + layout::index::kCountSize;
  const uint64_t start = recordStart(index, count_, entry);
  *blockSize = recordSize(index, entry);
  if (start >= fileSize_) {
    reportBad(name_, "index entry %u: the record starts at byte %llu, past the end of the file (%u bytes)", entry,
              ull(start), fileSize_);
    return LoadReadFailed;
  }
  const uint32_t done = available(start, headerSize);
  if (done != headerSize) {
    reportBad(name_, "index entry %u: the header at byte %llu is cut short: %u of %u bytes", entry, ull(start), done,
              headerSize);
    return LoadReadFailed;
  }
  std::memcpy(out, bytes_.get() + start, headerSize);
  blockStart_ = start + headerSize;
  // Checked before anything is allocated, so a bogus size cannot ask for gigabytes.
  if (!fits(blockStart_, *blockSize, fileSize_)) {
    reportBad(name_, "index entry %u (id %u): its %u bytes after the header run past the end of the file (%u bytes)",
              entry, layout::read32(out), *blockSize, fileSize_);
    return LoadReadFailed;
  }
  return LoadOk;
}

const uint8_t* SeekReader::block(uint32_t entry, uint32_t id, const char* what, uint32_t size) {
  const uint32_t done = available(blockStart_, size);
  if (done != size) {
    reportBad(name_, "index entry %u (id %u): %s at byte %llu is cut short: %u of %u bytes", entry, id, what,
              ull(blockStart_), done, size);
    return nullptr;
  }
  return bytes_.get() + blockStart_;
}

}  // namespace datafile
