// The GUI thread's message queue, the default window procedure, modal loops,
// the presenter's idle hook and input injection.
//
// Input from presenters is queued raw (screen coordinates, a key) and turned
// into window messages only when it reaches the front of the queue: hit
// testing, activation by a tap and capture then happen on the GUI thread in
// queue order, never inside the presenter's idle call.
#include "platform/message.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <deque>
#include <memory>

#include "platform/endpoint.h"
#include "platform/gdi.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf {
namespace {

using namespace core;

enum class Raw { None, StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Char, Close };

struct Item {
  Msg msg;
  Raw raw = Raw::None;
  Point point;
};

constexpr std::size_t kQueueLimit = 100000;

struct Queue {
  std::deque<Item> items;
  bool quitPending = false;
  int quitCode = 0;
  int lastQuitCode = 0;
  bool shiftDown = false;
  // Shared so that a handler replaced while it runs stays alive until it
  // returns, and keeps its state between calls.
  std::shared_ptr<IdleHandler> idle;
};

Queue& Q() {
  static Queue q;
  return q;
}

// Hit testing -----------------------------------------------------------------

HWin HitDeep(HWin w, Point p);

HWin HitChildren(HWin parent, Point p) {
  const WindowRecord* r = FindLocal(parent);
  if (r == nullptr) return nullptr;
  const std::vector<HWin> children = r->children;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const WindowRecord* c = FindLocal(*it);
    if (c == nullptr || (c->style & kStyleVisible) == 0) continue;
    if (!ScreenRectOf(*c).Contains(p)) continue;
    if (HWin hit = HitDeep(*it, p)) return hit;
  }
  return nullptr;
}

HWin HitDeep(HWin w, Point p) {
  const WindowRecord* r = FindLocal(w);
  if (r == nullptr) return nullptr;
  const Point o = ClientOriginOnScreen(*r);
  const Rect client = ClientAreaOf(*r);
  const Rect clientOnScreen{o.x, o.y, o.x + client.Width(), o.y + client.Height()};
  if (clientOnScreen.Contains(p)) {
    if (HWin hit = HitChildren(w, p)) return hit;
  }
  if (SendMessage(w, kMsgNcHitTest, 0, PackPoint(p.x, p.y)) == kHitTransparent) return nullptr;
  return FindLocal(w) != nullptr ? w : nullptr;
}

HWin HitTest(Point p) {
  const std::vector<HWin> tops = St().topLevels;
  for (HWin top : tops) {
    const WindowRecord* r = FindLocal(top);
    if (r == nullptr || (r->style & kStyleVisible) == 0) continue;
    if (!ScreenRectOf(*r).Contains(p)) continue;
    if (HWin hit = HitDeep(top, p)) return hit;
    return nullptr;  // a transparent top-level window swallows the tap
  }
  return nullptr;
}

bool InClient(HWin w, Point p) {
  const WindowRecord* r = FindLocal(w);
  if (r == nullptr) return false;
  const Point o = ClientOriginOnScreen(*r);
  const Rect c = ClientAreaOf(*r);
  return Rect{o.x, o.y, o.x + c.Width(), o.y + c.Height()}.Contains(p);
}

// The message for stylus input at screen point p to window w.
Msg StylusMessage(HWin w, Raw raw, Point p, bool nonClient) {
  const WindowRecord* r = FindLocal(w);
  Msg m;
  m.window = w;
  if (!nonClient) {
    const Point o = ClientOriginOnScreen(*r);
    m.message = raw == Raw::StylusDown ? kMsgLButtonDown : raw == Raw::StylusUp ? kMsgLButtonUp : kMsgMouseMove;
    m.wParam = raw == Raw::StylusUp ? 0 : 1;
    m.lParam = PackPoint(p.x - o.x, p.y - o.y);
  } else {
    const Rect s = ScreenRectOf(*r);
    m.message =
        raw == Raw::StylusDown ? kMsgNcLButtonDown : raw == Raw::StylusUp ? kMsgNcLButtonUp : kMsgNcMouseMove;
    m.wParam = 0;
    m.lParam = PackPoint(p.x - s.left, p.y - s.top);
  }
  return m;
}

