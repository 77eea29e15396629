// The screen (its size, the desktop, composing the windows into the
// framebuffer), the platform's start and stop, the task bar and full-screen
// requests.
#include "platform/shell.h"

#include <algorithm>
#include <cstring>

#include "platform/constants.h"
#include "platform/endpoint.h"
#include "platform/message.h"
#include "platform/scrollbar.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf {
namespace {

using namespace core;

constexpr Pixel kDesktopPixel = 0xFFFFFF;

struct Screen {
  int width = 240;
  int height = 320;
  bool running = false;
  Surface framebuffer;
  Surface desktop;
  Surface scratch;
  std::uint64_t changes = 0;
  HWin taskBar = nullptr;
  int bottomBar = 0;
  ShellState shell;
};

Screen& Sc() {
  static Screen screen;
  return screen;
}

// Copies the visible part of a window (inside `clip`, screen coordinates)
// into `out`, then its visible children above it.
void Blit(HWin h, const Rect& clip, Surface* out, int depth) {
  const WindowRecord* r = FindLocal(h);
  if (r == nullptr || (r->style & kStyleVisible) == 0 || !r->surface || depth > 64) return;
  const Rect s = ScreenRectOf(*r);
  const Rect part = IntersectRects(IntersectRects(s, clip), out->Bounds());
  const Surface& src = *r->surface;
  if (!part.Empty() && !src.Empty()) {
    for (int y = part.top; y < part.bottom; ++y) {
      const int sy = y - s.top;
      if (sy < 0 || sy >= src.Height()) continue;
      const int from = std::max(part.left, s.left);
      const int to = std::min(part.right, s.left + src.Width());
      if (to <= from) continue;
      std::memcpy(out->Row(y) + from, src.Row(sy) + (from - s.left),
                  static_cast<std::size_t>(to - from) * sizeof(Pixel));
    }
  }
  const Point o = ClientOriginOnScreen(*r);
  const Rect c = ClientAreaOf(*r);
  const Rect childClip = IntersectRects(Rect{o.x, o.y, o.x + c.Width(), o.y + c.Height()}, clip);
  if (childClip.Empty()) return;
  const std::vector<HWin> children = r->children;
  for (HWin child : children) Blit(child, childClip, out, depth + 1);
}

LResult TaskBarProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgPaint: {
      PaintInfo paint;
      const HDc dc = BeginPaint(window, &paint);
      if (dc != nullptr) {
        PaintTaskBar(window, dc);
        EndPaint(window, &paint);
      }
      return 0;
    }
    case kMsgEraseBackground:
      return 1;  // the paint fills everything
    case kMsgLButtonDown:
    case kMsgLButtonUp:
      return 0;  // no start menu here
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

namespace core {

void NoteScreenChange() { /* composing compares pixels; nothing to keep */ }

Surface* DesktopSurface() { return &Sc().desktop; }

ShellState& MutableShellState() { return Sc().shell; }

}  // namespace core

bool SetScreenSize(int width, int height) {
  Screen& s = Sc();
  if (s.running) return false;
  s.width = std::clamp(width, 64, 2048);
  s.height = std::clamp(height, 64, 2048);
  return true;
}

int ScreenWidth() { return Sc().width; }
int ScreenHeight() { return Sc().height; }

bool StartPlatform() {
  Screen& s = Sc();
  if (s.running) return true;
  s.framebuffer.Resize(s.width, s.height, kDesktopPixel);
  s.scratch.Resize(s.width, s.height, kDesktopPixel);
  s.desktop.Resize(s.width, s.height, kDesktopPixel);
  s.shell = ShellState{};
  s.running = true;
  InstallScrollBarHooks();  // the vertical scroll bar of windows that have one

  auto& classes = St().classes;
  auto rec = std::make_unique<ClassRecord>();
  rec->procedure = TaskBarProc;
  rec->name = u"HHTaskBar";
  rec->builtIn = true;
  classes[u"hhtaskbar"] = std::move(rec);
  s.taskBar = CreateWindow(kExStyleTopmost, u"HHTaskBar", u"", kStylePopup | kStyleVisible, 0, 0, s.width,
                           kTaskBarHeight, nullptr, 0, nullptr, nullptr);
  return s.taskBar != nullptr;
}

void StopPlatform() {
  Screen& s = Sc();
  StopEndpoint();
  ResetWindows();
  ResetQueue();
  s.taskBar = nullptr;
  s.bottomBar = 0;
  s.shell = ShellState{};
  s.running = false;
}

bool PlatformRunning() { return Sc().running; }

HWin GetTaskBar() {
  Screen& s = Sc();
  return FindLocal(s.taskBar) != nullptr ? s.taskBar : nullptr;
}

Rect DefaultWindowArea() {
  const Screen& s = Sc();
  const int bottom = std::max(kTaskBarHeight, s.height - s.bottomBar);
  return Rect{0, kTaskBarHeight, s.width, bottom};
}

void SetShellBottomBarHeight(int height) { Sc().bottomBar = std::clamp(height, 0, Sc().height / 2); }

bool RequestFullScreen(HWin window, std::uint32_t flags) {
  if (FindLocal(window) == nullptr) return false;
  Screen& s = Sc();
  const HWin bar = GetTaskBar();
  if (bar != nullptr) {
    if ((flags & kFullScreenHideTaskBar) != 0) {
      ShowWindow(bar, kShowHide);
    } else if ((flags & kFullScreenShowTaskBar) != 0) {
      ShowWindow(bar, kShowNA);
    }
  }
  if ((flags & kFullScreenHideInputButton) != 0) s.shell.inputButtonVisible = false;
  if ((flags & kFullScreenShowInputButton) != 0) s.shell.inputButtonVisible = true;
  if ((flags & kFullScreenHideStartIcon) != 0) s.shell.startIconVisible = false;
  if ((flags & kFullScreenShowStartIcon) != 0) s.shell.startIconVisible = true;
  s.shell.lastFullScreenFlags = flags;
  if (bar != nullptr) InvalidateRect(bar, nullptr, true);
  return true;
}

ShellState GetShellState() { return Sc().shell; }

Rect ComposeScreen() {
  Screen& s = Sc();
  if (!s.running || s.framebuffer.Empty()) return Rect{};
  Surface& out = s.scratch;
  if (out.Width() != s.width || out.Height() != s.height) out.Resize(s.width, s.height, kDesktopPixel);
  std::copy(s.desktop.Pixels().begin(), s.desktop.Pixels().end(), out.Pixels().begin());
  const std::vector<HWin> tops = St().topLevels;
  const Rect all{0, 0, s.width, s.height};
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) Blit(*it, all, &out, 0);

  Rect dirty;
  bool any = false;
  for (int y = 0; y < s.height; ++y) {
    const Pixel* a = out.Row(y);
    const Pixel* b = s.framebuffer.Row(y);
    if (std::memcmp(a, b, static_cast<std::size_t>(s.width) * sizeof(Pixel)) == 0) continue;
    int left = 0;
    while (a[left] == b[left]) ++left;
    int right = s.width;
    while (a[right - 1] == b[right - 1]) --right;
    if (!any) {
      dirty = Rect{left, y, right, y + 1};
      any = true;
    } else {
      dirty.left = std::min(dirty.left, left);
      dirty.right = std::max(dirty.right, right);
      dirty.bottom = y + 1;
    }
  }
  if (any) {
    std::swap(s.framebuffer, s.scratch);
    s.changes++;
  }
  return dirty;
}

const Surface& ScreenSurface() { return Sc().framebuffer; }

std::uint64_t ScreenChangeCount() { return Sc().changes; }

}  // namespace pf
