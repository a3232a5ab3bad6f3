// pads.cpp -- game controllers: taken up when they arrive, let go when they leave, read as the handheld's keys.
#include <filesystem>

#include "platform/common/process.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/keymap.h"

namespace desktop {

namespace {

constexpr const char* kMappingFile = "gamecontrollerdb.txt";

std::string nameOf(SDL_GameController* controller) {
  const char* name = SDL_GameControllerName(controller);
  return name ? name : "unnamed controller";
}

// Mappings for controllers SDL does not know, in the community database's format, beside the program.
void loadMappingFile() {
  const std::filesystem::path path = PathFromUtf8(device.options.appDirectory) / kMappingFile;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return;
  if (!std::filesystem::is_regular_file(path, error)) {
    Report(std::string(kMappingFile) + ": cannot be read: it is not a file");
    return;
  }
  const int added = SDL_GameControllerAddMappingsFromFile(PathToUtf8(path).c_str());
  if (added < 0)
    Report(std::string(kMappingFile) + ": cannot be read: " + SDL_GetError());
  else
    Report(std::string(kMappingFile) + ": controller mappings added for " + SDL_GetPlatform() + ": " +
           std::to_string(added));
}

void open(int deviceIndex) {
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (id < 0 || device.controllers.count(id)) return;
  if (!SDL_IsGameController(deviceIndex)) {
    char guid[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(deviceIndex), guid, sizeof guid);
    const char* name = SDL_JoystickNameForIndex(deviceIndex);
    Report(std::string("Joystick ") + (name ? name : "without a name") + " (" + guid +
           ") is no known controller: add its mapping to " + kMappingFile);
    return;
  }
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) {
    Report(std::string("Controller cannot be opened: ") + SDL_GetError());
    return;
  }
  device.controllers[id] = controller;
  Report("Controller connected: " + nameOf(controller));
}

void close(SDL_JoystickID id) {
  auto found = device.controllers.find(id);
  if (found == device.controllers.end()) return;
  Report("Controller removed: " + nameOf(found->second));
  SDL_GameControllerClose(found->second);
  device.controllers.erase(found);
}

}  // namespace

// Once the game has a window (and its log is open). Controllers already plugged in arrive as
// events like any plugged in later.
void StartControllers() {
  if (device.controllersStarted) return;
  // Face buttons by where they sit, not by what is printed on them: south is A on every make.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    Report(std::string("Controllers cannot be used: ") + SDL_GetError());
    return;
  }
  device.controllersStarted = true;
  loadMappingFile();
}

void ControllerEvent(const SDL_Event& event) {
  // A joystick's arrival rather than a controller's: one that a mapping added later made a
  // controller is announced only as a joystick.
  if (event.type == SDL_JOYDEVICEADDED) open(event.jdevice.which);
  if (event.type == SDL_CONTROLLERDEVICEREMOVED) close(event.cdevice.which);
}

void CloseControllers() {
  for (const auto& [id, controller] : device.controllers) SDL_GameControllerClose(controller);
  device.controllers.clear();
  device.controllersStarted = false;
}

bool ControllersHold(uint32_t virtualKey) {
  for (const auto& [id, controller] : device.controllers) {
    PadInput pad;
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX && button < 32; ++button)
      if (SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(button)))
        pad.buttons |= 1u << button;
    pad.stickX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    pad.stickY = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
    if (PadKeys(pad)[virtualKey]) return true;
  }
  return false;
}

}  // namespace desktop
