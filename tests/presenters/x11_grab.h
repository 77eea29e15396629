#pragma once
// Screenshots of an X display for the desktop presenter's smoke test. Kept
// apart from the tests because Xlib's macros (None, Bool, Status) clash with
// GoogleTest's names.

#include <cstdint>
#include <string>
#include <vector>

namespace presenter_test {

struct XGrab {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

class XConnection {
 public:
  // Connects to `display` (e.g. ":5"); Connected() tells whether it worked.
  explicit XConnection(const std::string& display);
  ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // The contents of the whole screen.
  bool GrabRoot(XGrab* out);
  // The contents of the viewable top-level window titled `title`; false when
  // there is none.
  bool GrabWindowTitled(const std::string& title, XGrab* out);
  // How many viewable top-level windows are titled `title`.
  int CountWindowsTitled(const std::string& title);
  // Asks the window titled `title` to close, as a window manager's close
  // button does (WM_DELETE_WINDOW). False when there is no such window.
  bool CloseWindowTitled(const std::string& title);

 private:
  void* display_ = nullptr;  // Display*
};

}  // namespace presenter_test
