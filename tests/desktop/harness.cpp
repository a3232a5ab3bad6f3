// harness.cpp -- child processes, Xvfb, xdotool and ImageMagick for the desktop tests.
#include "desktop/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>

#include "support/testing.h"

extern char** environ;

namespace desktop_testing {

bool WaitFor(const std::function<bool()>& condition, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

// ---- Process ----

Process::Process(const std::vector<std::string>& argv,
                 const std::map<std::string, std::optional<std::string>>& environment, const std::string& outPath,
                 const std::string& errPath) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    std::string variable(*entry);
    if (!environment.count(variable.substr(0, variable.find('=')))) variables.push_back(variable);
  }
  for (const auto& [name, value] : environment)
    if (value) variables.push_back(name + "=" + *value);
  std::vector<char*> args, env;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  for (const auto& variable : variables) env.push_back(const_cast<char*>(variable.c_str()));
  env.push_back(nullptr);

  std::fflush(nullptr);
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    // A test program that dies (a crash, a timeout, a closed pipe) takes its zelvo and Xvfb with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) _exit(127);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int in = ::open("/dev/null", O_RDONLY);
    if (out >= 0) ::dup2(out, 1);
    if (err >= 0) ::dup2(err, 2);
    if (in >= 0) ::dup2(in, 0);
    ::execvpe(args[0], args.data(), env.data());
    _exit(127);
  }
}

Process::~Process() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status_, 0);
  }
}

