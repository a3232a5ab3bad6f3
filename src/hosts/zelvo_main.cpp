// zelvo_main.cpp -- zelvo: the game in a desktop window, keyboard and controllers as the handheld's keys, mouse as its stylus.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <system_error>

#include "hosts/recording.h"
#include "platform/common/process.h"
#include "platform/sdl/desktop.h"
#include "platform/sdl/view.h"
#include "platform/window.h"
#include "services/log.h"
#include "shell/shell.h"

namespace {

const char* kFooter = R"(
Keys: the arrows walk and jump, Space is the handheld's A button (the Action key until you define
your own), X is B, C is C and Return is Start. The mouse's left button is the stylus.
A game controller plays too: D-pad or left stick for the arrows, the south face button for A, east
for B, west and north for C, Start for Start. Controllers SDL does not know take their mappings from
SDL_GAMECONTROLLERCONFIG or from gamecontrollerdb.txt in the app directory.
Alt+Enter or F11 switches full screen; F12 saves a screenshot of the handheld screen in the app
directory (zelvo-shot-001.png, ...).

Every session is recorded into recordings/ in the user's folder (the last five are kept): attach the
newest to a bug report. --continue replays the last session, if it was closed in the middle of a
game, before the first frame is shown, and goes on from there. --replay FILE shows a recording in
the window and takes no input: Space pauses, Right or + plays twice as fast, Left or - half as
fast, Esc ends it.

A second zelvo started on the same app directory brings the running one to the front and exits.
zelvo needs a graphical desktop; zelvo-sim runs the game without one.
)";

// The end of a replay in the window: its last picture stays until the viewer closes it.
void replayShown(RecReplayEvent event, const std::string& text) {
  if (event == RecReplayEvent::Desync) std::cerr << "zelvo: " << text << "\n";
  desktop::ReplayHold();
}

}  // namespace

int main(int argc, char** argv) {
  Utf8Argv words(argc, argv);
  CLI::App app{"zelvo: play Zelvo in a window that stands in for the 240x320 handheld"};
  app.allow_windows_style_options(false);  // a path such as /tmp/world is no option, on Windows too
  app.footer(kFooter);
  app.get_formatter()->column_width(30);

  std::string appDir, screen = "240x320";
  desktop::Options options;
  app.add_option("--app-dir", appDir,
                 "Folder the game is installed in: data files, settings.dat, log.txt, music "
                 "(default: the folder of this program)");
  app.add_option("--screen", screen, "Size WxH of the emulated handheld screen in pixels")->default_val("240x320");
  app.add_option("--scale", options.scale,
                 "Window pixels per screen pixel (default: the largest that fits the desktop)")
      ->check(CLI::Range(1, 16));
  app.add_flag("--fullscreen", options.fullscreen, "Start in full screen");
  std::string recordPath, replayPath;
  bool resume = false;
  app.add_option("--record", recordPath, "Record the session into this file (default: the flight recorder's folder)");
  app.add_option("--replay", replayPath, "Show this recording in the window, taking no input")->excludes("--record");
  app.add_flag("--continue", resume, "Go on with the last session where it was closed")->excludes("--replay");

  try {
    app.parse(words.argc(), words.argv());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  const std::filesystem::path program = PathFromUtf8(ProcessProgramPath(argv[0]));
  options.programName = PathToUtf8(program.filename());
  std::error_code error;
  std::filesystem::path folder =
      appDir.empty() ? program.parent_path() : std::filesystem::absolute(PathFromUtf8(appDir), error);
  if (error || !std::filesystem::is_directory(folder, error)) {
    std::cerr << "zelvo: --app-dir " << (appDir.empty() ? PathToUtf8(folder) : appDir) << " is not a folder\n";
    return 2;
  }
  if (!desktop::ParseScreenSize(screen, &options.screenWidth, &options.screenHeight)) {
    std::cerr << "zelvo: --screen " << screen << " is not a size like 240x320 (1 to 4096 pixels each way)\n";
    return 2;
  }
  options.appDirectory = PathToUtf8(folder.lexically_normal());
  options.report = [](const std::string& line) { LogWrite("%s", line.c_str()); };

  options.showReplay = !replayPath.empty();
  std::string problem;
  if (!desktop::Start(options, &problem)) {
    std::cerr << "zelvo: no display to open a window on (" << problem
              << "); zelvo-sim runs the game without one.\n";
    return 1;
  }
  // Recordings: the one shown in the window, the session resumed, the session recorded.
  RecFile replayFile;
  const std::string sessions = desktop::RecordingsFolder();
  if (!replayPath.empty()) {
    std::string problem;
    if (!RecLoad(replayPath, &replayFile, &problem)) {
      std::cerr << "zelvo: " << problem << "\n";
      desktop::Stop();
      return 2;
    }
    for (const std::string& line : recording::Mismatches(replayFile, options.appDirectory))
      std::cerr << "zelvo: " << replayPath << ": " << line << " (the replay may go out of step)\n";
    RecSetPace(desktop::ReplayPace);
    RecReplay(replayFile, replayShown);
    recording::CheckReplay();
  } else {
    recording::BeginSession({sessions, recordPath, options.appDirectory, resume, desktop::RecordingDevice()});
  }

  // WinMain hands back the wParam of the last message it took. After the title's Quit that is
  // whatever the stylus said last (1 for a press), which no shell should read as a failure: every
  // way the game ends by itself, its start-up failures included, is an orderly end.
  WinMain(1, 0, "", SW_SHOW);
  recording::EndSession();
  desktop::Stop();
  return 0;
}
