// web_main.cpp -- zelvo.html: the game in a browser page, on the desktop device built by Emscripten.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "hosts/recording.h"
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
  // The session is recorded into the browser's storage, beside the kept settings: a page closed
  // in the middle of a game (phones close tabs in the background) goes on from there next time.
  recording::BeginSession({"/zelvo-kept/recordings", "", options.appDirectory, true, desktop::RecordingDevice()});
  EM_ASM({
    const store = () => FS.syncfs(false, error => error && console.warn("zelvo: session not kept: " + error));
    document.addEventListener("visibilitychange", () => document.visibilityState === "hidden" && store());
    addEventListener("pagehide", store);
    setInterval(store, 10000);
  });
  WinMain(1, 0, "", SW_SHOW);
  recording::EndSession();
  EM_ASM({ FS.syncfs(false, () => {}); });
  desktop::Stop();
  return 0;
}
