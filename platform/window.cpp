// Windows: the window table, classes, creation and destruction, geometry,
// activation and focus, update regions and window drawing contexts.
#include "platform/window.h"

#include <algorithm>
#include <cstring>

#include "platform/endpoint.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "platform/window_internal.h"

namespace pf {
namespace core {

State& St() {
  static State state;
  return state;
}

WindowRecord* Find(HWin h) {
  if (h == nullptr) return nullptr;
  auto& windows = St().windows;
  const auto it = windows.find(IdOf(h));
  return it == windows.end() ? nullptr : it->second.get();
}

WindowRecord* FindLocal(HWin h) {
  WindowRecord* r = Find(h);
  return (r != nullptr && !r->remote) ? r : nullptr;
}

namespace {

std::u16string LowerAscii(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return out;
}

template <typename T>
LParam PtrParam(T* p) {
  return reinterpret_cast<LParam>(p);
}

WParam HandleParam(HWin h) { return reinterpret_cast<WParam>(h); }

bool IsTopmostStyle(HWin h) {
  const WindowRecord* r = FindLocal(h);
  return r != nullptr && (r->exStyle & kExStyleTopmost) != 0;
}

bool IsTopLevelRecord(const WindowRecord& r) { return (r.style & kStyleChild) == 0; }

// True when `w` is owned by `owner`, directly or through other owned windows.
bool OwnedBy(HWin w, HWin owner) {
  const WindowRecord* r = FindLocal(w);
  int guard = 0;
  while (r != nullptr && r->owner != nullptr && guard++ < 1000) {
    if (r->owner == owner) return true;
    r = FindLocal(r->owner);
  }
  return false;
}

// Raises a top-level window and the windows it owns (kept above it) to the
// top of their band (topmost windows above the others).
void Raise(HWin h) {
  auto& tl = St().topLevels;
  std::vector<HWin> group;
  for (HWin w : tl) {
    if (w != h && OwnedBy(w, h)) group.push_back(w);
  }
  group.push_back(h);
  tl.erase(std::remove_if(tl.begin(), tl.end(),
                          [&](HWin w) { return std::find(group.begin(), group.end(), w) != group.end(); }),
           tl.end());
  std::size_t at = 0;
  if (!IsTopmostStyle(h)) {
    while (at < tl.size() && IsTopmostStyle(tl[at])) ++at;
  }
  tl.insert(tl.begin() + static_cast<std::ptrdiff_t>(at), group.begin(), group.end());
  NoteScreenChange();
}

}  // namespace

HWin TopLevelOf(HWin h) {
  WindowRecord* r = FindLocal(h);
  int guard = 0;
  while (r != nullptr && (r->style & kStyleChild) != 0 && guard++ < 10000) {
    h = r->parent;
    r = FindLocal(h);
  }
  return r != nullptr ? h : nullptr;
}

bool Inside(HWin h, HWin container) {
  HWin w = h;
  int guard = 0;
  while (w != nullptr && guard++ < 10000) {
    if (w == container) return true;
    const WindowRecord* r = FindLocal(w);
    if (r == nullptr || (r->style & kStyleChild) == 0) return false;
    w = r->parent;
  }
  return false;
}

bool EnabledChain(HWin h) {
  int guard = 0;
  while (h != nullptr && guard++ < 10000) {
    const WindowRecord* r = FindLocal(h);
    if (r == nullptr) return false;
    if ((r->style & kStyleDisabled) != 0) return false;
    if ((r->style & kStyleChild) == 0) return true;
    h = r->parent;
  }
  return false;
}

HWin SetFocusInternal(HWin target) {
  State& s = St();
  const HWin old = s.focus;
  if (old == target) return old;
  s.focus = target;
  if (FindLocal(old) != nullptr) SendMessage(old, kMsgKillFocus, HandleParam(target), 0);
  if (target != nullptr && s.focus == target && FindLocal(target) != nullptr) {
    SendMessage(target, kMsgSetFocus, HandleParam(old), 0);
  }
  return old;
}

void InvalidateTaskBar() {
  const HWin bar = GetTaskBar();
  if (bar != nullptr) InvalidateRect(bar, nullptr, true);
}

namespace {

bool Activatable(HWin h, HWin except) {
  const WindowRecord* r = FindLocal(h);
  return r != nullptr && h != except && !r->taskBar && !r->destroying && IsTopLevelRecord(*r) &&
         (r->style & kStyleVisible) != 0 && (r->style & kStyleDisabled) == 0 && !OwnedBy(h, except);
}

// Activates another window after `leaving` is hidden or destroyed: its owner
// when that can be, else the topmost window that can.
void ActivateNext(HWin leaving) {
  State& s = St();
  if (s.active != leaving) return;
  const WindowRecord* r = FindLocal(leaving);
  HWin next = nullptr;
  if (r != nullptr && r->owner != nullptr && Activatable(r->owner, leaving)) next = r->owner;
  if (next == nullptr) {
    for (HWin w : s.topLevels) {
      if (Activatable(w, leaving)) {
        next = w;
        break;
      }
    }
  }
  if (next != nullptr) {
    Activate(next, false);
    return;
  }
  const HWin old = s.active;
  if (WindowRecord* o = FindLocal(old); o != nullptr && Inside(s.focus, old)) o->lastFocus = s.focus;
  s.active = nullptr;
  if (FindLocal(old) != nullptr) SendMessage(old, kMsgActivate, kActivateInactive, 0);
  if (s.active == nullptr) SetFocusInternal(nullptr);
  InvalidateTaskBar();
}

void UpdateDcs(WindowRecord& r) {
  const Rect client = ClientAreaOf(r);
  for (const DcRecord& d : r.dcs) {
    if (d.whole) {
      SetDcOrigin(d.dc, Point{0, 0});
      SetDcClip(d.dc, Rect{0, 0, r.rect.Width(), r.rect.Height()});
    } else {
      SetDcOrigin(d.dc, Point{client.left, client.top});
      SetDcClip(d.dc, client);
    }
  }
}

HDc MakeDc(HWin h, bool whole) {
  WindowRecord* r = FindLocal(h);
  if (r == nullptr || !r->surface) return nullptr;
  const Rect client = ClientAreaOf(*r);
  HDc dc = whole ? CreateSurfaceDc(r->surface.get(), Point{0, 0}, Rect{0, 0, r->rect.Width(), r->rect.Height()})
                 : CreateSurfaceDc(r->surface.get(), Point{client.left, client.top}, client);
  if (dc != nullptr) r->dcs.push_back(DcRecord{dc, whole});
  return dc;
}

bool DropDc(HWin h, HDc dc) {
  WindowRecord* r = FindLocal(h);
  if (r == nullptr || dc == nullptr) return false;
  const auto it = std::find_if(r->dcs.begin(), r->dcs.end(), [dc](const DcRecord& d) { return d.dc == dc; });
  if (it == r->dcs.end()) return false;
  r->dcs.erase(it);
  DeleteDc(dc);
  NoteScreenChange();
  return true;
}

// Create sends size before move; a move or resize sends move before size.
void SendSizeAndMove(HWin h, bool moved, bool sized, bool sizeFirst = false) {
  WindowRecord* r = FindLocal(h);
  if (r == nullptr) return;
  const Rect client = ClientAreaOf(*r);
  Point origin{r->rect.left + client.left, r->rect.top + client.top};
  const int cw = client.Width();
  const int ch = client.Height();
  if (sized && sizeFirst) SendMessage(h, kMsgSize, kSizeRestored, PackPoint(cw, ch));
  if (moved && FindLocal(h) != nullptr) SendMessage(h, kMsgMove, 0, PackPoint(origin.x, origin.y));
  if (sized && !sizeFirst && FindLocal(h) != nullptr) SendMessage(h, kMsgSize, kSizeRestored, PackPoint(cw, ch));
}

}  // namespace

Rect ClientAreaOf(const WindowRecord& w) {
  Rect r{0, 0, w.rect.Width(), w.rect.Height()};
  auto inset = [&r](int d) {
    r.left += d;
    r.top += d;
    r.right -= d;
    r.bottom -= d;
  };
  const bool caption = (w.style & kStyleCaption) == kStyleCaption;
  if ((w.style & kStyleDialogFrame) != 0) {
    inset(GetSystemMetrics(kMetricDialogFrameWidth));
  } else if ((w.style & kStyleBorder) != 0) {
    inset(GetSystemMetrics(kMetricBorderWidth));
  }
  if ((w.exStyle & kExStyleWindowEdge) != 0) inset(GetSystemMetrics(kMetricEdgeWidth));
  if ((w.exStyle & kExStyleClientEdge) != 0) inset(GetSystemMetrics(kMetricEdgeWidth));
  if (caption) r.top += GetSystemMetrics(kMetricCaptionHeight);
  if ((w.style & kStyleVScroll) != 0) r.right -= GetSystemMetrics(kMetricVScrollWidth);
  if ((w.style & kStyleHScroll) != 0) r.bottom -= GetSystemMetrics(kMetricHScrollHeight);
  r.left = std::clamp(r.left, 0, std::max(0, w.rect.Width()));
  r.top = std::clamp(r.top, 0, std::max(0, w.rect.Height()));
  r.right = std::max(r.left, std::min(r.right, w.rect.Width()));
  r.bottom = std::max(r.top, std::min(r.bottom, w.rect.Height()));
  return r;
}

Rect ScreenRectOf(const WindowRecord& w) {
  Rect r = w.rect;
  if ((w.style & kStyleChild) != 0) {
    if (const WindowRecord* p = FindLocal(w.parent)) {
      const Point o = ClientOriginOnScreen(*p);
      r.left += o.x;
      r.right += o.x;
      r.top += o.y;
      r.bottom += o.y;
    }
  }
  return r;
}

Point ClientOriginOnScreen(const WindowRecord& w) {
  const Rect s = ScreenRectOf(w);
  const Rect c = ClientAreaOf(w);
  return Point{s.left + c.left, s.top + c.top};
}

bool Showing(const WindowRecord& w) {
  const WindowRecord* r = &w;
  int guard = 0;
  while (r != nullptr && guard++ < 10000) {
    if ((r->style & kStyleVisible) == 0) return false;
    if ((r->style & kStyleChild) == 0) return true;
    r = FindLocal(r->parent);
  }
  return false;
}

HWin ProxyFor(std::uint64_t remoteId) {
  if (remoteId == 0) return nullptr;
  State& s = St();
  for (const auto& [id, r] : s.windows) {
    if (r->remote && r->remoteId == remoteId) return HandleOf(id);
  }
  auto rec = std::make_unique<WindowRecord>();
  rec->id = s.nextId++;
  rec->remote = true;
  rec->remoteId = remoteId;
  const HWin h = HandleOf(rec->id);
  s.windows.emplace(rec->id, std::move(rec));
  return h;
}

HWin Activate(HWin top, bool click) {
  State& s = St();
  WindowRecord* r = FindLocal(top);
  if (r == nullptr || r->taskBar || r->destroying || !IsTopLevelRecord(*r) || (r->style & kStyleVisible) == 0 ||
      (r->style & kStyleDisabled) != 0) {
    return nullptr;
  }
  const HWin old = s.active;
  Raise(top);
  if (old == top) return old;
  if (WindowRecord* o = FindLocal(old); o != nullptr && Inside(s.focus, old)) o->lastFocus = s.focus;
  s.active = top;
  InvalidateTaskBar();
  if (FindLocal(old) != nullptr) SendMessage(old, kMsgActivate, kActivateInactive, PtrParam(top));
  if (s.active == top && FindLocal(top) != nullptr) {
    SendMessage(top, kMsgActivate, click ? kActivateClick : kActivateActive, PtrParam(old));
  }
  if (s.active == top) {
    if (WindowRecord* t = FindLocal(top); t != nullptr && !Inside(s.focus, top)) {
      HWin target = top;
      if (t->lastFocus != nullptr && Inside(t->lastFocus, top) && EnabledChain(t->lastFocus)) target = t->lastFocus;
      SetFocusInternal(target);
    }
  }
  return old;
}

void ResetWindows() {
  State& s = St();
  // Destroy the local windows properly (they may hold drawing contexts and
  // their procedures expect a destroy message), topmost first.
  int guard = 0;
  while (!s.topLevels.empty() && guard++ < 100000) {
    const HWin h = s.topLevels.front();
    if (!DestroyWindow(h)) {
      s.topLevels.erase(s.topLevels.begin());
    }
  }
  for (auto& [id, r] : s.windows) {
    for (const DcRecord& d : r->dcs) DeleteDc(d.dc);
  }
  s.windows.clear();
  s.classes.clear();
  s.topLevels.clear();
  s.active = nullptr;
  s.focus = nullptr;
  s.capture = nullptr;
  s.captureNonClient = false;
  s.hooks = NonClientHooks{};
}

void PaintNonClient(HWin h) {
  WindowRecord* r = FindLocal(h);
  if (r == nullptr || !r->surface || r->surface->Empty()) return;
  const Rect client = ClientAreaOf(*r);
  if (client.left == 0 && client.top == 0 && client.right == r->rect.Width() && client.bottom == r->rect.Height()) {
    return;  // no non-client area
  }
  const HDc dc = MakeDc(h, true);
  if (dc == nullptr) return;
  if (St().hooks.paint != nullptr) {
    St().hooks.paint(h, dc);
  } else {
    PaintDefaultNonClient(h, dc);
  }
  DropDc(h, dc);
}

}  // namespace core

using namespace core;

// ---------------------------------------------------------------------------
// Classes

bool RegisterWindowClass(const WindowClass& windowClass) {
  if (windowClass.name.empty() || windowClass.procedure == nullptr) return false;
  auto& classes = St().classes;
  const std::u16string key = LowerAscii(windowClass.name);
  if (classes.count(key) != 0) return false;
  auto rec = std::make_unique<ClassRecord>();
  rec->style = windowClass.style;
  rec->procedure = windowClass.procedure;
  rec->instance = windowClass.instance;
  rec->icon = windowClass.icon;
  rec->background = windowClass.background;
  rec->name = std::u16string(windowClass.name);
  classes.emplace(key, std::move(rec));
  return true;
}

bool UnregisterWindowClass(std::u16string_view name) {
  auto& classes = St().classes;
  const auto it = classes.find(LowerAscii(name));
  if (it == classes.end() || it->second->windows > 0) return false;
  classes.erase(it);
  return true;
}

bool GetWindowClassInfo(std::u16string_view name, WindowClass* info) {
  auto& classes = St().classes;
  const auto it = classes.find(LowerAscii(name));
  if (it == classes.end() || info == nullptr) return false;
  const ClassRecord& c = *it->second;
  info->style = c.style;
  info->procedure = c.procedure;
  info->instance = c.instance;
  info->icon = c.icon;
  info->background = c.background;
  info->name = c.name;
  return true;
}

bool EnsureWindowClass(std::u16string_view name, WindowProc procedure) {
  WindowClass existing;
  if (GetWindowClassInfo(name, &existing)) return true;
  WindowClass wc;
  wc.procedure = procedure;
  wc.name = name;
  return RegisterWindowClass(wc);
}

// ---------------------------------------------------------------------------
// Creation and destruction

HWin CreateWindow(std::uint32_t exStyle, std::u16string_view className, std::u16string_view title,
                  std::uint32_t style, int x, int y, int width, int height, HWin parent, std::uintptr_t id,
                  HInstance instance, void* param) {
  State& s = St();
  if (!PlatformRunning()) return nullptr;
  const auto cit = s.classes.find(LowerAscii(className));
  if (cit == s.classes.end()) return nullptr;
  ClassRecord* cls = cit->second.get();
  const bool child = (style & kStyleChild) != 0;
  if (child && FindLocal(parent) == nullptr) return nullptr;
  if (!child && parent != nullptr && FindLocal(parent) == nullptr) return nullptr;

  Rect rect;
  if (child) {
    if (x == kUseDefault) x = y = 0;
    if (width == kUseDefault) width = height = 0;
  } else {
    const Rect area = DefaultWindowArea();
    if (x == kUseDefault) {
      x = area.left;
      y = area.top;
    }
    if (width == kUseDefault) {
      width = area.Width();
      height = area.Height();
    }
  }
  width = std::clamp(width, 0, kMaxSurfaceSide);
  height = std::clamp(height, 0, kMaxSurfaceSide);
  rect = Rect{x, y, x + width, y + height};

  auto rec = std::make_unique<WindowRecord>();
  rec->id = s.nextId++;
  rec->windowClass = cls;
  rec->procedure = cls->procedure;
  rec->style = style;
  rec->exStyle = exStyle;
  rec->controlId = id;
  rec->rect = rect;
  rec->title = std::u16string(title);
  rec->surface = std::make_unique<Surface>(width, height, 0xFFFFFF);
  rec->taskBar = LowerAscii(className) == u"hhtaskbar" && cls->builtIn;
  rec->erase = true;
  const HWin h = HandleOf(rec->id);
  if (child) {
    rec->parent = parent;
  } else {
    rec->owner = parent != nullptr ? TopLevelOf(parent) : nullptr;
  }
  {
    const Rect c = ClientAreaOf(*rec);
    rec->update.Add(Rect{0, 0, c.Width(), c.Height()});
  }
  cls->windows++;
  s.windows.emplace(rec->id, std::move(rec));
  if (child) {
    FindLocal(parent)->children.push_back(h);
  } else {
    // New top-level windows start at the top of their band.
    s.topLevels.push_back(h);
    Raise(h);
  }

  CreateInfo info;
  info.param = param;
  info.instance = instance;
  info.parent = parent;
  info.x = x;
  info.y = y;
  info.width = width;
  info.height = height;
  info.style = style;
  info.exStyle = exStyle;
  info.title = title;
  info.className = className;
  PaintNonClient(h);
  const LResult created = SendMessage(h, kMsgCreate, 0, PtrParam(&info));
  if (created == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (FindLocal(h) == nullptr) return nullptr;
  SendSizeAndMove(h, true, true, true);
  WindowRecord* r = FindLocal(h);
  if (r == nullptr) return nullptr;
  NoteScreenChange();
  if ((r->style & kStyleVisible) != 0) {
    SendMessage(h, kMsgShowWindow, 1, 0);
    r = FindLocal(h);
    if (r == nullptr) return nullptr;
    if (!child && !r->taskBar && (r->style & kStyleDisabled) == 0) Activate(h, false);
  }
  if (FindLocal(h) == nullptr) return nullptr;
  if (!child && !FindLocal(h)->taskBar) OnTopLevelCreated();
  return h;
}

bool DestroyWindow(HWin window) {
  State& s = St();
  WindowRecord* r = FindLocal(window);
  if (r == nullptr || r->destroying) return false;
  r->destroying = true;
  const bool topLevel = IsTopLevelRecord(*r);

  // Owned windows go first.
  if (topLevel) {
    std::vector<HWin> owned;
    for (HWin w : s.topLevels) {
      const WindowRecord* o = FindLocal(w);
      if (o != nullptr && o->owner == window) owned.push_back(w);
    }
    for (HWin w : owned) DestroyWindow(w);
  }

  if (FindLocal(window) == nullptr) return true;
  // Hide and give up capture, activation and focus.
  FindLocal(window)->style &= ~kStyleVisible;
  NoteScreenChange();
  if (Inside(s.capture, window)) {
    s.capture = nullptr;
    s.captureNonClient = false;
  }
  if (topLevel && s.active == window) ActivateNext(window);
  if (Inside(s.focus, window)) SetFocusInternal(nullptr);

  if (FindLocal(window) != nullptr) SendMessage(window, kMsgDestroy, 0, 0);

  // Then the children, in creation order.
  if (WindowRecord* again = FindLocal(window)) {
    const std::vector<HWin> children = again->children;
    for (HWin c : children) DestroyWindow(c);
  }

  r = FindLocal(window);
  if (r == nullptr) return true;
  if (r->parent != nullptr) {
    if (WindowRecord* p = FindLocal(r->parent)) {
      auto& ch = p->children;
      ch.erase(std::remove(ch.begin(), ch.end(), window), ch.end());
    }
  }
  s.topLevels.erase(std::remove(s.topLevels.begin(), s.topLevels.end(), window), s.topLevels.end());
  if (s.active == window) s.active = nullptr;
  if (s.focus == window) s.focus = nullptr;
  if (s.capture == window) s.capture = nullptr;
  for (const DcRecord& d : r->dcs) DeleteDc(d.dc);
  r->dcs.clear();
  if (r->windowClass != nullptr) r->windowClass->windows--;
  s.windows.erase(IdOf(window));
  NoteScreenChange();
  return true;
}

bool IsWindow(HWin window) { return Find(window) != nullptr; }

// ---------------------------------------------------------------------------
// Relations

HWin GetParent(HWin window) {
  const WindowRecord* r = Find(window);
  if (r == nullptr) return nullptr;
  if (r->remote) return RemoteParent(window);
  return (r->style & kStyleChild) != 0 ? r->parent : r->owner;
}

HWin GetTopLevelWindow(HWin window) {
  const WindowRecord* r = Find(window);
  if (r == nullptr) return nullptr;
  if (r->remote) return window;
  return TopLevelOf(window);
}

bool IsChild(HWin parent, HWin window) {
  if (parent == nullptr || parent == window || FindLocal(window) == nullptr) return false;
  return Inside(window, parent);
}

std::vector<HWin> GetChildren(HWin parent) {
  const WindowRecord* r = FindLocal(parent);
  return r != nullptr ? r->children : std::vector<HWin>{};
}

std::vector<HWin> GetTopLevelWindows() { return St().topLevels; }

HWin FindChildById(HWin parent, int id) {
  const WindowRecord* r = FindLocal(parent);
  if (r == nullptr) return nullptr;
  for (HWin c : r->children) {
    const WindowRecord* cr = FindLocal(c);
    if (cr != nullptr && static_cast<int>(cr->controlId) == id) return c;
  }
  return nullptr;
}

int GetWindowId(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? static_cast<int>(r->controlId) : 0;
}

HWin FindLocalWindow(std::u16string_view className, std::u16string_view title) {
  const std::u16string key = LowerAscii(className);
  for (HWin h : St().topLevels) {
    const WindowRecord* r = FindLocal(h);
    if (r == nullptr || r->destroying || r->windowClass == nullptr) continue;
    if (LowerAscii(r->windowClass->name) == key && r->title == title) return h;
  }
  return nullptr;
}

HWin FindWindow(std::u16string_view className, std::u16string_view title) {
  if (HWin h = FindLocalWindow(className, title)) return h;
  return RemoteFindWindow(className, title);
}

std::u16string GetClassName(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return (r != nullptr && r->windowClass != nullptr) ? r->windowClass->name : std::u16string{};
}

// ---------------------------------------------------------------------------
// Activation and focus

HWin GetActiveWindow() { return St().active; }

HWin SetActiveWindow(HWin window) { return Activate(TopLevelOf(window), false); }

HWin GetForegroundWindow() {
  if (St().active != nullptr) return St().active;
  return RemoteForegroundWindow();
}

bool SetForegroundWindow(HWin window) {
  const WindowRecord* r = Find(window);
  if (r == nullptr) return false;
  if (r->remote) return RemoteSetForeground(window);
  const HWin top = TopLevelOf(window);
  if (St().active == top) {
    Raise(top);
    return true;
  }
  Activate(top, false);
  return St().active == top;
}

bool BringWindowToTop(HWin window) {
  const HWin top = TopLevelOf(window);
  if (top == nullptr) return false;
  Raise(top);
  return true;
}

HWin SetFocus(HWin window) {
  State& s = St();
  if (window == nullptr) return SetFocusInternal(nullptr);
  if (FindLocal(window) == nullptr || !EnabledChain(window)) return nullptr;
  const HWin before = s.focus;
  const HWin top = TopLevelOf(window);
  if (s.active != top) {
    const WindowRecord* t = FindLocal(top);
    if (t == nullptr || t->taskBar) return nullptr;
    Activate(top, false);
  }
  if (FindLocal(window) == nullptr) return nullptr;
  SetFocusInternal(window);
  return before;
}

HWin GetFocus() { return St().focus; }

HWin SetCapture(HWin window) {
  State& s = St();
  const HWin old = s.capture;
  if (window != nullptr && FindLocal(window) == nullptr) return old;
  s.capture = window;
  s.captureNonClient = false;
  if (old != nullptr && old != window && FindLocal(old) != nullptr) {
    SendMessage(old, kMsgCaptureChanged, 0, PtrParam(window));
  }
  return old;
}

bool ReleaseCapture() {
  State& s = St();
  const HWin old = s.capture;
  s.capture = nullptr;
  s.captureNonClient = false;
  if (old != nullptr && FindLocal(old) != nullptr) SendMessage(old, kMsgCaptureChanged, 0, 0);
  return true;
}

HWin GetCapture() { return St().capture; }

// ---------------------------------------------------------------------------
// State

bool EnableWindow(HWin window, bool enable) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  const bool wasDisabled = (r->style & kStyleDisabled) != 0;
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    r->style &= ~kStyleDisabled;
  } else {
    r->style |= kStyleDisabled;
    State& s = St();
    if (Inside(s.focus, window)) SetFocusInternal(nullptr);
    if (Inside(s.capture, window)) {
      s.capture = nullptr;
      s.captureNonClient = false;
    }
  }
  if (FindLocal(window) != nullptr) SendMessage(window, kMsgEnable, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr && (r->style & kStyleDisabled) == 0;
}

bool ShowWindow(HWin window, int showMode) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  const bool wasVisible = (r->style & kStyleVisible) != 0;
  const bool show = showMode != kShowHide;
  const bool activate = show && showMode != kShowNoActivate && showMode != kShowNA;
  const bool topLevel = IsTopLevelRecord(*r);
  if (show != wasVisible) {
    SendMessage(window, kMsgShowWindow, show ? 1 : 0, 0);
    r = FindLocal(window);
    if (r == nullptr) return wasVisible;
    if (show) {
      r->style |= kStyleVisible;
    } else {
      r->style &= ~kStyleVisible;
    }
    NoteScreenChange();
    WindowPos pos{window, nullptr, r->rect.left, r->rect.top, r->rect.Width(), r->rect.Height(),
                  kPosNoMove | kPosNoSize | kPosNoZOrder | (show ? kPosShowWindow : kPosHideWindow) |
                      (activate ? 0u : kPosNoActivate)};
    SendMessage(window, kMsgWindowPosChanged, 0, PtrParam(&pos));
    if (FindLocal(window) == nullptr) return wasVisible;
    if (!show) {
      State& s = St();
      if (Inside(s.capture, window)) {
        s.capture = nullptr;
        s.captureNonClient = false;
      }
      if (topLevel && s.active == window) ActivateNext(window);
      if (Inside(s.focus, window)) SetFocusInternal(nullptr);
    }
  }
  if (show && activate && topLevel && FindLocal(window) != nullptr) Activate(window, false);
  return wasVisible;
}

