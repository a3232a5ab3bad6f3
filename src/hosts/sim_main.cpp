// sim_main.cpp -- zelvo-sim: the game on the headless device, driven by a script, for tests and bug reports.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "flow/modes.h"
#include "hosts/author.h"
#include "hosts/monkey.h"
#include "hosts/recording.h"
#include "platform/common/files_kill.h"
#include "platform/common/places.h"
#include "platform/common/process.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "services/watch.h"
#include "shell/shell.h"
#include "world/objects.h"

namespace {

const char* kScriptHelp = R"(
Script files hold one event a line; '#' starts a comment. T is seconds of virtual time:
  T key down KEY      press a key (a virtual-key code such as 37, or left, right, up, down,
                      return, space, a-button, b-button, c-button, start-button, or a letter)
  T key up KEY        release it
  T tap X Y           touch the screen at pixel (X, Y) of the whole screen
  T focus lost        the window loses the focus (frames stop)
  T focus gained      the window gets it back
  T close             ask the program to close
  T shot FILE         save the emulated screen as a PNG
  T copy FROM TO      copy file FROM over file TO (an author's edit of a source, for --watch)

Virtual time passes only while the game sleeps or polls an empty message queue, so a run is
as fast as the machine allows and gives the same log and pictures every time.

The default device is the target handheld: a 240x320 portrait screen with a raw 5-6-5 frame
buffer, 32 MiB of free memory, a 3,579,545 Hz counter and the default key list
up 38, down 40, left 37, right 39, A 193, B 194, C 195, Start 196.

A trace (--trace FILE) has a line for every frame that begins or ends in play or the
inventory: frame number (counting every frame since start), virtual time in seconds, mode
(3 play, 4 inventory, 1 title), player state (1 standing, 2 jumping, 3 falling, 4 walking,
5 walk-jumping, 6 walk-falling, 7 dying), the player's x and y (exact doubles), screen column
and row, lives, energy and score. Lines starting with '#' are comments.

With --benchmark the run is timed: at its end a line on standard output gives the frames run,
the virtual seconds played, the wall-clock and CPU seconds they took, frames per second and the
factor over real time (virtual seconds / wall seconds, and / CPU seconds).

With --monkey SEED the game is played by random keys, taps and focus changes (never on the
title's Quit button) for --seconds, while these hold: an object alone on its layer (one that no
object has left since the screen was entered) is drawn exactly when its bit is in the collision
map; objectList is sorted by layer after every update pass; the dirty list is empty after every
present; energy stays at most 50 and score at most 9999; lists and memory in use do not grow
over time. A broken invariant is printed with the frame and the seed, and the exit code is 4.

A game installed, or in a folder that cannot be written, keeps settings.dat and log.txt in the
user's folder, $XDG_DATA_HOME/zelvo (~/.local/share/zelvo), %APPDATA%\zelvo on Windows.

With --record FILE the run is recorded (docs/recording.md); --replay FILE plays a recording made
by zelvo or zelvo-sim instead of a script, on the device it names, checking the game's state at
every checkpoint. It ends with 'replay: N frames, T s of play, no desync' (exit 0) or with
'desync at frame N (t = S s): ...' naming what differs (exit 1). A recording of other data files
or another version of the program is not played unless --force is given (exit 1). The recorded
settings.dat is put where the game reads it first (or removed when there was none).

Every message box is printed on standard output as 'message box: CAPTION: TEXT' and answered at
once. The exit code is the game's own; 2 means bad options or script, 3 a run that did not end,
4 a broken invariant of --monkey.
)";

bool parseSize(const std::string& text, int32_t* width, int32_t* height) {
  unsigned w = 0, h = 0;
  char x = 0, extra = 0;
  std::istringstream in(text);
  if (!(in >> w >> x >> h) || (x != 'x' && x != 'X') || (in >> extra) || w > 8192 || h > 8192) return false;
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
  return true;
}

bool parseKeyList(const std::string& text, KeyList* keys) {
  std::vector<long> codes;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, ',');) {
    char* end = nullptr;
    long code = std::strtol(part.c_str(), &end, 0);
    if (part.empty() || *end != '\0' || code < 0 || code > 255) return false;
    codes.push_back(code);
  }
  if (codes.size() != 8) return false;
  KeyListEntry* entries[8] = {&keys->up, &keys->down, &keys->left, &keys->right,
                              &keys->a,  &keys->b,    &keys->c,    &keys->start};
  for (int i = 0; i < 8; ++i) *entries[i] = KeyListEntry{static_cast<int16_t>(codes[i]), 0, 0};
  return true;
}

