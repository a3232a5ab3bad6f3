// fuzz.h -- what the libFuzzer targets share: a folder of files, a fresh device and log, and a way to fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The folder of this process (on /dev/shm, in memory, where the system has it), with its trailing
// '/': the game's app directory, where every target reads and writes real files.
const std::string& Folder();

// Write a file into the folder (name may hold a subfolder that exists), replacing one of that name.
void PutFile(const std::string& name, const uint8_t* data, size_t size);
// A file of the folder as text; empty when there is none.
std::string FileText(const std::string& name);

// The first time: a headless device "installed" in the folder. Every time: log.txt recreated empty
// and every table unloaded, so one input never sees another's leftovers.
void StartInput();

// A broken promise: print why and abort, which libFuzzer reports as a finding.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace fuzz