bool IsWindowVisible(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr && (r->style & kStyleVisible) != 0;
}

bool IsWindowShowing(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr && Showing(*r);
}

bool MoveWindow(HWin window, int x, int y, int width, int height, bool repaint) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  width = std::clamp(width, 0, kMaxSurfaceSide);
  height = std::clamp(height, 0, kMaxSurfaceSide);
  const Rect old = r->rect;
  const Rect now{x, y, x + width, y + height};
  const bool moved = old.left != now.left || old.top != now.top;
  const bool sized = old.Width() != now.Width() || old.Height() != now.Height();
  r->rect = now;
  if (sized) {
    r->surface->Resize(width, height, 0xFFFFFF);
    UpdateDcs(*r);
    const Rect c = ClientAreaOf(*r);
    r->update.Clear();
    r->update.Add(Rect{0, 0, c.Width(), c.Height()});
    r->erase = true;
    PaintNonClient(window);
  } else if (repaint) {
    InvalidateRect(window, nullptr, true);
  }
  NoteScreenChange();
  WindowPos pos{window, nullptr, x, y, width, height,
                kPosNoZOrder | kPosNoActivate | (moved ? 0u : kPosNoMove) | (sized ? 0u : kPosNoSize) |
                    (repaint ? 0u : kPosNoRedraw)};
  SendMessage(window, kMsgWindowPosChanged, 0, PtrParam(&pos));
  SendSizeAndMove(window, moved, sized);
  return true;
}

