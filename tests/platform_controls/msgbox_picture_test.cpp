// Message boxes drawn over the program: caption, text and buttons reach the
// screen (their frame is painted through the controls' non-client hook).
#include <string>

#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/window.h"
#include "tests/platform_controls/controls_fixture.h"

namespace controls_test {
namespace {

// Pixels that are neither white nor the light greys of faces and frames.
int InkPixels(const pf::Surface& s, pf::Rect r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const pf::Pixel p = s.At(x, y);
      if (((p >> 16) & 0xFF) < 0x90 && ((p >> 8) & 0xFF) < 0x90) ++n;
    }
  }
  return n;
}

TEST_F(Controls, MessageBoxShowsCaptionTextAndButtons) {
  const pf::HWin owner = MakeWindow(pf::kStyleVisible | pf::kStyleVScroll);
  pf::Rect frame;
  pf::Rect client;
  int captionInk = 0;
  int textInk = 0;
  int buttonInk = 0;
  Script({[&] {
    const pf::HWin box = pf::GetOpenMessageBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(pf::GetWindowRect(box, &frame));
    ASSERT_TRUE(pf::GetClientArea(box, &client));
    const pf::Surface& screen = Screen();
    SaveScreen("msgbox");
    // The caption band, the text line beside the icon, the button row.
    captionInk = InkPixels(screen, pf::Rect{frame.left + 4, frame.top + 2, frame.right - 4, frame.top + client.top - 1});
    const int top = frame.top + client.top;
    textInk = InkPixels(screen, pf::Rect{frame.left + client.left + 40, top + 8, frame.right - 8, top + 24});
    buttonInk = InkPixels(screen, pf::Rect{frame.left, frame.bottom - 40, frame.right, frame.bottom - 4});
    pf::InjectKeyDown(pf::kVkReturn);
  }});
  EXPECT_EQ(pf::MessageBox(owner, u"Resource not found", u"Error", pf::kBoxOk | pf::kBoxIconExclamation), pf::kIdOk);
  // The test font draws every letter as a box: "Error" leaves ink in the
  // caption, the text beside the icon, and "OK" with the button frame.
  EXPECT_GT(captionInk, 5 * 20);
  EXPECT_GT(textInk, 10 * 20);
  EXPECT_GT(buttonInk, 2 * 20);
}

}  // namespace
}  // namespace controls_test
