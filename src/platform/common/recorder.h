// recorder.h -- every reading the game takes across the platform boundary, written as it goes or fed back.
//
// Both devices pass their answers (messages, counter, random numbers, key states) through the
// Rec* functions below. While recording, each answer is appended to the file; while replaying,
// the recorded answer is returned and the device is not asked. The hosts mark frames and say
// how to read the game's state for the checkpoints; the recorder itself never looks at the game.
// The format is described in docs/recording.md.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/window.h"

constexpr uint32_t kRecFormatVersion = 1;
constexpr uint32_t kRecCheckpointFrames = 16;  // a checkpoint after every 16th frame

// What the game's state looks like at a checkpoint, as the host reads it.
struct RecObject {
  uint32_t id = 0;
  double x = 0.0;
  double y = 0.0;
  uint32_t frame = 0;
  uint32_t rest = 0;  // a hash of what else the object holds (layer, flags, animation range)
  bool operator==(const RecObject&) const = default;
};
struct RecState {
  uint32_t mode = 0, playerState = 0, playerFrame = 0, column = 0, row = 0, lives = 0, score = 0;
  double x = 0.0, y = 0.0, energy = 0.0;
  uint32_t events = 0, artifacts = 0, inventory = 0;  // hashes of the armed events, artifacts, inventory
  std::vector<RecObject> objects;
  bool operator==(const RecState&) const = default;
};

// How a session ended, in its last record.
enum RecEnd : uint8_t {
  RecEndClosed = 1,    // the program was closed with a game that can go on
  RecEndFinished = 2,  // Quit on the title, game over or the end of the game: nothing to go on with
};

// The header: named fields (format in docs/recording.md), text or bytes.
using RecHeader = std::map<std::string, std::string>;

// A recording read into memory, its records checked up to the last whole one.
struct RecFile {
  uint32_t version = 0;
  RecHeader header;
  std::vector<uint8_t> bytes;  // the whole file
  size_t recordsStart = 0;     // first record
  size_t recordsEnd = 0;       // end of the last whole record
  bool torn = false;           // bytes after recordsEnd were dropped (a torn last record)
  uint64_t frames = 0;         // frame records
  bool ended = false;          // has the end record
  RecEnd end = RecEndClosed;
  bool hasCheckpoint = false;
  RecState lastCheckpoint;
};

// 64-bit FNV-1a, the hash of files in the header (hex) and inside checkpoints.
uint64_t RecHash(const void* data, size_t size, uint64_t seed = 0xcbf29ce484222325ull);
std::string RecHex(uint64_t value);
// A key list as a header holds it: eight codes U,D,L,R,A,B,C,S separated by commas.
std::string RecKeyListText(const KeyList& keys);

// ---- recording ----

// Start writing a recording with this header. False with *problem set when the file cannot be made.
bool RecStart(const std::string& path, const RecHeader& header, std::string* problem);
// Write the end record and close the file (nothing when not recording).
void RecStop(RecEnd end);
bool RecRecording();
// Write what is waiting to the system now (the fatal-signal path of a crashing program).
void RecFlushNow();

// The host: how to read the game's state at a checkpoint.
void RecSetStateReader(void (*reader)(RecState* state));
// The host: the game ran a frame (written at once, so a kill loses nothing before it).
// While replaying, checks the frame against the recording.
void RecFrame();

// ---- the readings, called by the devices ----

bool RecPeek(Message* message, bool remove, bool (*device)(Message*, bool));
bool RecCounterValue(uint64_t* count, bool (*device)(uint64_t*));
bool RecCounterFrequency(uint64_t* frequency, bool (*device)(uint64_t*));
uint32_t RecRandom(uint32_t (*device)());
uint16_t RecKeyState(uint32_t virtualKey, uint16_t (*device)(uint32_t));
// A sleep: skipped while replaying (a replay keeps no clock of its own).
void RecSleep(uint32_t ms, void (*device)(uint32_t));

// ---- replaying ----

// Read a recording; false with *problem naming the file and what is wrong. A torn last record is
// dropped (file->torn), never the records before it.
bool RecLoad(const std::string& path, RecFile* file, std::string* problem);
// The same from bytes already in memory (name is used in messages).
bool RecParse(std::vector<uint8_t> bytes, const std::string& name, RecFile* file, std::string* problem);

// What the replay reports to its host. Desync: the game went out of step with the recording
// (text says how); Ended: the recording has no more records.
enum class RecReplayEvent { Desync, Ended };
using RecReplayHandler = void (*)(RecReplayEvent event, const std::string& text);

// Feed the game from this recording; the handler hears of its end or of a desync. The handler may
// throw (zelvo-sim) or return, after which the devices answer live again (resume).
void RecReplay(const RecFile& file, RecReplayHandler handler);
bool RecReplaying();
// Stop feeding; the devices answer from now on, with the counter going on from the last replayed reading.
void RecGoLive();
// Frames replayed so far and the seconds of play they took (by the recorded counter).
uint64_t RecReplayFrame();
double RecReplaySeconds();
// After the game has returned: empty when the recording ended where the game did, else why not.
std::string RecReplayFinish();
// Called at every replayed counter reading with the seconds of play so far (a window paces itself by it).
void RecSetPace(void (*pace)(double seconds));

// "desync at frame N (t = S s): ..." for two states that differ (empty when they are the same).
std::string RecCompare(const RecState& expected, const RecState& found);
