// files_windows.cpp -- files.h on Windows handles; write sharing is refused by the share mode.
// Paths are UTF-8 inside the program and wide at the system's calls, so any folder name works.
#include <windows.h>

#include "platform/common/files_backend.h"
#include "platform/common/files_hold.h"
#include "platform/common/places.h"
#include "platform/common/utf8.h"
#include "platform/files.h"

struct PlatformFile {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool watched = false;  // the kill hook counts the steps of writing it
};

[[noreturn]] void FilesKillNow() {
  // As SIGKILL: nothing more of ours runs, no buffer is flushed, no handle closed in order.
  ::TerminateProcess(::GetCurrentProcess(), 137);
  ::ExitProcess(137);  // not reached
}

namespace {

// Readers let everyone read, write and rename over the file, as POSIX readers would; writers let
// others read and rename but not write, so a second writer's open fails while the first holds it.
constexpr DWORD kReaderShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kWriterShare = FILE_SHARE_READ | FILE_SHARE_DELETE;

// Only files on a disk hold data: a folder, a device (NUL, CON, COM1 under a file's name) or a
// pipe is refused as if the file were missing.
HANDLE openRegular(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  const std::wstring wide = utf8::Widen(path);
  if (wide.empty()) return INVALID_HANDLE_VALUE;
  HANDLE handle = ::CreateFileW(wide.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return handle;
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

FilesTransfer transfer(HANDLE handle, bool writing) {
  return [handle, writing](char* bytes, uint32_t size) -> int64_t {
    DWORD n = 0;
    const BOOL ok = writing ? ::WriteFile(handle, bytes, size, &n, nullptr) : ::ReadFile(handle, bytes, size, &n, nullptr);
    return ok ? static_cast<int64_t>(n) : -1;
  };
}

FileHandle wrap(HANDLE handle, bool isWatched = false) {
  auto* file = new PlatformFile;
  file->handle = handle;
  file->watched = isWatched;
  return file;
}

}  // namespace

FileHandle FileOpenRead(const std::string& path) {
  HANDLE handle = openRegular(FilesWhere(path, false), GENERIC_READ, kReaderShare, OPEN_EXISTING);
  return handle == INVALID_HANDLE_VALUE ? nullptr : wrap(handle);
}

FileHandle FileCreate(const std::string& path, bool readable) {
  const bool isWatched = FilesWatched(path);
  FilesStep(isWatched);
  // Opened without truncating, so a second writer, refused by the share mode, cannot cut what the
  // first is writing; only the one that holds the file empties it.
  HANDLE handle =
      openRegular(FilesWhere(path, true), GENERIC_WRITE | (readable ? GENERIC_READ : 0), kWriterShare, OPEN_ALWAYS);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!::SetEndOfFile(handle)) {
    ::CloseHandle(handle);
    return nullptr;
  }
  FileHandle file = wrap(handle, isWatched);
  FilesCreated(file, path);
  return file;
}

FileHandle FileHoldForWriting(const std::string& path) {
  HANDLE handle = openRegular(FilesWhere(path, true), GENERIC_READ | GENERIC_WRITE, kWriterShare, OPEN_ALWAYS);
  return handle == INVALID_HANDLE_VALUE ? nullptr : wrap(handle);
}

bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  return file && FilesReadAll(transfer(file->handle, false), buffer, size, done);
}

bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  return file && FilesWriteAll(transfer(file->handle, true), file->watched, buffer, size, done);
}

uint32_t FileSize(FileHandle file) {
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file->handle, &size) || size.QuadPart < 0 || size.QuadPart > 0xFFFFFFFEll)
    return 0xFFFFFFFFu;
  return static_cast<uint32_t>(size.QuadPart);
}

bool FileSeek(FileHandle file, uint32_t offset) {
  LARGE_INTEGER to{}, at{};
  to.QuadPart = offset;
  return file && ::SetFilePointerEx(file->handle, to, &at, FILE_BEGIN) && at.QuadPart == to.QuadPart;
}

bool FileFlush(FileHandle file) {
  if (!file) return false;
  FilesStep(file->watched);
  return ::FlushFileBuffers(file->handle) != 0;
}

void FileClose(FileHandle file) {
  if (!file) return;
  FilesStep(file->watched);
  ::CloseHandle(file->handle);
  delete file;
}

bool FileDelete(const std::string& path) {
  FilesStep(FilesWatched(path));
  const std::wstring wide = utf8::Widen(FilesWhere(path, true));
  return !wide.empty() && ::DeleteFileW(wide.c_str()) != 0;
}

bool FileReplace(const std::string& source, const std::string& target) {
  FilesStep(FilesWatched(source) || FilesWatched(target));
  const std::wstring from = utf8::Widen(FilesWhere(source, true)), to = utf8::Widen(FilesWhere(target, true));
  // One rename over the old file, returning only once the new name is on the disk.
  return !from.empty() && !to.empty() &&
         ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
