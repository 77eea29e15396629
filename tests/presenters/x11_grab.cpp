// Xlib screenshots: the root window, or one top-level window found by title.
#include "tests/presenters/x11_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace presenter_test {

namespace {

bool GrabDrawable(Display* display, Window window, XGrab* out) {
  XWindowAttributes attributes{};
  XSync(display, False);
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable) {
    return false;
  }
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), XAllPlanes(), ZPixmap);
  if (image == nullptr) return false;
  out->width = attributes.width;
  out->height = attributes.height;
  out->pixels.assign(static_cast<std::size_t>(out->width) * static_cast<std::size_t>(out->height), 0);
  for (int y = 0; y < out->height; ++y) {
    for (int x = 0; x < out->width; ++x) {
      out->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out->width) + static_cast<std::size_t>(x)] =
          static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
  }
  XDestroyImage(image);
  return true;
}

// Windows come and go while we look (the program's start-up makes and drops
// some): a request on one that is gone must fail, not end the test process
// as Xlib's default handler would.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

}  // namespace

XConnection::XConnection(const std::string& display) {
  XSetErrorHandler(IgnoreError);
  display_ = XOpenDisplay(display.c_str());
}

XConnection::~XConnection() {
  if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}

bool XConnection::GrabRoot(XGrab* out) {
  if (display_ == nullptr) return false;
  Display* display = static_cast<Display*>(display_);
  return GrabDrawable(display, XDefaultRootWindow(display), out);
}

namespace {

// The viewable top-level windows titled `title`.
std::vector<Window> WindowsTitled(Display* display, const std::string& title) {
  std::vector<Window> found;
  Window rootOut = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  XSync(display, False);
  if (XQueryTree(display, XDefaultRootWindow(display), &rootOut, &parent, &children, &count) == 0) {
    return found;
  }
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable) {
      continue;
    }
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
      if (title == name) found.push_back(children[i]);
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

bool XConnection::GrabWindowTitled(const std::string& title, XGrab* out) {
  if (display_ == nullptr) return false;
  Display* display = static_cast<Display*>(display_);
  const std::vector<Window> windows = WindowsTitled(display, title);
  return !windows.empty() && GrabDrawable(display, windows.front(), out);
}

int XConnection::CountWindowsTitled(const std::string& title) {
  if (display_ == nullptr) return 0;
  return static_cast<int>(WindowsTitled(static_cast<Display*>(display_), title).size());
}

bool XConnection::CloseWindowTitled(const std::string& title) {
  if (display_ == nullptr) return false;
  Display* display = static_cast<Display*>(display_);
  const std::vector<Window> windows = WindowsTitled(display, title);
  if (windows.empty()) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = windows.front();
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, windows.front(), False, NoEventMask, &event);
  XFlush(display);
  return true;
}

}  // namespace presenter_test
