// shell.cpp -- program entry, the main window and its procedure, start-up, the message loop, shutdown.
#include "shell/shell.h"

#include "data/loaders.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "platform/system.h"
#include "services/log.h"
#include "services/settings.h"
#include "services/timer.h"
#include "services/watch.h"
#include "sound/music.h"

InstanceHandle appInstance = 0;
int32_t focusCount = 0;

static constexpr const char* kClassName = "ZelvoClass";
static constexpr const char* kWindowTitle = "Zelvo";
static constexpr uint32_t kIconId = 101;
static constexpr uint32_t kMinimumMemory = 0xA00000;  // 10 MiB
static constexpr double kSplashSeconds = 3.0;
static constexpr double kFrameSeconds = 0.01;

bool CreateMainWindow(InstanceHandle instance, int showCommand) {
  appInstance = instance;
  WinShellInit();
  if (WindowHandle other = WinFindWindow(kClassName, kWindowTitle)) {
    WinSetForeground(other | 1);
    return false;
  }
  WindowClass windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.proc = MainWndProc;
  windowClass.instance = instance;
  windowClass.iconId = kIconId;
  windowClass.background = 0;  // white stock brush
  windowClass.className = kClassName;
  if (!WinRegisterClass(windowClass)) return false;
  WindowHandle window = WinCreateWindow(kClassName, kWindowTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, instance);
  if (!window) return false;
  mainWindow = window;
  WinShowWindow(mainWindow, showCommand);
  return true;
}

intptr_t MainWndProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_SETFOCUS:
      // The display is taken back and the screen restored before frames may run again.
      DispResume();
      if (display.gfxReady) {
        clearDisplay();
        presentAll();
      }
      focusCount += 1;
      return 0;
    case WM_KILLFOCUS:
      focusCount -= 1;
      DispSuspend();
      return 0;
    case WM_DESTROY:
      WinPostQuitMessage(0);
      return 0;
    case WM_PAINT:
      if (display.gfxReady) {
        WinValidate(window);
        return 0;
      }
      return WinDefaultProc(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
      LatchTap(static_cast<uint32_t>(lParam) & 0xFFFF, (static_cast<uint32_t>(lParam) >> 16) & 0xFFFF);
      return 0;
    default:
      return WinDefaultProc(window, message, wParam, lParam);
  }
}

Message RunMessageLoop(void (*frame)(double elapsed)) {
  Message msg;
  double frameStart = 0.0;
  if (WinPeekMessage(&msg, false) && msg.message == WM_QUIT) return msg;
  // Messages always come first; a frame runs only when none waits. The loop never blocks.
  do {
    if (!running) break;
    if (WinPeekMessage(&msg, true)) {
      WinTranslateMessage(&msg);
      WinDispatchMessage(&msg);
    } else if (focusCount > 0) {
      double elapsed = TimerNow() - frameStart;
      if (elapsed > kFrameSeconds) {
        frameStart = TimerNow();
        frame(elapsed);
        if (watch::afterFrame) watch::afterFrame();
      }
    }
  } while (msg.message != WM_QUIT);
  return msg;
}

// The folder of the program file, keeping its trailing separator.
static std::string directoryOf(const std::string& path) {
  size_t end = path.find_last_of("\\/");
  return end == std::string::npos ? path : path.substr(0, end + 1);
}

int WinMain(InstanceHandle instance, InstanceHandle, const char*, int showCommand) {
  uint32_t available = SysAvailableVirtualMemory();
  if (available < kMinimumMemory) {
    SysMessageBox("Not enough free memory.\nFree up some memory by closing other applications and try again.", "Error",
                  MB_ICONERROR);
    LogWrite("\nNot enough memory: %d", static_cast<int>(available));
    return 0;
  }

  appDirectory = directoryOf(SysModuleFileName());
  LogOpen();
  LogWrite("\nStarting up");

  if (!CreateMainWindow(instance, showCommand)) return 0;

  WinFullScreen(mainWindow, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON);
  WinMoveWindow(mainWindow, 0, 0, WinScreenWidth(), WinScreenHeight(), false);

  if (GfxInit() != 0) {
    LogWrite("\nGfxInit failed");
    return 0;
  }
  if (TimerInit() != 0) {
    LogWrite("\nTimerInit failed");
    return 0;
  }
  if (TxtInit() != 0) {
    LogWrite("\nTxtInit failed");
    return 0;
  }

  keyList = DispGetDefaultKeys(KEYS_NORMAL);
  SettingsUseDeviceKeys(keyList);
  SettingsLoad();

  if (loadGameData() != 0) {
    SysMessageBox("Failed to load game data.\nReinstall the application.", "Error", MB_ICONERROR);
    LogWrite("\nFailed to load game data");
    return 0;
  }
  running = 1;

  ImageRecord splash;
  if (getImage(6, &splash)) {
    drawImage(0, 0, splash);
    presentAll();
  }
  const double splashStart = TimerNow();

  if (SndInit() != 0) {
    LogWrite("\nSndInit failed");
    return 0;
  }
  SndSetVolume(volumeSetting);
  SndPlayTitleMusic();

  while (TimerNow() - splashStart < kSplashSeconds) SysSleep(100);

  Message last = RunMessageLoop(GameFrame);

  GfxUninit();
  SndUninit();
  LogWrite("\nExiting");
  LogClose();
  return static_cast<int>(last.wParam);
}
