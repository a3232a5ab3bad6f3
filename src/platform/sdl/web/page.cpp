// page.cpp -- what the desktop device does in a browser page: waits that yield to the page, kept files, Ogg tunes, the end.
#include <emscripten.h>
#include <emscripten/heap.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/common/device.h"
#include "platform/common/files_posix.h"
#include "platform/common/recorder.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/keymap.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace desktop {

namespace {

// The browser's storage (IndexedDB) seen as a folder: the files the game replaces (settings.dat)
// are kept there between visits. The app directory itself holds the preloaded world and is new
// on every visit.
constexpr const char* kKeptFolder = "/zelvo-kept";
bool keeping = false;  // the kept folder is mounted and was read

// The page gets the thread back for this long whenever the game finds no input waiting: one frame
// of the game's 0.01 s pacing, so a waiting game wakes a hundred times a second and no more (a
// shorter wait wakes it every 4 ms, the browser's shortest repeated timer, to do nothing), and a
// frame still starts as soon as its time has come.
constexpr uint32_t kIdleMs = 10;

// Mount the browser's storage on folder and read what it holds. 0 when the browser refuses
// (no IndexedDB in this window, say): the game then runs without kept files.
EM_ASYNC_JS(int, mountKeptFolder, (const char* folder), {
  const path = UTF8ToString(folder);
  try {
    FS.mkdir(path);
    FS.mount(IDBFS, {}, path);
  } catch (error) {
    console.warn("zelvo: no kept files: " + error);
    return 0;
  }
  return await new Promise(resolve => FS.syncfs(true, error => {
    if (error) console.warn("zelvo: cannot read the browser's storage: " + error);
    resolve(error ? 0 : 1);
  }));
});

// Write the kept folder back to the browser's storage; returns once it is there.
EM_ASYNC_JS(int, storeKeptFolder, (), {
  return await new Promise(resolve => FS.syncfs(false, error => {
    if (error) console.warn("zelvo: cannot write the browser's storage: " + error);
    resolve(error ? 0 : 1);
  }));
});

// Copy a file in one step as far as a later reader can tell: to a temporary name, then renamed.
bool copyWhole(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::path temporary = to;
  temporary += ".new";
  if (!fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error)) return false;
  fs::rename(temporary, to, error);
  return !error;
}

// A file the game has just replaced in the app directory goes to the browser's storage too.
void keep(const std::string& target) {
  const fs::path file(target);
  if (!keeping || file.parent_path() != fs::path(device.options.appDirectory)) return;
  if (!copyWhole(file, fs::path(kKeptFolder) / file.filename()) || !storeKeptFolder())
    std::fprintf(stderr, "zelvo: %s is not kept for the next visit\n", file.filename().c_str());
}

// Put the files kept from earlier visits back in the app directory, where the game reads them.
void restoreKeptFiles() {
  keeping = mountKeptFolder(kKeptFolder) != 0;
  if (!keeping) return;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(kKeptFolder, error)) {
    if (!entry.is_regular_file(error) || entry.path().extension() == ".new") continue;
    if (!copyWhole(entry.path(), fs::path(device.options.appDirectory) / entry.path().filename()))
      std::fprintf(stderr, "zelvo: cannot restore %s\n", entry.path().filename().c_str());
  }
  FilesObserveReplace(keep);
}

}  // namespace

// SDL draws on the page's canvas with its software renderer, so the canvas holds exactly the
// pixels shown, and no WebGL is needed.
bool EnterHost(std::string*) {
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  restoreKeptFiles();
  return true;
}

namespace {

bool watchingControllers = false;

// A controller in use: the page puts its touch controls away, as for a key.
int noticeController(void*, SDL_Event* event) {
  if (event->type == SDL_CONTROLLERBUTTONDOWN ||
      (event->type == SDL_CONTROLLERAXISMOTION && std::abs(event->caxis.value) > kStickDeadZone))
    EM_ASM({
      if (Module.zelvoControllerUsed) Module.zelvoControllerUsed();
    });
  return 1;
}

}  // namespace

void PollHost() {
  if (watchingControllers) return;
  SDL_AddEventWatch(noticeController, nullptr);
  watchingControllers = true;
}

// The whole page goes full screen, where it scales the canvas up again: SDL's own full screen
// does not give a canvas of a fixed size back. The key that asked is still the user's gesture.
void ToggleFullscreen() {
  EM_ASM({
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(error => console.warn("zelvo: no full screen: " + error));
  });
}

// The page carries the world's tunes as Ogg Vorbis, a tenth of their WAV size, which SDL_mixer
// decodes itself: main.wav is read from main.ogg beside it.
std::string SoundFile(const std::string& path) {
  fs::path ogg(path);
  std::error_code error;
  if (ogg.extension() != ".wav") return path;
  ogg.replace_extension(".ogg");
  return fs::exists(ogg, error) ? ogg.string() : path;
}

// The game has ended: the page offers to start again.
void LeaveHost() {
  watchingControllers = false;  // SDL_Quit forgot the watch
  EM_ASM({
    if (Module.zelvoEnded) Module.zelvoEnded();
  });
}

}  // namespace desktop

using desktop::device;

// What the page's memory can still grow by.
uint32_t SysAvailableVirtualMemory() {
  const size_t room = emscripten_get_heap_max() - emscripten_get_heap_size();
  return room > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(room);
}

// The game's waits give the thread back to the page, which meanwhile draws, plays and takes input.
void SysSleep(uint32_t ms) {
  RecSleep(ms, [](uint32_t wait) { emscripten_sleep(wait); });
}

// The queue is empty: the page runs until the next look at the queue.
void DeviceIdle() {
  if (device.videoStarted) emscripten_sleep(desktop::kIdleMs);
}

// Every page is a copy of its own; they share only the kept files.
WindowHandle DeviceFindOtherInstance(const std::string&, const std::string&) { return 0; }
void DeviceRaiseOtherInstance(WindowHandle) {}
