// The SDL2 window, its texture, the event wait and the endpoint watcher.
#include "platform/presenter_sdl/sdl_presenter.h"

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/presenter_sdl/icon_file.h"
#include "platform/presenter_sdl/sdl_input.h"
#include "platform/resource.h"
#include "platform/shell.h"

namespace pf {

namespace {

constexpr unsigned kProgramIcon = 101;

// Wakes SDL's event wait when a descriptor becomes readable. The GUI thread
// arms it with the endpoint's descriptor before it waits and disarms it
// afterwards; while disarmed the thread sleeps on a condition, so a readable
// descriptor that the loop has not served yet cannot make it spin, and it
// never polls a descriptor the GUI thread may close.
class FdWatcher {
 public:
  explicit FdWatcher(Uint32 wakeEvent) : wakeEvent_(wakeEvent) {
    if (pipe2(interrupt_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
      interrupt_ = {-1, -1};
      return;
    }
    thread_ = std::thread([this] { Run(); });
  }

  ~FdWatcher() {
    if (thread_.joinable()) {
      {
        std::lock_guard lock(mutex_);
        stop_ = true;
      }
      Interrupt();
      changed_.notify_all();
      thread_.join();
    }
    for (int fd : interrupt_) {
      if (fd >= 0) close(fd);
    }
  }

  FdWatcher(const FdWatcher&) = delete;
  FdWatcher& operator=(const FdWatcher&) = delete;

  bool Working() const { return thread_.joinable(); }

  void Arm(int fd) {
    std::lock_guard lock(mutex_);
    fd_ = fd;
    armed_ = true;
    changed_.notify_all();
  }

  // Returns once the thread no longer polls the descriptor.
  void Disarm() {
    std::unique_lock lock(mutex_);
    armed_ = false;
    if (polling_) Interrupt();
    changed_.wait(lock, [this] { return !polling_; });
  }

 private:
  void Interrupt() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(interrupt_[1], &byte, 1);
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return stop_ || armed_; });
      if (stop_) return;
      std::array<pollfd, 2> fds{{{fd_, POLLIN, 0}, {interrupt_[0], POLLIN, 0}}};
      polling_ = true;
      lock.unlock();
      const int n = poll(fds.data(), fds.size(), -1);
      char drain[64];
      while (read(interrupt_[0], drain, sizeof drain) > 0) {
      }
      lock.lock();
      polling_ = false;
      const bool readable = n > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP | POLLNVAL)) != 0;
      if (readable && armed_) {
        armed_ = false;  // the GUI thread serves it, then arms again
        SDL_Event event{};
        event.type = wakeEvent_;
        SDL_PushEvent(&event);
      }
      changed_.notify_all();
    }
  }

  Uint32 wakeEvent_;
  std::array<int, 2> interrupt_{-1, -1};
  std::mutex mutex_;
  std::condition_variable changed_;
  int fd_ = -1;
  bool armed_ = false;
  bool polling_ = false;
  bool stop_ = false;
  std::thread thread_;
};

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) > 0;
}

}  // namespace

struct SdlPresenter::State {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int scale = 1;
  int width = 0;
  int height = 0;
  bool redraw = true;       // draw the texture again even if nothing changed
  bool uploadAll = true;    // the texture does not hold the screen yet
  std::optional<SdlInput> input;
  std::unique_ptr<FdWatcher> watcher;
  bool shown = false;       // the window appears when the program first goes idle
  bool idleInstalled = false;
  bool sdlStarted = false;
};

SdlPresenter::SdlPresenter() : state_(std::make_unique<State>()) {}

SdlPresenter::~SdlPresenter() { Stop(); }

int SdlPresenter::Scale() const { return state_->scale; }

