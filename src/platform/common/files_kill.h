// files_kill.h -- a fault hook of the files backend: the process dies at a chosen step of writing a file.
#pragma once

#include <string>

// Tests of saving under kills (zelvo-sim --kill-at): from now on, count the steps of writing files
// whose name starts with `name` (create, each half of a write, flush, close, replace, delete) and
// end the process at once, as SIGKILL would, just before step `step` (1 is the first). A step of 0
// turns the hook off. Every files backend offers this, so the same test runs on every device.
void FilesKillAt(const std::string& name, int step);