bool GetWindowRect(HWin window, Rect* rect) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || rect == nullptr) return false;
  *rect = ScreenRectOf(*r);
  return true;
}

bool GetClientRect(HWin window, Rect* rect) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || rect == nullptr) return false;
  const Rect c = ClientAreaOf(*r);
  *rect = Rect{0, 0, c.Width(), c.Height()};
  return true;
}

bool GetClientArea(HWin window, Rect* rect) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || rect == nullptr) return false;
  *rect = ClientAreaOf(*r);
  return true;
}

bool ClientToScreen(HWin window, Point* point) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || point == nullptr) return false;
  const Point o = ClientOriginOnScreen(*r);
  point->x += o.x;
  point->y += o.y;
  return true;
}

bool ScreenToClient(HWin window, Point* point) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || point == nullptr) return false;
  const Point o = ClientOriginOnScreen(*r);
  point->x -= o.x;
  point->y -= o.y;
  return true;
}

std::uint32_t GetWindowStyle(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? r->style : 0;
}

namespace {

void FrameChanged(HWin window, const Rect& oldClient) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return;
  const Rect c = ClientAreaOf(*r);
  if (c.left == oldClient.left && c.top == oldClient.top && c.right == oldClient.right &&
      c.bottom == oldClient.bottom) {
    PaintNonClient(window);
    return;
  }
  UpdateDcs(*r);
  r->update.Clear();
  r->update.Add(Rect{0, 0, c.Width(), c.Height()});
  r->erase = true;
  PaintNonClient(window);
  NoteScreenChange();
  SendSizeAndMove(window, false, oldClient.Width() != c.Width() || oldClient.Height() != c.Height());
}

}  // namespace