// Turns raw input into a window message; false when it goes nowhere.
bool Cook(Item& item) {
  State& s = St();
  Queue& q = Q();
  switch (item.raw) {
    case Raw::None:
      return true;
    case Raw::StylusDown: {
      HWin target = s.capture != nullptr ? s.capture : HitTest(item.point);
      if (target == nullptr || !EnabledChain(target)) return false;
      const HWin top = TopLevelOf(target);
      const WindowRecord* t = FindLocal(top);
      if (t != nullptr && !t->taskBar && s.active != top) Activate(top, true);
      if (FindLocal(target) == nullptr || !EnabledChain(target)) return false;
      const bool nonClient = s.capture == target ? s.captureNonClient : !InClient(target, item.point);
      item.msg = StylusMessage(target, item.raw, item.point, nonClient);
      s.capture = target;
      s.captureNonClient = nonClient;
      break;
    }
    case Raw::StylusMove:
    case Raw::StylusUp: {
      HWin target = s.capture;
      bool nonClient = s.captureNonClient;
      if (target == nullptr) {
        target = HitTest(item.point);
        if (target == nullptr || !EnabledChain(target)) return false;
        nonClient = !InClient(target, item.point);
      }
      if (FindLocal(target) == nullptr) return false;
      item.msg = StylusMessage(target, item.raw, item.point, nonClient);
      if (item.raw == Raw::StylusUp && s.capture != nullptr) ReleaseCapture();
      break;
    }
    case Raw::KeyDown:
    case Raw::KeyUp:
    case Raw::Char: {
      const HWin target = s.focus != nullptr ? s.focus : s.active;
      if (item.raw == Raw::KeyDown && item.msg.wParam == kVkShift) q.shiftDown = true;
      if (item.raw == Raw::KeyUp && item.msg.wParam == kVkShift) q.shiftDown = false;
      if (target == nullptr || !EnabledChain(target)) return false;
      if (item.raw == Raw::KeyDown && item.msg.wParam == kVkF1) {
        // The help key asks the foreground window for help instead.
        item.msg = Msg{s.active != nullptr ? s.active : target, kMsgHelp, 0, 0};
        break;
      }
      item.msg.window = target;
      item.msg.message = item.raw == Raw::KeyDown ? kMsgKeyDown : item.raw == Raw::KeyUp ? kMsgKeyUp : kMsgChar;
      item.msg.lParam = item.raw == Raw::KeyUp ? static_cast<LParam>(0xC0000001u) : 1;
      break;
    }
    case Raw::Close: {
      if (s.active == nullptr) return false;
      item.msg = Msg{s.active, kMsgClose, 0, 0};
      break;
    }
  }
  item.raw = Raw::None;
  return true;
}

HWin FindPaintWindowIn(HWin w) {
  const WindowRecord* r = FindLocal(w);
  if (r == nullptr || (r->style & kStyleVisible) == 0) return nullptr;
  if (!r->update.Empty()) return w;
  for (HWin c : r->children) {
    if (HWin found = FindPaintWindowIn(c)) return found;
  }
  return nullptr;
}

HWin FindPaintWindow() {
  for (HWin top : St().topLevels) {
    if (HWin found = FindPaintWindowIn(top)) return found;
  }
  return nullptr;
}

// The next message in order; with `remove` it is taken off the queue.
bool Next(Msg* msg, bool remove) {
  Queue& q = Q();
  while (!q.items.empty()) {
    // Taken off before cooking: cooking may run window procedures, which may
    // look at the queue again.
    Item item = q.items.front();
    q.items.pop_front();
    if (!Cook(item)) continue;
    if (item.msg.window != nullptr && FindLocal(item.msg.window) == nullptr) continue;  // died meanwhile
    *msg = item.msg;
    if (!remove) q.items.push_front(item);
    return true;
  }
  if (q.quitPending) {
    *msg = Msg{nullptr, kMsgQuit, static_cast<WParam>(q.quitCode), 0};
    if (remove) {
      q.quitPending = false;
      q.lastQuitCode = q.quitCode;
    }
    return true;
  }
  if (HWin w = FindPaintWindow()) {
    *msg = Msg{w, kMsgPaint, 0, 0};
    return true;
  }
  return false;
}

// The task bar shows the time to the minute: when the minute has turned since
// it was drawn, it is drawn again (true). Otherwise false.
bool ClockTurned() {
  static std::time_t shownMinute = -1;
  const std::time_t minute = std::time(nullptr) / 60;
  if (minute == shownMinute) return false;
  shownMinute = minute;
  InvalidateTaskBar();
  return true;
}

