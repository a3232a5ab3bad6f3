// files_hold.h -- what the headless device asks of the files backend beyond files.h.
#pragma once

#include <string>

#include "platform/files.h"

// Another running copy: open (or create) a file for writing with the write lock every writer takes,
// keeping what it holds. Released by FileClose; null when it cannot be held.
FileHandle FileHoldForWriting(const std::string& path);
