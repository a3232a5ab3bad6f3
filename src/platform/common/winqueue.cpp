// winqueue.cpp -- window classes, windows and the message queue, shared by every device.
#include "platform/common/winqueue.h"

#include <deque>
#include <map>

#include "platform/common/device.h"
#include "platform/common/recorder.h"

namespace {

struct WindowState {
  WindowProc proc = nullptr;
  bool visible = false;
  bool invalid = false;
};

std::map<std::string, WindowClass> classes;
std::map<WindowHandle, WindowState> windows;
std::deque<Message> queue;
bool quitPosted = false;
int quitCode = 0;
WindowHandle nextHandle = 0x1000;

WindowState* findWindow(WindowHandle window) {
  auto it = windows.find(window);
  return it == windows.end() ? nullptr : &it->second;
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowState* state = findWindow(window);
  if (!state || !state->proc) return 0;
  return state->proc(window, message, wParam, lParam);
}

// A window that becomes visible takes the focus, as the top-level window of a new program does.
void becomeVisible(WindowHandle window) {
  WindowState* state = findWindow(window);
  if (!state || state->visible) return;
  state->visible = true;
  state->invalid = true;
  sendMessage(window, WM_SETFOCUS, 0, 0);
}

bool takeMessage(Message* message, bool remove) {
  if (!queue.empty()) {
    *message = queue.front();
    if (remove) queue.pop_front();
    return true;
  }
  if (quitPosted) {
    *message = Message{0, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
    if (remove) quitPosted = false;
    return true;
  }
  for (auto& [handle, state] : windows) {
    if (state.visible && state.invalid) {
      // Painting is not queued: the request stays until the window is validated.
      *message = Message{handle, WM_PAINT, 0, 0};
      return true;
    }
  }
  return false;
}

}  // namespace

void WinQueuePost(const Message& message) { queue.push_back(message); }

void WinQueueInvalidate(WindowHandle window) {
  if (WindowState* state = findWindow(window)) state->invalid = true;
}

WindowHandle WinQueueMainWindow() { return windows.empty() ? 0 : windows.begin()->first; }

void WinQueueReset() {
  classes.clear();
  windows.clear();
  queue.clear();
  quitPosted = false;
  quitCode = 0;
  nextHandle = 0x1000;
}

void WinShellInit() {}

WindowHandle WinFindWindow(const std::string& className, const std::string& title) {
  return DeviceFindOtherInstance(className, title);
}

void WinSetForeground(WindowHandle window) { DeviceRaiseOtherInstance(window); }

bool WinRegisterClass(const WindowClass& windowClass) {
  if (!DeviceAllowClassRegistration() || windowClass.className.empty() || !windowClass.proc) return false;
  if (classes.count(windowClass.className)) return false;
  classes[windowClass.className] = windowClass;
  return true;
}

WindowHandle WinCreateWindow(const std::string& className, const std::string& title, uint32_t style, int32_t,
                             int32_t, int32_t, int32_t, InstanceHandle) {
  auto it = classes.find(className);
  if (it == classes.end() || !DeviceAllowWindowCreation()) return 0;
  WindowHandle handle = nextHandle;
  nextHandle += 0x10;
  windows[handle] = WindowState{it->second.proc, false, false};
  DeviceWindowCreated(handle, title);
  if (style & WS_VISIBLE) becomeVisible(handle);
  return handle;
}

void WinShowWindow(WindowHandle window, int showCommand) {
  if (!findWindow(window)) return;
  DeviceWindowShown(window, showCommand);
  if (showCommand != 0) becomeVisible(window);
}

bool WinFullScreen(WindowHandle window, uint32_t flags) {
  if (!findWindow(window)) return false;
  DeviceWindowFullScreen(window, flags);
  return true;
}

void WinMoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint) {
  WindowState* state = findWindow(window);
  if (!state) return;
  DeviceWindowMoved(window, x, y, width, height);
  if (repaint) state->invalid = true;
}

int32_t WinScreenWidth() { return DeviceScreenWidth(); }
int32_t WinScreenHeight() { return DeviceScreenHeight(); }

static bool peekDevice(Message* message, bool remove) {
  DevicePumpEvents();
  if (takeMessage(message, remove)) return true;
  DeviceIdle();
  return false;
}

// A replay answers from the recording: the device is not pumped and keeps no time of its own.
bool WinPeekMessage(Message* message, bool remove) { return RecPeek(message, remove, peekDevice); }

void WinTranslateMessage(const Message*) {}

intptr_t WinDispatchMessage(const Message* message) {
  if (!message || message->window == 0) return 0;
  return sendMessage(message->window, message->message, message->wParam, message->lParam);
}

void WinPostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

intptr_t WinDefaultProc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
  WindowState* state = findWindow(window);
  if (!state) return 0;
  switch (message) {
    case WM_CLOSE:
      // Closing destroys the window; its procedure hears WM_DESTROY before it is gone.
      sendMessage(window, WM_DESTROY, 0, 0);
      windows.erase(window);
      return 0;
    case WM_PAINT:
      state->invalid = false;
      return 0;
    default:
      return 0;
  }
}

void WinValidate(WindowHandle window) {
  if (WindowState* state = findWindow(window)) state->invalid = false;
}

bool WinIsWindow(WindowHandle window) { return findWindow(window) != nullptr; }