// Milliseconds until the clock's next minute, so that an idle program sleeps
// until then at the most (and not a moment longer than a minute).
int UntilNextMinute() {
  timespec now{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return 60000;
  const long ms = (59 - now.tv_sec % 60) * 1000 + (999 - now.tv_nsec / 1000000) + 1;
  return static_cast<int>(std::clamp(ms, 1L, 60000L));
}

// Waits for something to happen; false when nothing ever can.
bool Idle() {
  Queue& q = Q();
  // Requests served may have posted or painted something: look again first.
  if (ServeEndpoint() > 0) return true;
  if (q.idle) {
    if (ClockTurned()) return true;  // paint the task bar first
    const std::shared_ptr<IdleHandler> handler = q.idle;
    (*handler)(IdleRequest{EndpointFd(), UntilNextMinute()});
    ServeEndpoint();
    return true;
  }
  const int fd = EndpointFd();
  if (fd < 0) return false;
  pollfd p{fd, POLLIN, 0};
  const int n = poll(&p, 1, -1);
  if (n < 0 && errno != EINTR) return false;
  ServeEndpoint();
  return true;
}

void PushRaw(Raw raw, Point p, WParam wParam) {
  Queue& q = Q();
  if (q.items.size() >= kQueueLimit) return;
  Item item;
  item.raw = raw;
  item.point = p;
  item.msg.wParam = wParam;
  q.items.push_back(item);
}

char16_t TypedCharacter(std::uint32_t vk, bool shift) {
  if (vk >= kVkA && vk <= kVkZ) {
    return static_cast<char16_t>(shift ? vk : vk - kVkA + u'a');
  }
  if (vk >= kVk0 && vk <= kVk9) return static_cast<char16_t>(vk);
  switch (vk) {
    case kVkSpace:
      return u' ';
    case kVkReturn:
      return u'\r';
    case kVkBack:
      return u'\b';
    case kVkTab:
      return u'\t';
    case kVkEscape:
      return u'\x1B';
    default:
      return 0;
  }
}

}  // namespace

namespace core {

void ResetQueue() {
  Queue& q = Q();
  q.items.clear();
  q.quitPending = false;
  q.quitCode = 0;
  q.lastQuitCode = 0;
  q.shiftDown = false;
  q.idle = nullptr;
}

}  // namespace core

bool PostMessage(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  if (window != nullptr && FindLocal(window) == nullptr) return false;
  Queue& q = Q();
  if (q.items.size() >= kQueueLimit) return false;
  Item item;
  item.msg = Msg{window, message, wParam, lParam};
  q.items.push_back(item);
  return true;
}

LResult SendMessage(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  const WindowRecord* r = Find(window);
  if (r == nullptr) return 0;
  if (r->remote) {
    LResult result = 0;
    RemoteSendMessage(window, message, wParam, lParam, &result);
    return result;
  }
  const WindowProc proc = r->procedure;
  if (proc == nullptr) return 0;
  return proc(window, message, wParam, lParam);
}

int GetMessage(Msg* msg) {
  if (msg == nullptr) return -1;
  for (;;) {
    if (Next(msg, true)) return msg->message == kMsgQuit ? 0 : 1;
    if (!Idle()) return -1;
  }
}

bool PeekMessage(Msg* msg, bool remove) {
  if (msg == nullptr) return false;
  ServeEndpoint();
  return Next(msg, remove);
}

bool TranslateMessage(const Msg& msg) {
  if (msg.message != kMsgKeyDown) return false;
  const char16_t c = TypedCharacter(static_cast<std::uint32_t>(msg.wParam), Q().shiftDown);
  if (c == 0) return false;
  return PostMessage(msg.window, kMsgChar, c, 1);
}

LResult DispatchMessage(const Msg& msg) {
  const WindowRecord* r = FindLocal(msg.window);
  if (r == nullptr) return 0;
  if (msg.message != kMsgPaint) return SendMessage(msg.window, msg.message, msg.wParam, msg.lParam);
  const std::uint64_t touches = r->updateTouches;
  const LResult result = SendMessage(msg.window, msg.message, msg.wParam, msg.lParam);
  if (WindowRecord* after = FindLocal(msg.window); after != nullptr && after->updateTouches == touches) {
    ValidateRect(msg.window, nullptr);
  }
  NoteScreenChange();
  return result;
}

void PostQuitMessage(int code) {
  Queue& q = Q();
  q.quitPending = true;
  q.quitCode = code;
}

int QuitCode() { return Q().lastQuitCode; }

