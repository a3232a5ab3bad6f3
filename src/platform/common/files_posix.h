// files_posix.h -- what the shared POSIX files offer a device beyond files.h.
#pragma once

#include <string>

// A device that keeps finished files somewhere else as well (a page keeps them in the browser's
// storage): observer hears the target of every FileReplace that succeeded, before it returns.
void FilesObserveReplace(void (*observer)(const std::string& target));
