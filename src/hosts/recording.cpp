// recording.cpp -- the game's state for the recorder's checkpoints, and the header both hosts write.
#include "hosts/recording.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "events/events.h"
#include "flow/modes.h"
#include "inventory/inventory.h"
#include "platform/common/places.h"
#include "platform/common/process.h"
#include "platform/display.h"
#include "services/app.h"
#include "services/log.h"
#include "services/watch.h"
#include "world/objects.h"

#ifndef ZELVO_VERSION
#define ZELVO_VERSION "unknown"
#endif

namespace recording {
namespace {

const char* const kDataFiles[] = {"map.dat",     "images.dat", "fonts.dat", "sprites.dat",
                                  "art.dat",     "dialogs.dat", "events.dat"};

template <typename T>
uint64_t hashOf(uint64_t seed, const T& value) {
  return RecHash(&value, sizeof value, seed);
}

// The bytes of a file, or false when there is none; settings.dat is read where the game reads it.
bool readFile(const std::string& path, std::string* bytes) {
  std::ifstream in(PathFromUtf8(FilesWhere(path, false)), std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::string joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' || folder.back() == '\\' ? folder + name : folder + "/" + name;
}

std::string fileHash(const std::string& folder, const std::string& name) {
  std::string bytes;
  return readFile(joined(folder, name), &bytes) ? RecHex(RecHash(bytes.data(), bytes.size())) : "none";
}

}  // namespace

void ReadState(RecState* s) {
  const Sprite* player = findPlayer();
  s->mode = gameMode;
  s->playerState = playerState;
  s->playerFrame = player ? player->frame : 0;
  s->x = player ? player->x : 0.0;
  s->y = player ? player->y : 0.0;
  s->column = screenColumn;
  s->row = screenRow;
  s->lives = lives;
  s->energy = energy;
  s->score = score;
  uint64_t h = 0;
  for (const ActiveEvent& e : activeEvents) h = hashOf(hashOf(hashOf(hashOf(h, e.event.id), e.event.armState), e.x), e.y);
  for (const auto& [id, e] : eventTable) h = hashOf(hashOf(h, id), e.armState);
  s->events = static_cast<uint32_t>(h);
  h = 0;
  for (const Artifact& a : artifactList)
    h = hashOf(hashOf(hashOf(hashOf(hashOf(h, a.id), a.screenNumber), a.x), a.y), a.state);
  s->artifacts = static_cast<uint32_t>(h);
  h = hashOf(0, inventorySelection);
  for (const Artifact& a : inventoryList) h = hashOf(hashOf(h, a.id), a.state);
  s->inventory = static_cast<uint32_t>(h);
  s->objects.clear();
  for (const Sprite& o : objectList) {
    uint64_t rest = 0;
    for (uint32_t v : {uint32_t(o.layer), uint32_t(o.flags), uint32_t(o.firstFrame), uint32_t(o.lastFrame),
                       uint32_t(o.kind), uint32_t(o.animRate), uint32_t(o.moveRate), uint32_t(o.width),
                       uint32_t(o.height)})
      rest = hashOf(rest, v);
    rest = hashOf(rest, o.speedX);
    s->objects.push_back(RecObject{o.id, o.x, o.y, o.frame, static_cast<uint32_t>(rest)});
  }
}

RecHeader Header(const std::string& appDirectory, const std::string& program, const RecHeader& device) {
  RecHeader header = device;
  header["program"] = program;
  header["version"] = ZELVO_VERSION;
  for (const char* name : kDataFiles) header[std::string("hash ") + name] = fileHash(appDirectory, name);
  header["hash settings.dat"] = fileHash(appDirectory, "settings.dat");
  std::string settings;
  if (readFile(joined(appDirectory, "settings.dat"), &settings)) header["settings.dat"] = settings;
  return header;
}

std::vector<std::string> Mismatches(const RecFile& file, const std::string& appDirectory) {
  std::vector<std::string> out;
  auto field = [&](const std::string& name) {
    auto it = file.header.find(name);
    return it == file.header.end() ? std::string("(none)") : it->second;
  };
  if (field("version") != ZELVO_VERSION)
    out.push_back("it was made by version " + field("version") + " of the program, this is " + ZELVO_VERSION);
  for (const char* name : kDataFiles) {
    if (field(std::string("hash ") + name) != fileHash(appDirectory, name))
      out.push_back(std::string(name) + " in " + appDirectory + " differs from the one recorded");
  }
  return out;
}

RecEnd EndOfSession() {
  const bool inGame = gameMode == ModePlay || gameMode == ModeInventory;
  return running && inGame ? RecEndClosed : RecEndFinished;
}

bool CanResume(const RecFile& file) {
  if (file.ended && file.end == RecEndFinished) return false;
  return file.hasCheckpoint && (file.lastCheckpoint.mode == ModePlay || file.lastCheckpoint.mode == ModeInventory);
}

namespace {

std::vector<std::filesystem::path> sessions(const std::string& folder) {
  std::vector<std::filesystem::path> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder), error)) {
    const std::string name = PathToUtf8(entry.path().filename());
    if (name.rfind("session-", 0) == 0 && entry.path().extension() == ".zrec") found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::string NewSessionPath(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder), error);
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "session";
  if (const std::tm* local = std::localtime(&now)) std::strftime(stamp, sizeof stamp, "session-%Y%m%d-%H%M%S", local);
  std::string path = joined(folder, std::string(stamp) + ".zrec");
  for (int n = 2; std::filesystem::exists(PathFromUtf8(path), error); ++n)
    path = joined(folder, std::string(stamp) + "-" + std::to_string(n) + ".zrec");
  return path;
}