LResult DefaultWindowProc(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return 0;
  switch (message) {
    case kMsgClose:
      DestroyWindow(window);
      return 0;
    case kMsgPaint: {
      PaintInfo paint;
      if (BeginPaint(window, &paint) != nullptr) EndPaint(window, &paint);
      return 0;
    }
    case kMsgEraseBackground: {
      const HBrush brush = r->windowClass != nullptr ? r->windowClass->background : nullptr;
      const HDc dc = reinterpret_cast<HDc>(wParam);
      if (brush == nullptr || dc == nullptr) return 0;
      Rect client;
      GetClientRect(window, &client);
      FillRect(dc, client, brush);
      return 1;
    }
    case kMsgSetText: {
      const auto* text = reinterpret_cast<const char16_t*>(lParam);
      r->title = text != nullptr ? std::u16string(text, Utf16Length(text, 1u << 20)) : std::u16string{};
      if ((r->style & kStyleCaption) == kStyleCaption) RedrawNonClient(window);
      if (St().active == window) InvalidateTaskBar();
      return 1;
    }
    case kMsgGetTextLength:
      return static_cast<LResult>(r->title.size());
    case kMsgGetText: {
      auto* buffer = reinterpret_cast<char16_t*>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(r->title.size(), wParam - 1);
      std::copy_n(r->title.data(), n, buffer);
      buffer[n] = u'\0';
      return static_cast<LResult>(n);
    }
    case kMsgNcHitTest: {
      const Point p{static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
      const Rect s = ScreenRectOf(*r);
      if (!s.Contains(p)) return kHitNowhere;
      const Point w{p.x - s.left, p.y - s.top};
      const Rect c = ClientAreaOf(*r);
      if (c.Contains(w)) return kHitClient;
      if (GetVScrollBarRect(window).Contains(w)) return kHitVScroll;
      if ((r->style & kStyleCaption) == kStyleCaption && w.y >= c.top - GetSystemMetrics(kMetricCaptionHeight) &&
          w.y < c.top) {
        return kHitCaption;
      }
      return kHitBorder;
    }
    case kMsgNcLButtonDown:
    case kMsgNcMouseMove:
    case kMsgNcLButtonUp: {
      const Point p{static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
      const std::uint32_t plain = message == kMsgNcLButtonDown ? kMsgLButtonDown
                                  : message == kMsgNcLButtonUp ? kMsgLButtonUp
                                                               : kMsgMouseMove;
      if (St().hooks.stylus != nullptr && St().hooks.stylus(window, plain, p)) return 0;
      if (message == kMsgNcLButtonUp && CaptionOkRect(*r).Contains(p)) {
        PostMessage(window, kMsgCommand, static_cast<WParam>(kIdOk), 0);
      }
      return 0;
    }
    default:
      return 0;
  }
}

bool RunModalLoop(const std::function<bool()>& done, const std::function<bool(Msg&)>& preTranslate) {
  while (!done()) {
    Msg msg;
    const int got = GetMessage(&msg);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (got < 0) return false;
    if (preTranslate && preTranslate(msg)) continue;
    TranslateMessage(msg);
    DispatchMessage(msg);
  }
  return true;
}

HAccel LoadAccelerators(HInstance instance, unsigned resourceId) {
  (void)instance;
  (void)resourceId;
  return nullptr;  // the program's resources hold no accelerator table
}

int TranslateAccelerator(HWin window, HAccel table, const Msg& msg) {
  (void)window;
  (void)msg;
  if (table == nullptr) return 0;
  return 0;
}

void SetIdleHandler(IdleHandler handler) {
  Q().idle = handler ? std::make_shared<IdleHandler>(std::move(handler)) : nullptr;
}

bool HasIdleHandler() { return Q().idle != nullptr; }

void InjectStylusDown(int x, int y) { PushRaw(Raw::StylusDown, Point{x, y}, 0); }
void InjectStylusMove(int x, int y) { PushRaw(Raw::StylusMove, Point{x, y}, 0); }
void InjectStylusUp(int x, int y) { PushRaw(Raw::StylusUp, Point{x, y}, 0); }
void InjectKeyDown(std::uint32_t virtualKey) { PushRaw(Raw::KeyDown, Point{}, virtualKey); }
void InjectKeyUp(std::uint32_t virtualKey) { PushRaw(Raw::KeyUp, Point{}, virtualKey); }
void InjectChar(char16_t character) { PushRaw(Raw::Char, Point{}, character); }

bool InjectClose() {
  if (St().active == nullptr) return false;
  PushRaw(Raw::Close, Point{}, 0);
  return true;
}

}  // namespace pf