std::uint32_t SetWindowStyle(HWin window, std::uint32_t style) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return 0;
  const std::uint32_t old = r->style;
  const Rect oldClient = ClientAreaOf(*r);
  // The child bit decides where the window lives; it cannot change here.
  r->style = (style & ~kStyleChild) | (old & kStyleChild);
  FrameChanged(window, oldClient);
  return old;
}

std::uint32_t GetWindowExStyle(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? r->exStyle : 0;
}

std::uint32_t SetWindowExStyle(HWin window, std::uint32_t exStyle) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return 0;
  const std::uint32_t old = r->exStyle;
  const Rect oldClient = ClientAreaOf(*r);
  r->exStyle = exStyle;
  FrameChanged(window, oldClient);
  return old;
}

WindowProc GetWindowProcedure(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? r->procedure : nullptr;
}

WindowProc SetWindowProcedure(HWin window, WindowProc procedure) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr || procedure == nullptr) return nullptr;
  const WindowProc old = r->procedure;
  r->procedure = procedure;
  return old;
}

LParam GetWindowUserData(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? r->userData : 0;
}

LParam SetWindowUserData(HWin window, LParam value) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return 0;
  const LParam old = r->userData;
  r->userData = value;
  return old;
}

LParam GetWindowSlot(HWin window, int slot) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || slot < 0 || slot >= kWindowSlotCount) return 0;
  return r->slots[slot];
}

