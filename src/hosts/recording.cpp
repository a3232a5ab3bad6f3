// recording.cpp -- the game's state for the recorder's checkpoints, and the header both hosts write.
#include "hosts/recording.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "events/events.h"
#include "flow/modes.h"
#include "inventory/inventory.h"
#include "platform/common/process.h"
#include "services/app.h"
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

// The bytes of a file, or false when there is none.
bool readFile(const std::string& path, std::string* bytes) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
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

}  // namespace recording
