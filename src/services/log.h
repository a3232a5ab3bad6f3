// log.h -- log.txt, recreated at every start; one formatted message per line.
#pragma once

#include "platform/files.h"

extern FileHandle logFile;  // null while the log is not open (before, after, or when creation failed)

// Start-up: create log.txt afresh in the app directory.
void LogOpen();

// Anyone: format a message (printf style; %I64d prints a 64-bit integer), append a line feed
// and write it at once. Does nothing while the log is not open.
void LogWrite(const char* format, ...);

// Shutdown: flush and close the log.
void LogClose();
