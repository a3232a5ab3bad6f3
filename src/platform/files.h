// files.h -- files in the app directory: data files, settings.dat and log.txt.
#pragma once

#include <cstdint>
#include <string>

struct PlatformFile;
using FileHandle = PlatformFile*;  // nullptr is the invalid handle

// Data loaders and settings: open an existing file for reading; others may read it too.
FileHandle FileOpenRead(const std::string& path);

// Log and settings: create a file or truncate an existing one, for writing (and reading when
// readable is true). Others may read the file while it is open; none may write it, so a second
// create of a file held open this way fails (also from another process) and leaves it intact.
FileHandle FileCreate(const std::string& path, bool readable);

// Read up to size bytes; *done receives the count read. False when the read itself fails.
bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done);

// Write size bytes; *done receives the count written. False when the write fails or is short.
bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done);

// Size of the file in bytes, or 0xFFFFFFFF when it cannot be told.
uint32_t FileSize(FileHandle file);

// Move the read position to offset bytes from the start. False when that fails.
bool FileSeek(FileHandle file, uint32_t offset);

// Push everything written so far to the disk.
bool FileFlush(FileHandle file);

// Release the handle (and its write lock). Null handles are ignored.
void FileClose(FileHandle file);

// Settings: remove a file (a temporary one that could not be completed). False when that fails.
bool FileDelete(const std::string& path);

// Settings: replace the file at target with the one at source in one step, so the target is
// never seen half written. False when that fails.
bool FileReplace(const std::string& source, const std::string& target);
