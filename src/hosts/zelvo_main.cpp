// zelvo_main.cpp -- zelvo: the game in a desktop window, keyboard and controllers as the handheld's keys, mouse as its stylus.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>

#include "hosts/author.h"
#include "hosts/recording.h"
#include "platform/common/places.h"
#include "platform/common/process.h"
#include "platform/sdl/desktop.h"
#include "platform/sdl/view.h"
#include "platform/window.h"
#include "services/log.h"
#include "services/watch.h"
#include "shell/shell.h"

namespace {

const char* kFooter = R"(
Keys: the arrows walk and jump, Space is the handheld's A button (the Action key until you define
your own), X is B, C is C and Return is Start; beside them W, A, S and D are the arrows, J is A, K is
B, L is C and H is Start. keys.txt in the user's folder or the app directory can change them (see
the README). The mouse's left button is the stylus. Escape or Pause (or a controller's Back) pauses
and goes on again, as does a click on the paused window.
A game controller plays too: D-pad or left stick for the arrows, the south face button for A, east
for B, west and north for C, Start for Start. Controllers SDL does not know take their mappings from
SDL_GAMECONTROLLERCONFIG or from gamecontrollerdb.txt in the app directory.
Alt+Enter or F11 switches full screen; F10 switches the view (--view); F12 saves a screenshot of
the handheld screen in the app directory (zelvo-shot-001.png, ...).

An installed game, or one whose folder cannot be written, keeps settings.dat, log.txt and
screenshots in the user's folder instead: $XDG_DATA_HOME/zelvo (~/.local/share/zelvo), %APPDATA%\zelvo
on Windows.

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
  app.set_version_flag("--version", "zelvo " ZELVO_VERSION);

  std::string appDir, screen = "240x320";
  desktop::Options options;
  app.add_option("--app-dir", appDir,
                 "Folder the game is installed in: data files, settings.dat, log.txt, music (default: "
                 "beside this program, or ../share/games/zelvo)");
  app.add_option("--screen", screen, "Size WxH of the emulated handheld screen in pixels")->default_val("240x320");
  app.add_option("--scale", options.scale,
                 "Window pixels per screen pixel (default: the largest that fits the desktop)")
      ->check(CLI::Range(1, 16));
  app.add_flag("--fullscreen", options.fullscreen, "Start in full screen");
  std::string view;
  app.add_option("--view", view,
                 "What the window shows: screen (the whole handheld screen) or game (the square the game "
                 "draws in, larger; the whole screen whenever anything is drawn outside it). Remembered; "
                 "F10 switches")
      ->check(CLI::IsMember({"screen", "game"}));
  std::string recordPath, replayPath;
  bool resume = false;
  app.add_option("--record", recordPath, "Record the session into this file (default: the flight recorder's folder)");
  app.add_option("--replay", replayPath, "Show this recording in the window, taking no input")->excludes("--record");
  app.add_flag("--continue", resume, "Go on with the last session where it was closed")->excludes("--replay");
  author::Options authorOptions;
  author::AddOptions(app, authorOptions, true);

  try {
    app.parse(words.argc(), words.argv());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  const std::filesystem::path program = PathFromUtf8(ProcessProgramPath(argv[0]));
  options.programName = PathToUtf8(program.filename());
  Places places;
  std::string problem;
  // Author options are checked against the world the game would play; --world then packs its
  // sources into a folder of their own, which becomes the app directory.
  const auto choose = [&] { return PlacesChoose(PathToUtf8(program.parent_path()), appDir, &places, &problem); };
  if (!choose()) {
    std::cerr << "zelvo: " << problem << "\n";
    return 2;
  }
  if (const int code = author::Prepare(authorOptions, "zelvo", places.world, &appDir); code >= 0) return code;
  if (authorOptions.watch) author::showProblem = desktop::SetTitleNote;
  if (!authorOptions.world.empty() && !choose()) {
    std::cerr << "zelvo: " << problem << "\n";
    return 2;
  }
  if (!places.warning.empty()) std::cerr << "zelvo: " << places.warning << "\n";
  if (!desktop::ParseScreenSize(screen, &options.screenWidth, &options.screenHeight)) {
    std::cerr << "zelvo: --screen " << screen << " is not a size like 240x320 (1 to 4096 pixels each way)\n";
    return 2;
  }
  if (!view.empty()) options.view = view == "game" ? desktop::View::Game : desktop::View::Screen;
  options.appDirectory = places.world;
  options.userDirectory = places.user;
  options.report = [](const std::string& line) { LogWrite("%s", line.c_str()); };

  options.showReplay = !replayPath.empty();
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
  if (authorOptions.watch) {
    // The session's recorder and the author's reload both look in after every frame.
    static void (*recorded)() = nullptr;
    recorded = watch::afterFrame;
    watch::afterFrame = [] {
      if (recorded) recorded();
      author::AfterFrame();
    };
  }

  // WinMain hands back the wParam of the last message it took. After the title's Quit that is
  // whatever the stylus said last (1 for a press), which no shell should read as a failure: every
  // way the game ends by itself, its start-up failures included, is an orderly end.
  WinMain(1, 0, "", SW_SHOW);
  recording::EndSession();
  desktop::Stop();
  return 0;
}