std::string escapeLines(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

void printMessageBox(const headless::MessageBoxRecord& box) {
  std::cout << "message box: " << box.caption << ": " << escapeLines(box.text) << std::endl;
}

// --trace: one line for every frame that begins or ends in play (or the inventory over it).
struct Trace {
  std::FILE* out = nullptr;
  uint64_t frame = 0;
  uint32_t modeBefore = ModeTitle;
} trace;

const char* kTraceHeader = "# frame time mode state x y column row lives energy score\n";

bool monkeyOn = false;

void traceFrame() {
  trace.frame += 1;
  RecFrame();
  if (monkeyOn) monkey::AfterFrame();
  if (!trace.out) return;
  auto inPlay = [](uint32_t mode) { return mode == ModePlay || mode == ModeInventory; };
  if (inPlay(trace.modeBefore) || inPlay(gameMode)) {
    const Sprite* player = findPlayer();
    // %.17g reads back as the very same double.
    std::fprintf(trace.out, "%llu %.6f %u %u %.17g %.17g %u %u %u %.17g %u\n",
                 static_cast<unsigned long long>(trace.frame), static_cast<double>(headless::NowUs()) / 1e6, gameMode,
                 playerState, player ? player->x : 0.0, player ? player->y : 0.0, screenColumn, screenRow, lives,
                 energy, score);
  }
  trace.modeBefore = gameMode;
}

double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// By the wall clock, and by CPU time, which a machine busy with other programs does not stretch.
void reportBenchmark(double wallSeconds, double cpu) {
  const double played = headless::Now();
  auto per = [](double amount, double seconds) { return seconds > 0 ? amount / seconds : 0.0; };
  std::printf(
      "benchmark: %llu frames, %.3f s of virtual time in %.3f s of wall time (%.3f s of CPU): "
      "%.0f frames per second, %.0f times real time (%.0f by CPU time)\n",
      static_cast<unsigned long long>(trace.frame), played, wallSeconds, cpu,
      per(static_cast<double>(trace.frame), wallSeconds), per(played, wallSeconds), per(played, cpu));
  std::fflush(stdout);
}

// Script lines 'T copy FROM TO', done after the first frame that ends at T or later.
struct Copy {
  double time;
  std::string from, to;
};
std::vector<Copy> copies;

// Takes the copy lines out of the script (keeping its line numbers); the problem of a bad one, or "".
std::string takeCopies(std::string& script, const std::string& name) {
  std::istringstream in(script);
  std::string kept;
  int number = 1;
  for (std::string line; std::getline(in, line); kept += "\n", ++number) {
    std::istringstream words(line);
    Copy copy;
    std::string verb;
    if (!(words >> copy.time >> verb) || verb != "copy") {
      kept += line;
      continue;
    }
    if (!(words >> copy.from >> copy.to) || !(copy.time >= 0))
      return name + ":" + std::to_string(number) + ": 'T copy FROM TO' needs a time and two files";
    copies.push_back(copy);
  }
  script = kept;
  std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.time < b.time; });
  return "";
}

