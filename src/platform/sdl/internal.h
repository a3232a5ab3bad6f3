// internal.h -- state shared by the parts of the desktop device.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sdl/desktop.h"
#include "platform/sdl/events.h"
#include "platform/sdl/instance.h"

namespace desktop {

struct Device {
  Options options;
  bool videoStarted = false;
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  std::vector<uint16_t> frame;  // the frame buffer the game draws into
  std::vector<uint16_t> shown;  // the picture the window shows (and screenshots save)
  bool pictureUploaded = false;
  EventState events;
  InstanceLock instance;
  bool controllersStarted = false;
  std::map<SDL_JoystickID, SDL_GameController*> controllers;  // open, by SDL's instance id
};
extern Device device;

// display.cpp
bool CreateScreen();
void DestroyScreen();
void Repaint();
void ToggleFullscreen();
void SaveScreenshot();

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
