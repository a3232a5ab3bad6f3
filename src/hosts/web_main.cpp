// web_main.cpp -- zelvo.html: the game in a browser page, on the desktop device built by Emscripten.
#include <cstdio>
#include <string>

#include "platform/sdl/desktop.h"
#include "platform/window.h"
#include "services/log.h"
#include "shell/shell.h"

int main() {
  desktop::Options options;
  options.appDirectory = ZELVO_WEB_APP_DIR;  // where the page puts the world it preloads
  // The canvas holds the handheld screen pixel for pixel; the page scales it up.
  options.scale = 1;
  options.resizable = false;
  options.report = [](const std::string& line) { LogWrite("%s", line.c_str()); };
  std::string problem;
  if (!desktop::Start(options, &problem)) {
    std::fprintf(stderr, "zelvo: cannot start in this page: %s\n", problem.c_str());
    return 1;
  }
  WinMain(1, 0, "", SW_SHOW);
  desktop::Stop();
  return 0;
}
