// files_backend.h -- what every files backend shares: the kill hook's steps, whole reads and writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/common/files_kill.h"

// Whether the kill hook watches the file at path.
bool FilesWatched(const std::string& path);
// One step of writing a file (watched or not) is about to happen: the process may end here.
void FilesStep(bool watched);
// Each backend ends its process here, at once, as SIGKILL would.
[[noreturn]] void FilesKillNow();

// One system read or write of up to size bytes: the count done (0 at the end of a file), -1 on failure.
using FilesTransfer = std::function<int64_t(char* bytes, uint32_t size)>;

// Read until size bytes or the end of the file; a short read is not a failure.
bool FilesReadAll(const FilesTransfer& read, void* buffer, uint32_t size, uint32_t* done);

// Write all size bytes; a watched file is written in two halves with a step between, so a kill can
// leave it torn.
bool FilesWriteAll(const FilesTransfer& write, bool watched, const void* buffer, uint32_t size, uint32_t* done);
