// log.cpp -- log.txt: recreated at every start, written at once, never read back.
#include "services/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "services/app.h"

FileHandle logFile = nullptr;

void LogOpen() { logFile = FileCreate(appDirectory + "log.txt", true); }

// The handheld's runtime spells a 64-bit integer %I64d; ours spells it %lld.
static std::string hostFormat(const char* format) {
  std::string out(format);
  for (size_t at = out.find("%I64"); at != std::string::npos; at = out.find("%I64", at)) out.replace(at, 4, "%ll");
  return out;
}

void LogWrite(const char* format, ...) {
  constexpr size_t kBufferSize = 4096;
  char buffer[kBufferSize];
  va_list args;
  va_start(args, format);
  // A message too long for the buffer is cut so that its line feed and the ending zero still fit.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  int length = std::vsnprintf(buffer, kBufferSize - 1, hostFormat(format).c_str(), args);
#pragma GCC diagnostic pop
  va_end(args);
  size_t used = length < 0 ? 0 : std::min(static_cast<size_t>(length), kBufferSize - 2);
  buffer[used] = '\n';
  buffer[used + 1] = '\0';
  uint32_t written = 0;
  FileWrite(logFile, buffer, static_cast<uint32_t>(std::strlen(buffer)), &written);
}

void LogClose() {
  FileFlush(logFile);
  FileClose(logFile);
  logFile = nullptr;  // a closed handle must not be written through again
}