bool Process::Running() {
  if (pid_ <= 0 || reaped_) return false;
  if (::waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
  return !reaped_;
}

bool Process::Wait(double seconds, int* exitCode) {
  if (!WaitFor([this] { return !Running(); }, seconds)) return false;
  *exitCode = WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  return true;
}

// ---- VirtualDisplay ----

bool VirtualDisplay::Available() { return OnPath("Xvfb") && OnPath("xdotool"); }

VirtualDisplay::VirtualDisplay(int width, int height) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return;
  // Xvfb finds a free display number itself and writes it to this descriptor once it accepts clients.
  const std::string fd = std::to_string(pipeFds[1]);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  server_ = std::make_unique<Process>(
      std::vector<std::string>{"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
      std::map<std::string, std::optional<std::string>>{});
  ::close(pipeFds[1]);
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{pipeFds[0], POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    char buffer[16];
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  const size_t end = number.find('\n');
  if (end != std::string::npos) name_ = std::string(":").append(number, 0, end);
}

VirtualDisplay::~VirtualDisplay() {
  if (server_ && server_->pid() > 0) ::kill(server_->pid(), SIGTERM);
  int ignored = 0;
  if (server_) server_->Wait(10, &ignored);
}

std::optional<std::string> VirtualDisplay::Run(const std::string& command) const {
  const std::string line = "DISPLAY=" + name_ + " " + command + " 2>/dev/null";
  FILE* pipe = ::popen(line.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

// ---- pictures ----

uint32_t Picture::At(int x, int y) const {
  const size_t at = (static_cast<size_t>(y) * width + x) * 3;
  return static_cast<uint32_t>(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]);
}

uint16_t Picture::At565(int x, int y) const {
  const uint32_t rgb = At(x, y);
  return static_cast<uint16_t>((rgb >> 19) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

bool LoadPicture(const std::string& path, Picture* picture) {
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (!pixels) return false;
  picture->width = width;
  picture->height = height;
  picture->rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  stbi_image_free(pixels);
  return true;
}

ScreenDifference CompareScreen(const Picture& window, const Picture& screen) {
  ScreenDifference difference;
  const desktop::ViewLayout layout = desktop::LayoutScreen(window.width, window.height, screen.width, screen.height);
  int left = screen.width, top = screen.height, right = -1, bottom = -1;
  for (int wy = std::max(layout.y, 0); wy < std::min(layout.y + layout.height, window.height); ++wy) {
    for (int wx = std::max(layout.x, 0); wx < std::min(layout.x + layout.width, window.width); ++wx) {
      const int x = (wx - layout.x) / layout.scale, y = (wy - layout.y) / layout.scale;
      const uint16_t shown = window.At565(wx, wy), expected = screen.At565(x, y);
      if (shown == expected) continue;
      if (difference.pixels++ == 0) {
        char words[128];
        std::snprintf(words, sizeof words, "screen pixel (%d, %d) shows %04x instead of %04x", x, y, shown, expected);
        difference.first = words;
      }
      left = std::min(left, x);
      top = std::min(top, y);
      right = std::max(right, x);
      bottom = std::max(bottom, y);
    }
  }
  if (difference.pixels > 0) difference.box = Geometry{left, top, right - left + 1, bottom - top + 1};
  return difference;
}

bool ScreenDifference::Inside(const Geometry& area) const {
  return pixels == 0 || (box.x >= area.x && box.y >= area.y && box.x + box.width <= area.x + area.width &&
                         box.y + box.height <= area.y + area.height);
}

bool InstallDefaultWorld(const std::string& appDirectory, std::string* problem) {
  namespace fs = std::filesystem;
  for (const char* name : {"map.dat", "images.dat", "fonts.dat", "sprites.dat", "art.dat", "dialogs.dat",
                           "events.dat", "main.wav", "ingame.wav"}) {
    std::error_code error;
    fs::copy_file(fs::path(ZELVO_WORLD_DIR) / name, fs::path(appDirectory) / name,
                  fs::copy_options::overwrite_existing, error);
    if (error) {
      *problem = std::string("the default world's ") + name + " is not in " + ZELVO_WORLD_DIR + ": " + error.message();
      return false;
    }
  }
  return true;
}

Picture GoldenPicture(const std::string& name) {
  Picture picture;
  LoadPicture(std::string(ZELVO_GOLDEN_DIR) + "/" + name + ".png", &picture);
  return picture;
}

// ---- the speaker's output ----

uintmax_t SpeakerFile::Written() const {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path_, error);
  return error ? 0 : size;
}

bool SpeakerFile::WaitForBytes(uintmax_t bytes, double seconds) const {
  return WaitFor([&] { return Written() >= bytes; }, seconds);
}

std::vector<int16_t> SpeakerFile::SamplesFrom(uintmax_t byte) const {
  const std::string bytes = testing_support::ReadFile(path_);
  std::vector<int16_t> samples;
  for (size_t at = static_cast<size_t>(byte) & ~size_t{1}; at + 1 < bytes.size(); at += 2) {
    int16_t value;
    std::memcpy(&value, bytes.data() + at, 2);
    samples.push_back(value);
  }
  return samples;
}

int SpeakerFile::LoudestFromNowOn(int bufferBytes) const {
  const uintmax_t from = Written() + 4 * static_cast<uintmax_t>(bufferBytes);
  if (!WaitForBytes(from + 4 * static_cast<uintmax_t>(bufferBytes))) return -1;
  return Loudest(SamplesFrom(from));
}

int Loudest(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

// ---- windows ----

Geometry XWindow::GetGeometry() const {
  Geometry geometry;
  auto out = display->Run("xdotool getwindowgeometry --shell " + std::to_string(id));
  if (!out) return geometry;
  std::istringstream lines(*out);
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const int value = std::atoi(line.c_str() + equals + 1);
    if (name == "X") geometry.x = value;
    if (name == "Y") geometry.y = value;
    if (name == "WIDTH") geometry.width = value;
    if (name == "HEIGHT") geometry.height = value;
  }
  return geometry;
}

bool XWindow::Shoot(const std::string& path, Picture* picture) const {
  return display->Run("import -window " + std::to_string(id) + " png24:" + path) && LoadPicture(path, picture);
}

bool XWindow::WaitForShot(const std::string& path, const std::function<bool(const Picture&)>& accept, double seconds,
                          Picture* last) const {
  return WaitFor([&] { return Shoot(path, last) && accept(*last); }, seconds);
}

Picture XWindow::CropScreen(const Picture& window, int screenWidth, int screenHeight) const {
  const desktop::ViewLayout layout = desktop::LayoutScreen(window.width, window.height, screenWidth, screenHeight);
  Picture screen;
  screen.width = screenWidth;
  screen.height = screenHeight;
  for (int y = 0; y < screenHeight; ++y) {
    for (int x = 0; x < screenWidth; ++x) {
      int wx = 0, wy = 0;
      desktop::DeviceToWindow(layout, x, y, &wx, &wy);
      const bool inside = wx >= 0 && wy >= 0 && wx < window.width && wy < window.height;
      const uint32_t pixel = inside ? window.At(wx, wy) : 0;
      screen.rgb.push_back(static_cast<uint8_t>(pixel >> 16));
      screen.rgb.push_back(static_cast<uint8_t>(pixel >> 8));
      screen.rgb.push_back(static_cast<uint8_t>(pixel));
    }
  }
  return screen;
}

// Move over a window point and press, click or release the left button.
static bool pointAt(const XWindow& window, int x, int y, const std::string& button) {
  // No --sync: it waits for a move that never comes when the pointer is already there, and the
  // server handles the move before the button anyway.
  return window.display
      ->Run("xdotool mousemove --window " + std::to_string(window.id) + " " + std::to_string(x) + " " +
            std::to_string(y) + " " + button + " 1")
      .has_value();
}

bool XWindow::ClickWindow(int x, int y) const { return pointAt(*this, x, y, "click"); }

// The window point over the middle of device pixel (x, y).
static void windowPoint(const XWindow& window, int x, int y, int screenWidth, int screenHeight, int* wx, int* wy) {
  const Geometry geometry = window.GetGeometry();
  const desktop::ViewLayout layout = desktop::LayoutScreen(geometry.width, geometry.height, screenWidth, screenHeight);
  desktop::DeviceToWindow(layout, x, y, wx, wy);
}

bool XWindow::ClickDevice(int x, int y, int screenWidth, int screenHeight) const {
  int wx = 0, wy = 0;
  windowPoint(*this, x, y, screenWidth, screenHeight, &wx, &wy);
  return ClickWindow(wx, wy);
}

bool XWindow::TouchDevice(int x, int y, int screenWidth, int screenHeight) const {
  int wx = 0, wy = 0;
  windowPoint(*this, x, y, screenWidth, screenHeight, &wx, &wy);
  return pointAt(*this, wx, wy, "mousedown");
}

bool XWindow::Focus() const { return display->Run("xdotool windowfocus --sync " + std::to_string(id)).has_value(); }

bool XWindow::Key(const std::string& keys) const { return display->Run("xdotool key " + keys).has_value(); }

bool XWindow::Press(const std::string& key, double seconds) const {
  // One xdotool run, so that starting a second program cannot stretch the hold.
  return display->Run("xdotool keydown " + key + " sleep " + std::to_string(seconds) + " keyup " + key).has_value();
}

bool XWindow::Fill(Geometry area, unsigned long pixel) const {
  Display* x = XOpenDisplay(display->name().c_str());
  if (!x) return false;
  GC gc = XCreateGC(x, id, 0, nullptr);
  XSetForeground(x, gc, pixel);
  XFillRectangle(x, id, gc, area.x, area.y, static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
  XFreeGC(x, gc);
  XSync(x, False);
  XCloseDisplay(x);
  return true;
}

bool XWindow::RequestClose() const {
  Display* x = XOpenDisplay(display->name().c_str());
  if (!x) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = id;
  event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(x, id, False, NoEventMask, &event) != 0;
  XFlush(x);
  XCloseDisplay(x);
  return sent;
}

// The title of a window, whichever way its program set it (SDL's message boxes use UTF-8 only).
static std::string windowTitle(Display* x, Window window) {
  Atom utf8 = XInternAtom(x, "UTF8_STRING", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_NAME", False), 0, 1024, False, utf8, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    return title;
  }
  char* name = nullptr;
  if (XFetchName(x, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

// The process that says it made a window, or 0.
static pid_t windowProcess(Display* x, Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data) {
    if (count == 1 && format == 32) pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return pid;
}

// A mapped top-level window with exactly this title (made by pid, unless that is 0), or 0.
// A window may go away between listing it and asking about it; that is no reason to end the test
// program, which is what Xlib's own handler does with the error.
static int ignoreXError(Display*, XErrorEvent*) { return 0; }

static unsigned long findMapped(const VirtualDisplay& display, const std::string& title, pid_t pid) {
  Display* x = XOpenDisplay(display.name().c_str());
  if (!x) return 0;
  XSetErrorHandler(ignoreXError);
  unsigned long found = 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable &&
          windowTitle(x, children[i]) == title && (pid == 0 || windowProcess(x, children[i]) == pid))
        found = children[i];
    }
    if (children) XFree(children);
  }
  XCloseDisplay(x);
  return found;
}

std::optional<XWindow> FindWindow(const VirtualDisplay& display, const std::string& title, double seconds,
                                  pid_t pid) {
  XWindow window{&display, 0};
  WaitFor([&] { return (window.id = findMapped(display, title, pid)) != 0; }, seconds);
  if (window.id == 0) return std::nullopt;
  return window;
}

::testing::AssertionResult MessageBoxesCanShow(const VirtualDisplay& display) {
  Display* x = XOpenDisplay(display.name().c_str());
  if (!x) return ::testing::AssertionFailure() << "no X server on " << display.name();
  int count = 0;
  char** names = XListFonts(x, "-*-*-medium-r-normal--*-120-*-*-*-*-*-*", 1, &count);
  if (names) XFreeFontNames(names);
  XCloseDisplay(x);
  if (count > 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the X core fonts are missing: install xfonts-base (scripts/setup-deps --test)";
}

CoverWindow::CoverWindow(const VirtualDisplay& display, Geometry where) {
  Display* x = XOpenDisplay(display.name().c_str());
  if (!x) return;
  connection_ = x;
  id_ = XCreateSimpleWindow(x, DefaultRootWindow(x), where.x, where.y, static_cast<unsigned>(where.width),
                            static_cast<unsigned>(where.height), 0, 0, WhitePixel(x, DefaultScreen(x)));
  XStoreName(x, id_, "cover");
  XMapRaised(x, id_);
  XSync(x, False);
}

CoverWindow::~CoverWindow() {
  if (!connection_) return;
  auto* x = static_cast<Display*>(connection_);
  XDestroyWindow(x, id_);
  XCloseDisplay(x);
}

std::vector<unsigned long> StackingOrder(const VirtualDisplay& display) {
  std::vector<unsigned long> order;
  Display* x = XOpenDisplay(display.name().c_str());
  if (!x) return order;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
    order.assign(children, children + count);
    if (children) XFree(children);
  }
  XCloseDisplay(x);
  return order;
}

// ---- zelvo ----

std::map<std::string, std::optional<std::string>> ZelvoEnvironment(const VirtualDisplay& display) {
  std::map<std::string, std::optional<std::string>> environment{{"DISPLAY", display.name()},
                                                                {"WAYLAND_DISPLAY", std::nullopt},
                                                                {"SDL_VIDEODRIVER", std::nullopt},
                                                                {"SDL_AUDIODRIVER", "dummy"},
                                                                {"SDL_MOUSE_FOCUS_CLICKTHROUGH", "1"}};
#ifdef ZELVO_TEST_SOFTWARE_RENDERING
  environment["SDL_RENDER_DRIVER"] = "software";
  environment["SDL_FRAMEBUFFER_ACCELERATION"] = "0";
#endif
  return environment;
}

ZelvoRun::ZelvoRun(const VirtualDisplay& display, const std::string& appDirectory,
                   const std::vector<std::string>& options,
                   const std::map<std::string, std::optional<std::string>>& environment,
                   const std::vector<std::string>& program)
    : display_(display) {
  std::vector<std::string> argv = program;
  argv.insert(argv.end(), {"--app-dir", appDirectory});
  argv.insert(argv.end(), options.begin(), options.end());
  auto env = ZelvoEnvironment(display);
  for (const auto& [name, value] : environment) env[name] = value;
  process_ = std::make_unique<Process>(argv, env, scratch_.file("out.txt"), scratch_.file("err.txt"));
}

std::optional<XWindow> ZelvoRun::Window(double seconds) {
  return FindWindow(display_, "Zelvo", seconds, process_->pid());
}

std::string ZelvoRun::Out() const { return testing_support::ReadFile(scratch_.file("out.txt")); }
std::string ZelvoRun::Err() const { return testing_support::ReadFile(scratch_.file("err.txt")); }

void ZelvoTest::SetUp() {
  if (!VirtualDisplay::Available()) GTEST_SKIP() << "Xvfb and xdotool are not installed";
  display_ = std::make_unique<VirtualDisplay>();
  ASSERT_TRUE(display_->ok()) << "Xvfb did not start";
  std::string problem;
  ASSERT_TRUE(InstallDefaultWorld(dir_.path(), &problem)) << problem;
}

void ZelvoTest::ExpectCleanExit(ZelvoRun& zelvo, const std::string& appDirectory) {
  int exitCode = -1;
  ASSERT_TRUE(zelvo.Wait(20, &exitCode)) << "zelvo did not end";
  EXPECT_EQ(exitCode, 0) << zelvo.Err();
  const auto lines = testing_support::LogLines(testing_support::ReadFile(appDirectory + "/log.txt"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Exiting");
}

}  // namespace desktop_testing