void afterFrame() {
  traceFrame();
  while (!copies.empty() && copies.front().time <= headless::Now()) {
    // Written over in place, as an editor saves (std::filesystem's copy will not overwrite on Windows).
    std::ifstream from(PathFromUtf8(copies.front().from), std::ios::binary);
    std::ofstream to(PathFromUtf8(copies.front().to), std::ios::binary | std::ios::trunc);
    if (!from || !(to << from.rdbuf()))
      std::cerr << "zelvo-sim: cannot copy " << copies.front().from << " to " << copies.front().to << "\n";
    copies.erase(copies.begin());
  }
  author::AfterFrame();
}

void reportScreenshot(const std::string& path, bool saved) {
  if (!saved) std::cerr << "zelvo-sim: could not save screenshot " << path << std::endl;
}

// --replay: a desync stops the game where it is found; the end of the recording ends the run.
struct ReplayStopped : std::runtime_error {
  using std::runtime_error::runtime_error;
};
std::string replayOutcome;

void stopReplay(RecReplayEvent event, const std::string& text) {
  throw ReplayStopped(event == RecReplayEvent::Desync ? text : "");
}

const char* const kDisplayNames[] = {"raw565", "rawother", "gapi565", "gapi555", "dram", "none"};
const char* const kLayoutNames[] = {"normal", "rot90", "rot180", "rot270", "mirror"};

// The device as a recording's header names it, and back.
RecHeader deviceHeader(const headless::DeviceConfig& config) {
  return {{"screen", std::to_string(config.screenWidth) + "x" + std::to_string(config.screenHeight)},
          {"display", kDisplayNames[static_cast<int>(config.display)]},
          {"layout", kLayoutNames[static_cast<int>(config.layout)]},
          {"bpp", std::to_string(config.bitsPerPixel)},
          {"memory", std::to_string(config.availableMemory)},
          {"default-keys", RecKeyListText(config.defaultKeys)}};
}

