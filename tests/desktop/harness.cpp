// harness.cpp -- child processes, Xvfb, xdotool and ImageMagick for the desktop tests.
#include "desktop/harness.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/sdl/view.h"

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

Process::Process(const std::vector<std::string>& argv, const Environment& environment, const std::string& outPath,
                 const std::string& errPath) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry; ++entry) {
    const std::string variable(*entry);
    if (!environment.count(variable.substr(0, variable.find('=')))) variables.push_back(variable);
  }
  for (const auto& [name, value] : environment)
    if (value) variables.push_back(name + "=" + *value);
  std::vector<char*> args, env;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  for (const auto& variable : variables) env.push_back(const_cast<char*>(variable.c_str()));
  args.push_back(nullptr);
  env.push_back(nullptr);
  std::fflush(nullptr);
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ == 0) {
    // A test program that dies (a crash, a timeout, a closed pipe) takes its zelvo and Xvfb with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) _exit(127);
    const int fds[] = {::open("/dev/null", O_RDONLY), ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                       ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
    for (int fd = 0; fd < 3; ++fd)
      if (fds[fd] >= 0) ::dup2(fds[fd], fd);
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

std::optional<int> Process::Wait(double seconds) {
  if (!WaitFor([this] { return !Running(); }, seconds)) return std::nullopt;
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

VirtualDisplay::VirtualDisplay(const std::string& size) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return;
  // Xvfb finds a free display number itself and writes it to this descriptor once it accepts clients.
  const std::vector<std::string> argv{
      "Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset"};
  server = std::make_unique<Process>(argv, Environment{});
  ::close(pipeFds[1]);
  pollfd ready{pipeFds[0], POLLIN, 0};
  FILE* in = ::fdopen(pipeFds[0], "r");  // the number may come in more than one write
  char number[16] = {};
  if (::poll(&ready, 1, 20000) > 0 && std::fgets(number, sizeof number, in) && std::strchr(number, '\n'))
    name = ":" + std::string(number, std::strcspn(number, "\n"));
  std::fclose(in);
}

VirtualDisplay::~VirtualDisplay() {
  if (server && server->pid() > 0 && ::kill(server->pid(), SIGTERM) == 0) server->Wait(10);
}

bool VirtualDisplay::Run(const std::string& command, std::string* out) const {
  FILE* pipe = ::popen(("DISPLAY=" + name + " " + command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    if (out) out->append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

uint16_t Picture::At565(int x, int y) const {
  const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return static_cast<uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
}

Picture LoadPicture(const std::string& path) {
  Picture picture;
  picture.rgb = testing_support::ReadPngRgb(path, &picture.width, &picture.height);
  return picture;
}

int ScreenDifference(const Picture& window, const Picture& screen, std::string* first) {
  const desktop::ViewLayout layout = desktop::LayoutScreen(window.width, window.height, screen.width, screen.height);
  int pixels = 0;
  for (int wy = std::max(layout.y, 0); wy < std::min(layout.y + layout.height, window.height); ++wy) {
    for (int wx = std::max(layout.x, 0); wx < std::min(layout.x + layout.width, window.width); ++wx) {
      const int x = (wx - layout.x) / layout.scale, y = (wy - layout.y) / layout.scale;
      if (window.At565(wx, wy) == screen.At565(x, y) || pixels++ > 0 || !first) continue;
      char words[96];
      std::snprintf(words, sizeof words, "screen pixel (%d, %d) shows %04x instead of %04x", x, y, window.At565(wx, wy),
                    screen.At565(x, y));
      *first = words;
    }
  }
  return pixels;
}

// ---- windows ----

int XWindow::Size(const std::string& field) const {
  std::string text = "\n";
  display->Run("xdotool getwindowgeometry --shell " + std::to_string(id), &text);
  const size_t at = text.find("\n" + field + "=");
  return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + field.size() + 2);
}

Picture XWindow::Shoot(const std::string& path) const {
  return display->Run("import -window " + std::to_string(id) + " png24:" + path) ? LoadPicture(path) : Picture{};
}

bool XWindow::WaitForShot(const std::string& path, const std::function<bool(const Picture&)>& accept, Picture* last) const {
  return WaitFor([&] { return !(*last = Shoot(path)).rgb.empty() && accept(*last); }, 20);
}

bool XWindow::ClickWindow(int x, int y, const std::string& button) const {
  // No --sync: it waits for a move that never comes when the pointer is already there, and the
  // server handles the move before the button anyway.
  return Do("mousemove --window % " + std::to_string(x) + " " + std::to_string(y) + " " + button + " 1");
}

bool XWindow::ClickDevice(int x, int y, const std::string& button) const {
  int wx = 0, wy = 0;
  desktop::DeviceToWindow(desktop::LayoutScreen(Size("WIDTH"), Size("HEIGHT"), 240, 320), x, y, &wx, &wy);
  return ClickWindow(wx, wy, button);
}

bool XWindow::Do(const std::string& xdotool) const {
  std::string command = "xdotool " + xdotool;
  for (size_t at; (at = command.find('%')) != std::string::npos;) command.replace(at, 1, std::to_string(id));
  return display->Run(command);
}

bool XWindow::RequestClose() const {
  Display* x = XOpenDisplay(display->name.c_str());
  if (!x) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = id;
  event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(x, id, False, NoEventMask, &event) != 0;
  XCloseDisplay(x);
  return sent;
}

std::optional<XWindow> FindWindow(const VirtualDisplay& display, const std::string& title, pid_t pid) {
  const std::string search = "xdotool search --all --maxdepth 2 --onlyvisible" +
                             (pid ? " --pid " + std::to_string(pid) : std::string()) + " --name '^" + title + "$'";
  std::string found;
  if (!WaitFor([&] { return display.Run(search, &(found = "")); }, 20)) return std::nullopt;
  return XWindow{&display, std::stoul(found)};
}

CoverWindow::CoverWindow(const VirtualDisplay& display) {
  Display* x = XOpenDisplay(display.name.c_str());
  if (!(connection = x)) return;
  id = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 100, 100, 0, 0, WhitePixel(x, DefaultScreen(x)));
  XMapRaised(x, id);
  XSync(x, False);
}

CoverWindow::~CoverWindow() {
  if (connection) XCloseDisplay(static_cast<Display*>(connection));  // its windows go with it
}

bool StackedAbove(const VirtualDisplay& display, unsigned long a, unsigned long b) {
  Display* x = XOpenDisplay(display.name.c_str());
  if (!x) return false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  std::vector<Window> order;  // bottom to top
  if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) order.assign(children, children + count);
  if (children) XFree(children);
  XCloseDisplay(x);
  const auto ia = std::find(order.begin(), order.end(), a), ib = std::find(order.begin(), order.end(), b);
  return ia != order.end() && ib != order.end() && ia > ib;
}

int LoudestFromNowOn(const std::string& speakerFile) {
  constexpr uintmax_t kBuffer = 1024 * 4;
  auto written = [&] {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(speakerFile, error);
    return error ? 0 : size;
  };
  const uintmax_t from = (written() + 4 * kBuffer) & ~uintmax_t{1};
  if (!WaitFor([&] { return written() >= from + 4 * kBuffer; }, 10)) return -1;
  const std::string bytes = testing_support::ReadFile(speakerFile);
  int peak = 0;
  for (size_t at = from; at + 1 < bytes.size(); at += 2) {
    int16_t sample;
    std::memcpy(&sample, bytes.data() + at, 2);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

// ---- zelvo ----

Environment ZelvoEnvironment(const VirtualDisplay& display) {
  Environment environment{{"DISPLAY", display.name},
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
                   const std::vector<std::string>& options, const Environment& environment,
                   const std::vector<std::string>& program)
    : display(display) {
  std::vector<std::string> argv = program;
  argv.insert(argv.end(), {"--app-dir", appDirectory});
  argv.insert(argv.end(), options.begin(), options.end());
  Environment env = ZelvoEnvironment(display);
  for (const auto& [name, value] : environment) env[name] = value;
  process = std::make_unique<Process>(argv, env, scratch.file("out.txt"), scratch.file("err.txt"));
}

void ZelvoTest::SetUp() {
  if (std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0) GTEST_SKIP() << "no Xvfb or xdotool";
  display_ = std::make_unique<VirtualDisplay>();
  ASSERT_FALSE(display_->name.empty()) << "Xvfb did not start";
  for (const char* name : {"map.dat", "images.dat", "fonts.dat", "sprites.dat", "art.dat", "dialogs.dat", "events.dat",
                           "main.wav", "ingame.wav"})  // a missing one throws, naming it
    std::filesystem::copy_file(std::filesystem::path(ZELVO_WORLD_DIR) / name, dir_.file(name));
}

void ZelvoTest::ExpectCleanExit(ZelvoRun& zelvo, const std::string& appDirectory) {
  ASSERT_EQ(zelvo.process->Wait(20), 0) << zelvo.Err();  // none: it did not end
  const std::string log = (appDirectory.empty() ? dir_.path() : appDirectory) + "/log.txt";
  const auto lines = testing_support::LogLines(testing_support::ReadFile(log));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Exiting");
}

}  // namespace desktop_testing
