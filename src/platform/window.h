// window.h -- the main window, its class and the message queue.
#pragma once

#include <cstdint>
#include <string>

// Window messages keep their handheld numbers and wParam/lParam packing.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;

constexpr uintptr_t MK_LBUTTON = 0x0001;

// Class and window styles, show commands and the full-screen request's flags.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr int32_t CW_USEDEFAULT = static_cast<int32_t>(0x80000000u);
constexpr int SW_SHOW = 5;
constexpr uint32_t SHFS_HIDETASKBAR = 0x0002;
constexpr uint32_t SHFS_HIDESIPBUTTON = 0x0008;
constexpr uint32_t SHFS_HIDESTARTICON = 0x0020;

using WindowHandle = uintptr_t;    // 0 is no window
using InstanceHandle = uintptr_t;  // the program instance, as the entry point receives it

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

struct WindowClass {
  uint32_t style = 0;
  WindowProc proc = nullptr;
  InstanceHandle instance = 0;
  uint32_t iconId = 0;      // icon group resource of the program
  uint32_t background = 0;  // stock brush (0 = white)
  std::string className;
};

struct Message {
  WindowHandle window = 0;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Start-up, once, before looking for a running copy: the shell library's initialisation call.
void WinShellInit();

// Start-up: a running copy's main window with this class and title, or 0.
WindowHandle WinFindWindow(const std::string& className, const std::string& title);

// Start-up, when a copy already runs: bring its window to the front.
void WinSetForeground(WindowHandle window);

// Start-up: register the main window class. False when registration fails.
bool WinRegisterClass(const WindowClass& windowClass);

// Start-up: create the main window. Messages sent during creation (focus) reach its procedure
// before this returns. 0 when creation fails.
WindowHandle WinCreateWindow(const std::string& className, const std::string& title, uint32_t style, int32_t x,
                             int32_t y, int32_t width, int32_t height, InstanceHandle instance);

// Start-up: show the window with the program's show command.
void WinShowWindow(WindowHandle window, int showCommand);

// Start-up: ask the shell to hide the task bar, input-panel button and Start icon. False on failure.
bool WinFullScreen(WindowHandle window, uint32_t flags);

// Start-up: move and size the window (the repaint flag asks for a repaint afterwards).
void WinMoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);

// Start-up and display: the screen's size in pixels as the system reports it.
int32_t WinScreenWidth();
int32_t WinScreenHeight();

// Message loop: take (remove = true) or look at the next message. Never blocks. False when the
// queue is empty; the message is then left as it was.
bool WinPeekMessage(Message* message, bool remove);

// Message loop: turn key messages into character messages (the game needs none).
void WinTranslateMessage(const Message* message);

// Message loop: hand a message to its window's procedure and return its result.
intptr_t WinDispatchMessage(const Message* message);

// Window procedure: end the message loop with a quit message carrying exitCode.
void WinPostQuitMessage(int exitCode);

// Window procedure: the system's handling of a message the game leaves alone (closing
// destroys the window, painting validates it, ...).
intptr_t WinDefaultProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Window procedure: mark the whole window as painted.
void WinValidate(WindowHandle window);

// Display start-up: whether the handle is a live window.
bool WinIsWindow(WindowHandle window);