LParam SetWindowSlot(HWin window, int slot, LParam value) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr || slot < 0 || slot >= kWindowSlotCount) return 0;
  const LParam old = r->slots[slot];
  r->slots[slot] = value;
  return old;
}

bool SetWindowText(HWin window, std::u16string_view text) {
  if (FindLocal(window) == nullptr) return false;
  const std::u16string copy(text);  // zero-terminated for the message
  return SendMessage(window, kMsgSetText, 0, PtrParam(copy.c_str())) != 0;
}

std::u16string GetWindowText(HWin window) {
  const WindowRecord* r = Find(window);
  if (r == nullptr) return {};
  if (r->remote) return r->title;
  const LResult length = SendMessage(window, kMsgGetTextLength, 0, 0);
  if (length <= 0 || length > (1 << 24)) return {};
  std::u16string buffer(static_cast<std::size_t>(length) + 1, u'\0');
  const LResult got = SendMessage(window, kMsgGetText, buffer.size(), PtrParam(buffer.data()));
  const std::size_t n = std::min(static_cast<std::size_t>(std::max<LResult>(got, 0)), buffer.size() - 1);
  buffer.resize(n);
  return buffer;
}

// ---------------------------------------------------------------------------
// Scroll-bar state

int SetScrollInfo(HWin window, int bar, const ScrollInfo& info, bool redraw) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr || bar < kBarHorizontal || bar > kBarControl) return 0;
  ScrollInfo& s = r->bars[bar == kBarHorizontal ? 0 : 1];
  if ((info.mask & kScrollInfoRange) != 0) {
    s.min = info.min;
    s.max = std::max(info.min, info.max);
  }
  if ((info.mask & kScrollInfoPage) != 0) s.page = info.page;
  if ((info.mask & kScrollInfoPosition) != 0) s.position = info.position;
  if ((info.mask & kScrollInfoTrackPosition) != 0) s.trackPosition = info.trackPosition;
  const long long range = static_cast<long long>(s.max) - s.min + 1;
  if (s.page > range) s.page = static_cast<unsigned>(std::max(0LL, range));
  const long long top = static_cast<long long>(s.max) - std::max(0LL, static_cast<long long>(s.page) - 1);
  const int maxPos = static_cast<int>(std::max<long long>(s.min, top));
  s.position = std::clamp(s.position, s.min, maxPos);
  s.trackPosition = std::clamp(s.trackPosition, s.min, maxPos);
  const int position = s.position;
  if (redraw) {
    if (bar == kBarControl) {
      InvalidateRect(window, nullptr, true);
    } else {
      PaintNonClient(window);
      NoteScreenChange();
    }
  }
  return position;
}