bool deviceFromHeader(const RecHeader& header, headless::DeviceConfig* config) {
  auto field = [&](const char* name) {
    auto it = header.find(name);
    return it == header.end() ? std::string() : it->second;
  };
  bool ok = parseSize(field("screen"), &config->screenWidth, &config->screenHeight) &&
            parseKeyList(field("default-keys"), &config->defaultKeys);
  char* end = nullptr;
  const std::string memory = field("memory"), bpp = field("bpp");
  const unsigned long long bytes = std::strtoull(memory.c_str(), &end, 10);
  ok = ok && !memory.empty() && *end == '\0' && bytes <= 0xFFFFFFFFull;
  config->availableMemory = static_cast<uint32_t>(bytes);
  const unsigned long bits = std::strtoul(bpp.c_str(), &end, 10);
  ok = ok && !bpp.empty() && *end == '\0' && bits <= 64;
  config->bitsPerPixel = static_cast<uint32_t>(bits);
  bool display = false, layout = false;
  for (int i = 0; i < 6; ++i)
    if (field("display") == kDisplayNames[i]) display = true, config->display = static_cast<headless::DisplayPath>(i);
  for (int i = 0; i < 5; ++i)
    if (field("layout") == kLayoutNames[i]) layout = true, config->layout = static_cast<headless::Layout>(i);
  return ok && display && layout;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"zelvo-sim: run Zelvo on the headless device (virtual clock, scripted input, screenshots)"};
  app.allow_windows_style_options(false);  // a path such as /tmp/world is no option, on Windows too
  app.footer(kScriptHelp);
  app.get_formatter()->column_width(34);
  app.set_version_flag("--version", "zelvo-sim " ZELVO_VERSION);

  headless::DeviceConfig config;
  std::string appDir, scriptPath, screen = "240x320", displayName = "raw565", layoutName = "normal", defaultKeys,
                                  audioLog, killAt;
  double seconds = 600.0;
  uint32_t memory = config.availableMemory;
  std::vector<std::string> screenshots;
  bool noCounter = false;

  app.add_option("--app-dir", appDir,
                 "Folder the game is installed in: data files, settings.dat, log.txt, music (default: "
                 "beside this program, or ../share/games/zelvo; or --world)");
  app.add_option("--script", scriptPath, "Input script to play (format below)");
  app.add_option("--seconds", seconds, "Virtual seconds to run before asking the game to close")
      ->default_val(600.0)
      ->check(CLI::PositiveNumber);
  app.add_option("--seed", config.seed, "Seed of the device's random numbers")->default_val(1);
  app.add_option("--memory", memory, "Bytes of free virtual memory the device reports")->default_val(memory);
  app.add_option("--screen", screen, "Screen size WxH in pixels")->default_val("240x320");
  app.add_option("--counter-hz", config.counterHz, "Performance counter frequency in Hz")
      ->default_val(config.counterHz)
      ->check(CLI::Range(static_cast<uint64_t>(1), static_cast<uint64_t>(1) << 62));
  app.add_option("--counter-start", config.counterStart, "Counter reading at virtual time 0")->default_val(0);
  app.add_flag("--no-counter", noCounter, "The device has no performance counter");
  app.add_option("--display", displayName, "Display path: raw565, rawother, gapi565, gapi555, dram or none")
      ->default_val("raw565")
      ->check(CLI::IsMember({"raw565", "rawother", "gapi565", "gapi555", "dram", "none"}));
  app.add_option("--bpp", config.bitsPerPixel, "Bits per pixel the display reports")->default_val(16);
  app.add_option("--layout", layoutName, "Frame-buffer layout: normal, rot90, rot180, rot270 or mirror")
      ->default_val("normal")
      ->check(CLI::IsMember({"normal", "rot90", "rot180", "rot270", "mirror"}));
  app.add_flag("--instance-running", config.instanceRunning, "Another copy of the game is running");
  app.add_flag("--no-window", config.windowCreationFails, "Creating the main window fails");
  app.add_flag("--no-speaker", config.speakerFails, "The speaker does not open");
  app.add_option("--default-keys", defaultKeys, "Device key list U,D,L,R,A,B,C,S: eight virtual-key codes, 0 for none");
  app.add_option("--screenshot", screenshots, "T:FILE saves the screen at virtual time T as a PNG (repeatable)");
  app.add_option("--audio-log", audioLog, "Write every speaker and sound call to this file at the end");
  std::string tracePath;
  app.add_option("--trace", tracePath, "Write one line per frame of play to this file (format below)");
  bool benchmark = false;
  app.add_flag("--benchmark", benchmark, "Time the run and report frames per second and the factor over real time");
  uint32_t monkeySeed = 0;
  auto* monkeyOption = app.add_option("--monkey", monkeySeed,
                                      "Play with random keys, taps and focus changes drawn from this seed, checking "
                                      "the game's invariants at every frame (below)");
  app.add_option("--kill-at", killAt,
                 "NAME:N ends zelvo-sim at once (as SIGKILL would) just before step N of writing files whose name "
                 "starts with NAME; the steps are create, each half of a write, flush, close, replace and delete");
  author::Options authorOptions;
  author::AddOptions(app, authorOptions, false);

  std::string recordPath, replayPath;
  bool force = false;
  app.add_option("--record", recordPath, "Record the run into this file (docs/recording.md)");
  app.add_option("--replay", replayPath, "Play this recording instead of a script and check it (below)")
      ->excludes("--record");
  app.add_flag("--force", force, "Replay even when the data files or the program differ from the recording's");

  try {
    Utf8Argv words(argc, argv);
    app.parse(words.argc(), words.argv());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  auto usage = [](const std::string& problem) {
    std::cerr << "zelvo-sim: " << problem << "\n";
    return 2;
  };
  Places places;
  std::string problem;
  // Author options are checked against the world the game would play; --world then packs its
  // sources into a folder of their own, which becomes the app directory.
  const std::string programFolder = PathToUtf8(PathFromUtf8(ProcessProgramPath(argv[0])).parent_path());
  if (!PlacesChoose(programFolder, appDir, &places, &problem)) return usage(problem);
  if (const int code = author::Prepare(authorOptions, "zelvo-sim", places.world, &appDir); code >= 0) return code;
  if (!authorOptions.world.empty() && !PlacesChoose(programFolder, appDir, &places, &problem)) return usage(problem);
  if (!places.warning.empty()) std::cerr << "zelvo-sim: " << places.warning << "\n";
  if (!parseSize(screen, &config.screenWidth, &config.screenHeight))
    return usage("--screen " + screen + " is not a size like 240x320");
  if (!defaultKeys.empty() && !parseKeyList(defaultKeys, &config.defaultKeys))
    return usage("--default-keys needs eight codes 0..255 separated by commas, in the order U,D,L,R,A,B,C,S");

  if (!killAt.empty()) {
    const size_t colon = killAt.rfind(':');
    char* end = nullptr;
    const long step = colon == std::string::npos ? 0 : std::strtol(killAt.c_str() + colon + 1, &end, 10);
    if (colon == 0 || step <= 0 || step > 1000000 || *end != '\0')
      return usage("--kill-at " + killAt + " is not NAME:N with a step N from 1");
    FilesKillAt(killAt.substr(0, colon), static_cast<int>(step));
  }

  config.appDirectory = places.world;
  config.userDirectory = places.user;
  config.availableMemory = memory;
  config.counterAvailable = !noCounter;
  config.stopAfter = seconds;
  const std::pair<const char*, headless::DisplayPath> paths[] = {
      {"raw565", headless::DisplayPath::Raw565},   {"rawother", headless::DisplayPath::RawOther},
      {"gapi565", headless::DisplayPath::Gapi565}, {"gapi555", headless::DisplayPath::Gapi555},
      {"dram", headless::DisplayPath::Dram},       {"none", headless::DisplayPath::None}};
  for (const auto& [name, path] : paths)
    if (displayName == name) config.display = path;
  const std::pair<const char*, headless::Layout> layouts[] = {{"normal", headless::Layout::Normal},
                                                              {"rot90", headless::Layout::Rotated90},
                                                              {"rot180", headless::Layout::Rotated180},
                                                              {"rot270", headless::Layout::Rotated270},
                                                              {"mirror", headless::Layout::Mirrored}};
  for (const auto& [name, layout] : layouts)
    if (layoutName == name) config.layout = layout;

  std::vector<headless::ScriptEvent> events;
  if (!scriptPath.empty()) {
    std::ifstream in(PathFromUtf8(scriptPath), std::ios::binary);
    if (!in) return usage("cannot read script " + scriptPath);
    std::stringstream text;
    text << in.rdbuf();
    std::string script = text.str();
    if (const std::string problem = takeCopies(script, scriptPath); !problem.empty()) return usage(problem);
    try {
      events = headless::ParseScript(script, scriptPath);
    } catch (const headless::ScriptError& e) {
      return usage(e.what());
    }
  }
  for (const std::string& shot : screenshots) {
    const size_t colon = shot.find(':');
    const std::string timeText = colon == std::string::npos ? "" : shot.substr(0, colon);
    char* end = nullptr;
    const double time = std::strtod(timeText.c_str(), &end);
    if (timeText.empty() || *end != '\0' || !(time >= 0.0) || colon + 1 == shot.size())
      return usage("--screenshot " + shot + " is not T:FILE");
    headless::ScriptEvent event;
    event.time = time;
    event.kind = headless::EventKind::Shot;
    event.file = shot.substr(colon + 1);
    events.push_back(event);
  }

  if (!tracePath.empty()) {
    trace.out = OpenUtf8(tracePath, "wb");  // the same bytes on every system
    if (!trace.out) return usage("cannot write trace " + tracePath);
    std::fputs(kTraceHeader, trace.out);
  }
  if (*monkeyOption) {
    monkeyOn = true;
    const auto input = monkey::Input(monkeySeed, seconds, config.defaultKeys, config.screenWidth, config.screenHeight);
    events.insert(events.end(), input.begin(), input.end());
    monkey::Watch(monkeySeed);
  }
  // The recorder reads and writes settings.dat where the game will.
  FilesKeepUserFiles(places.world, places.user);
  RecFile replayFile;
  if (!replayPath.empty()) {
    std::string problem;
    if (!RecLoad(replayPath, &replayFile, &problem)) return usage(problem);
    if (!events.empty() || monkeyOn) return usage("--replay takes no script, screenshots or --monkey");
    const auto mismatches = recording::Mismatches(replayFile, places.world);
    for (const std::string& line : mismatches) std::cout << "replay: " << replayPath << ": " << line << "\n";
    if (!mismatches.empty() && !force) {
      std::cout << "replay: not played (--force plays it anyway)" << std::endl;
      return 1;
    }
    if (!deviceFromHeader(replayFile.header, &config)) return usage(replayPath + ": the header names no device this program knows");
    const std::filesystem::path settings = PathFromUtf8(FilesWhere(PathToUtf8(PathFromUtf8(places.world) / "settings.dat"), true));
    auto kept = replayFile.header.find("settings.dat");
    std::error_code error;
    if (kept == replayFile.header.end()) {
      std::filesystem::remove(settings, error);
    } else {
      std::ofstream out(settings, std::ios::binary);
      out << kept->second;
      if (!out) return usage("cannot write " + PathToUtf8(settings));
    }
    config.stopAfter = config.hardStop = 1e12;  // the recording says when the game ends
  }
  if (!recordPath.empty()) {
    std::string problem;
    if (!RecStart(recordPath, recording::Header(places.world, "zelvo-sim", deviceHeader(config)), &problem))
      return usage(problem);
  }
  if (!recordPath.empty() || !replayPath.empty()) RecSetStateReader(recording::ReadState);
  if (trace.out || monkeyOn || benchmark || !recordPath.empty() || !replayPath.empty()) watch::afterFrame = traceFrame;
  if (authorOptions.watch || !copies.empty()) watch::afterFrame = afterFrame;

  headless::Configure(config);
  headless::Schedule(events);
  headless::OnMessageBox(printMessageBox);
  headless::OnScreenshot(reportScreenshot);

  int exitCode = 0;
  const auto wallStart = std::chrono::steady_clock::now();
  const double cpuStart = cpuSeconds();
  if (!replayPath.empty()) RecReplay(replayFile, stopReplay);
  try {
    exitCode = WinMain(1, 0, "", SW_SHOW);
  } catch (const headless::RunAbandoned& e) {
    std::cerr << "zelvo-sim: " << e.what() << "\n";
    exitCode = 3;
  } catch (const ReplayStopped& e) {
    replayOutcome = e.what();
  }
  RecStop(recording::EndOfSession());
  if (!replayPath.empty()) {
    if (replayOutcome.empty()) replayOutcome = RecReplayFinish();
    if (!replayOutcome.empty()) {
      std::cout << replayOutcome << std::endl;
      return 1;
    }
    char line[96];
    std::snprintf(line, sizeof line, "replay: %llu frames, %.2f s of play, no desync",
                  static_cast<unsigned long long>(RecReplayFrame()), RecReplaySeconds());
    std::cout << line << std::endl;
    if (!replayFile.ended) std::cerr << "zelvo-sim: " << replayPath << " stops without its end record (the program was killed or the file cut)\n";
    if (replayFile.torn) std::cerr << "zelvo-sim: " << replayPath << ": its last record is torn and was left out\n";
    exitCode = 0;
  }
  if (benchmark) {
    reportBenchmark(std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count(),
                    cpuSeconds() - cpuStart);
  }

  if (monkeyOn && exitCode != 3) monkey::Summary();
  if (trace.out && std::fclose(trace.out) != 0) std::cerr << "zelvo-sim: could not write " << tracePath << "\n";

  if (!audioLog.empty()) {
    std::ofstream out(PathFromUtf8(audioLog), std::ios::binary);
    for (const std::string& call : headless::Audio().calls) out << call << "\n";
    if (!out) std::cerr << "zelvo-sim: could not write " << audioLog << "\n";
  }
  return exitCode;
}
