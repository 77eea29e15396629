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

bool XConnection::GrabWindowTitled(const std::string& title, XGrab* out) {
  if (display_ == nullptr) return false;
  Display* display = static_cast<Display*>(display_);
  Window rootOut = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, XDefaultRootWindow(display), &rootOut, &parent, &children, &count) == 0) {
    return false;
  }
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
      if (title == name) found = children[i];
      XFree(name);
    }
  }
  if (children != nullptr) XFree(children);
  return found != 0 && GrabDrawable(display, found, out);
}

}  // namespace presenter_test