void KeepNewest(const std::string& folder, int kept) {
  const auto found = sessions(folder);
  std::error_code error;
  for (size_t i = 0; i + kept < found.size(); ++i) std::filesystem::remove(found[i], error);
}

std::string LatestSession(const std::string& folder) {
  const auto found = sessions(folder);
  return found.empty() ? std::string() : PathToUtf8(found.back());
}

bool LoadForResume(const std::string& path, const std::string& appDirectory, const std::string& settingsFolder,
                   RecFile* file, std::string* why) {
  if (path.empty()) return *why = "there is no recorded session", false;
  if (!RecLoad(path, file, why)) return false;
  if (!CanResume(*file)) return *why = path + " ended with no game to go on with", false;
  const auto mismatches = Mismatches(*file, appDirectory);
  if (!mismatches.empty()) return *why = path + ": " + mismatches.front(), false;
  auto kept = file->header.find("hash settings.dat");
  if (kept == file->header.end() || kept->second != fileHash(settingsFolder, "settings.dat"))
    return *why = path + ": settings.dat has changed since", false;
  return true;
}

namespace {

struct Running {
  Session session;
  std::string path;  // the recording made
  RecFile resumed;   // the session replayed, while it is
  std::string note;  // why nothing was resumed, for the log once it is open
  std::chrono::steady_clock::time_point resumeStart;
  uint64_t frames = 0;
} current;

void sessionFrame() {
  current.frames += 1;
  RecFrame();
  if (current.note.empty()) return;
  LogWrite("\nNothing resumed: %s", current.note.c_str());
  current.note.clear();
}

// The end of a resume's replay: the window shows what the replay drew, and the player takes over.
void resumed(RecReplayEvent event, const std::string& text) {
  DispEndDraw();
  char took[96];
  std::snprintf(took, sizeof took, " (%.1f s of play replayed in %.3f s)", RecReplaySeconds(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - current.resumeStart).count());
  if (event == RecReplayEvent::Desync)
    LogWrite("\nResume went out of step, playing on from there: %s", text.c_str());
  else
    LogWrite("\nResumed the last session after %llu frames%s", static_cast<unsigned long long>(RecReplayFrame()), took);
}

void onFatalSignal(int signal) {
  RecFlushNow();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void BeginSession(const Session& session) {
  current.session = session;
  if (session.resume &&
      LoadForResume(LatestSession(session.folder), session.appDirectory, session.appDirectory, &current.resumed,
                    &current.note)) {
    current.resumeStart = std::chrono::steady_clock::now();
    RecReplay(current.resumed, resumed);
  }
  current.path = session.recordPath.empty() ? NewSessionPath(session.folder) : session.recordPath;
  std::string problem;
  if (!RecStart(current.path, Header(session.appDirectory, "zelvo", session.device), &problem))
    std::fprintf(stderr, "zelvo: %s\n", problem.c_str());
  if (session.recordPath.empty()) KeepNewest(session.folder, kSessionsKept);
  for (int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL}) std::signal(signal, onFatalSignal);
  RecSetStateReader(ReadState);
  watch::afterFrame = sessionFrame;
}

void EndSession() {
  RecStop(EndOfSession());
  std::error_code ignored;
  if (current.frames == 0 && current.session.recordPath.empty() && !current.path.empty())
    std::filesystem::remove(PathFromUtf8(current.path), ignored);
}

void CheckReplay() {
  RecSetStateReader(ReadState);
  watch::afterFrame = RecFrame;
}

}  // namespace recording