bool SdlPresenter::Start(const SdlPresenterOptions& options, std::string* error) {
  Stop();
  State& s = *state_;
  const auto fail = [&](const std::string& what) {
    if (error != nullptr) *error = what + ": " + SDL_GetError();
    Stop();
    return false;
  };
  if (!PlatformRunning()) {
    if (error != nullptr) *error = "the platform is not running";
    return false;
  }
  // A reader is no game: let the screen saver and the desktop's compositor
  // work as usual while the window is open.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("no display");
  s.sdlStarted = true;
  s.width = ScreenWidth();
  s.height = ScreenHeight();
  s.scale = options.scale;
  if (s.scale <= 0) {
    SDL_Rect usable{};
    s.scale = SDL_GetDisplayUsableBounds(0, &usable) == 0
                  ? FitScale(s.width, s.height, usable.w, usable.h)
                  : 1;
  }
  s.scale = std::clamp(s.scale, 1, 16);

  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  s.window = SDL_CreateWindow("Corvella", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              s.width * s.scale, s.height * s.scale, SDL_WINDOW_HIDDEN);
  if (s.window == nullptr) return fail("cannot open the window");
  s.renderer = SDL_CreateRenderer(s.window, -1, 0);
  if (s.renderer == nullptr) s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
  if (s.renderer == nullptr) return fail("cannot draw in the window");
  // Screen pixels are 0x00RRGGBB: SDL's RGB888.
  s.texture = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                s.width, s.height);
  if (s.texture == nullptr) return fail("cannot make the screen texture");

  if (const BinaryResource* icon = FindIconResource(kProgramIcon)) {
    if (std::optional<IconImage> image = DecodeIconFile(icon->bytes)) {
      SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
          image->pixels.data(), image->width, image->height, 32, image->width * 4,
          SDL_PIXELFORMAT_ARGB8888);
      if (surface != nullptr) {
        SDL_SetWindowIcon(s.window, surface);  // SDL copies the pixels
        SDL_FreeSurface(surface);
      }
    }
  }

  const Uint32 wakeEvent = SDL_RegisterEvents(1);
  if (wakeEvent == static_cast<Uint32>(-1)) return fail("no user event left");
  s.watcher = std::make_unique<FdWatcher>(wakeEvent);
  if (!s.watcher->Working()) {
    SDL_SetError("cannot start the endpoint watcher");
    return fail("cannot watch the endpoint");
  }
  s.input.emplace(s.scale, s.width, s.height);
  SDL_StartTextInput();
  s.redraw = true;
  s.uploadAll = true;
  s.shown = false;
  SetIdleHandler([this](const IdleRequest& request) { OnIdle(request); });
  s.idleInstalled = true;
  return true;
}

void SdlPresenter::Stop() {
  State& s = *state_;
  if (s.idleInstalled) {
    SetIdleHandler({});
    s.idleInstalled = false;
  }
  s.watcher.reset();
  s.input.reset();
  if (s.texture != nullptr) SDL_DestroyTexture(s.texture);
  if (s.renderer != nullptr) SDL_DestroyRenderer(s.renderer);
  if (s.window != nullptr) SDL_DestroyWindow(s.window);
  s.texture = nullptr;
  s.renderer = nullptr;
  s.window = nullptr;
  if (s.sdlStarted) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
    s.sdlStarted = false;
  }
}

void SdlPresenter::OnIdle(const IdleRequest& request) {
  State& s = *state_;
  if (s.window == nullptr) return;
  // Shown only now, so that a copy that finds another one running and ends
  // at once never flashes an empty window.
  if (!s.shown) {
    SDL_ShowWindow(s.window);
    s.shown = true;
    s.redraw = true;
  }

  // Present what changed.
  const Rect dirty = ComposeScreen();
  const Surface& screen = ScreenSurface();
  if (screen.Width() == s.width && screen.Height() == s.height) {
    Rect box = dirty;
    if (s.uploadAll) box = screen.Bounds();
    if (!box.Empty()) {
      const SDL_Rect area{box.left, box.top, box.Width(), box.Height()};
      SDL_UpdateTexture(s.texture, &area, screen.Row(box.top) + box.left, s.width * 4);
      s.uploadAll = false;
      s.redraw = true;
    }
  }
  if (s.redraw) {
    SDL_RenderClear(s.renderer);
    SDL_RenderCopy(s.renderer, s.texture, nullptr, nullptr);
    SDL_RenderPresent(s.renderer);
    s.redraw = false;
  }

  // Events left over from the last call (after a key went down) come first,
  // without sleeping.
  SDL_Event event;
  bool got = SDL_PollEvent(&event) != 0;
  if (!got) {
    // Sleep until something happens. A request already waiting on the
    // endpoint needs no sleep: the loop serves it when we return.
    if (request.wakeFd >= 0 && Readable(request.wakeFd)) return;
    if (request.wakeFd >= 0) s.watcher->Arm(request.wakeFd);
    got = SDL_WaitEventTimeout(&event, std::max(request.maxWaitMs, 0)) != 0;
    if (request.wakeFd >= 0) s.watcher->Disarm();
  }
  while (got) {
    const unsigned asks = s.input->Handle(event);
    if ((asks & SdlInput::kRedraw) != 0) s.redraw = true;
    if ((asks & SdlInput::kYield) != 0) return;
    got = SDL_PollEvent(&event) != 0;
  }
}

}  // namespace pf
