// fuzz.h -- what the libFuzzer targets share: files in memory, a fresh device and log, and a way to fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The app directory the game targets read from; its files live in memory (fuzz.cpp).
constexpr const char* kAppDirectory = "/fuzz-app/";

// Put a file into the memory app directory, replacing one of the same name.
void PutFile(const std::string& name, const uint8_t* data, size_t size);
// A file of the memory app directory as text; empty when there is none.
std::string FileText(const std::string& name);

// The first time: a headless device "installed" in the memory app directory. Every time: log.txt
// recreated empty and every table unloaded, so one input never sees another's leftovers.
void StartInput();

// A broken promise: print why and abort, which libFuzzer reports as a finding.
[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A folder of its own for targets that read real files (zelvo-data reads through the C++ library).
const std::string& ScratchFolder();

}  // namespace fuzz
