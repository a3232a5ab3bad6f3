// internal.h -- state shared by the parts of the desktop device.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sdl/desktop.h"
#include "platform/sdl/events.h"

namespace desktop {

struct Device {
  Options options;
  bool videoStarted = false;
  SDL_Window* window = nullptr;
  std::vector<uint16_t> frame;  // the frame buffer the game draws into
  std::vector<uint16_t> shown;  // the picture the window shows (and screenshots save)
  // The window surface last drawn into; a new one (another address, buffer or size) is drawn whole.
  SDL_Surface* surface = nullptr;
  void* surfacePixels = nullptr;
  int surfaceWidth = 0;
  int surfaceHeight = 0;
  EventState events;
  bool controllersStarted = false;
  std::map<SDL_JoystickID, SDL_GameController*> controllers;  // open, by SDL's instance id
  bool gameView = false;      // the window shows the game's square rather than the whole screen
  bool drawnOutside = false;  // the shown picture has something outside that square
  uint32_t fitUntil = 0;      // SDL ticks until which the window is fitted again once its frame is known
};
extern Device device;

// The folder the port's own files go to: the user's folder where one was chosen, else the app directory.
inline const std::string& UserFolder() {
  return device.options.userDirectory.empty() ? device.options.appDirectory : device.options.userDirectory;
}

// device.cpp: an event turned into messages for the queue, or done by the device itself.
void HandleEvent(const SDL_Event& event);

// native.cpp on a desktop, web/page.cpp in a browser: what differs between the two.
bool EnterHost(std::string* note);  // Start, before SDL_Init; *note prefixes SDL's reason if it fails
void PollHost();                    // every pump of events
void LeaveHost();                   // Stop, after SDL_Quit
void ToggleFullscreen();            // Alt+Enter and F11
std::string SoundFile(const std::string& path);  // the file a sound is read from (a page's tunes are Ogg Vorbis)

// display.cpp
bool CreateScreen();
void DestroyScreen();
void Repaint();
void SaveScreenshot();
void FitShownWindow();  // once the window is shown: the largest scale that fits, with the frame when known
void ToggleView();      // F10

// userfiles.cpp: the port's own files in the user's folder.
KeySets LoadKeySets();      // keys.txt there, else in the app directory; the defaults if bad
bool RememberedGameView();  // the view chosen last
void RememberView(bool gameView);

// audio.cpp
void CloseAudio();

// device.cpp: news from the device (controllers coming and going) for the log.
void Report(const std::string& line);

// pads.cpp
void StartControllers();
void ControllerEvent(const SDL_Event& event);  // one attached or removed
void CloseControllers();
bool ControllersHold(uint32_t virtualKey);     // as the controllers stand now

}  // namespace desktop