bool GetScrollInfo(HWin window, int bar, ScrollInfo* info) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || info == nullptr || bar < kBarHorizontal || bar > kBarControl) return false;
  const ScrollInfo& s = r->bars[bar == kBarHorizontal ? 0 : 1];
  const std::uint32_t mask = info->mask;
  if ((mask & kScrollInfoRange) != 0) {
    info->min = s.min;
    info->max = s.max;
  }
  if ((mask & kScrollInfoPage) != 0) info->page = s.page;
  if ((mask & kScrollInfoPosition) != 0) info->position = s.position;
  if ((mask & kScrollInfoTrackPosition) != 0) info->trackPosition = s.trackPosition;
  return true;
}

// ---------------------------------------------------------------------------
// Update regions and painting

bool InvalidateRect(HWin window, const Rect* rect, bool erase) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  const Rect c = ClientAreaOf(*r);
  const Rect all{0, 0, c.Width(), c.Height()};
  const Rect add = rect != nullptr ? IntersectRects(*rect, all) : all;
  if (!add.Empty()) {
    r->update.Add(add);
    if (erase) r->erase = true;
  }
  return true;
}

bool InvalidateRegion(HWin window, const Region& region, bool erase) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  const Rect c = ClientAreaOf(*r);
  Region add = region;
  add.Intersect(Rect{0, 0, c.Width(), c.Height()});
  if (!add.Empty()) {
    r->update.Add(add);
    if (erase) r->erase = true;
  }
  return true;
}

bool ValidateRect(HWin window, const Rect* rect) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  r->updateTouches++;
  if (rect == nullptr) {
    r->update.Clear();
  } else {
    r->update.Subtract(*rect);
  }
  if (r->update.Empty()) r->erase = false;
  return true;
}

bool GetUpdateRect(HWin window, Rect* rect) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  if (rect != nullptr) *rect = r->update.Bounds();
  return !r->update.Empty();
}

Region GetUpdateRegion(HWin window) {
  const WindowRecord* r = FindLocal(window);
  return r != nullptr ? r->update : Region{};
}

bool UpdateWindow(HWin window) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr) return false;
  if (!r->update.Empty()) DispatchMessage(Msg{window, kMsgPaint, 0, 0});
  return true;
}

HDc BeginPaint(HWin window, PaintInfo* paint) {
  WindowRecord* r = FindLocal(window);
  if (r == nullptr) return nullptr;
  const Rect bounds = r->update.Bounds();
  const bool erase = r->erase;
  r->update.Clear();
  r->erase = false;
  r->updateTouches++;
  const HDc dc = MakeDc(window, false);
  if (dc == nullptr) return nullptr;
  r = FindLocal(window);
  const Rect c = ClientAreaOf(*r);
  const Rect clip = IntersectRects(Rect{bounds.left + c.left, bounds.top + c.top, bounds.right + c.left,
                                        bounds.bottom + c.top},
                                   c);
  SetDcClip(dc, clip);
  bool erased = true;
  if (erase && !bounds.Empty()) {
    erased = SendMessage(window, kMsgEraseBackground, reinterpret_cast<WParam>(dc), 0) != 0;
  }
  if (paint != nullptr) {
    paint->dc = dc;
    paint->erase = !erased;
    paint->area = bounds;
  }
  return dc;
}

bool EndPaint(HWin window, const PaintInfo* paint) {
  if (paint == nullptr) return false;
  return DropDc(window, paint->dc);
}

HDc GetDc(HWin window) {
  if (window == nullptr) return CreateSurfaceDc(DesktopSurface(), Point{0, 0}, DesktopSurface()->Bounds());
  return MakeDc(window, false);
}

HDc GetWindowDc(HWin window) { return MakeDc(window, true); }

bool ReleaseDc(HWin window, HDc dc) {
  if (window == nullptr) {
    NoteScreenChange();
    return DeleteDc(dc);
  }
  return DropDc(window, dc);
}

void SetNonClientHooks(const NonClientHooks& hooks) { St().hooks = hooks; }

void RedrawNonClient(HWin window) {
  PaintNonClient(window);
  NoteScreenChange();
}

Rect GetVScrollBarRect(HWin window) {
  const WindowRecord* r = FindLocal(window);
  if (r == nullptr || (r->style & kStyleVScroll) == 0) return Rect{};
  const Rect c = ClientAreaOf(*r);
  return Rect{c.right, c.top, c.right + GetSystemMetrics(kMetricVScrollWidth), c.bottom};
}

}  // namespace pf
