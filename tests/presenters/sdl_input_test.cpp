// The desktop window's input translation, fed with made-up SDL events (no
// display needed): stylus scaling and clamping, keys, and text without
// doubled characters.
#include "platform/presenter_sdl/sdl_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace pf {
namespace {

struct Received {
  std::uint32_t message;
  WParam wParam;
  LParam lParam;
};
std::vector<Received> g_got;

LResult Record(HWin window, std::uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgLButtonDown:
    case kMsgLButtonUp:
    case kMsgMouseMove:
    case kMsgKeyDown:
    case kMsgKeyUp:
    case kMsgChar:
    case kMsgClose:
      g_got.push_back({message, wParam, lParam});
      return 0;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}

constexpr LParam Point(int x, int y) { return static_cast<LParam>((y << 16) | x); }

SDL_Event Button(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e{};
  e.type = type;
  e.button.button = button;
  e.button.x = x;
  e.button.y = y;
  return e;
}
SDL_Event Motion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}
SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode code, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = code;
  e.key.keysym.mod = mod;
  return e;
}
SDL_Event Text(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  return e;
}

class SdlInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_got.clear();
    ASSERT_TRUE(StartPlatform());
    WindowClass wc;
    wc.procedure = Record;
    wc.name = u"Record";
    ASSERT_TRUE(RegisterWindowClass(wc));
    ASSERT_NE(CreateWindow(0, u"Record", u"Record", kStylePopup | kStyleVisible, kUseDefault,
                           kUseDefault, kUseDefault, kUseDefault, nullptr, 0, nullptr, nullptr),
              nullptr);
    Pump();
    g_got.clear();
  }
  void TearDown() override { StopPlatform(); }

  // Hands out what is queued, as the program's loop would.
  static void Pump() {
    Msg msg;
    while (PeekMessage(&msg, true)) {
      TranslateMessage(msg);
      DispatchMessage(msg);
    }
  }
  static void Feed(SdlInput& input, const SDL_Event& event) {
    if ((input.Handle(event) & SdlInput::kYield) != 0) Pump();
  }
  // The characters the window received.
  static std::u16string Typed() {
    std::u16string s;
    for (const Received& r : g_got) {
      if (r.message == kMsgChar) s += static_cast<char16_t>(r.wParam);
    }
    return s;
  }
  static std::vector<WParam> KeysDown() {
    std::vector<WParam> keys;
    for (const Received& r : g_got) {
      if (r.message == kMsgKeyDown) keys.push_back(r.wParam);
    }
    return keys;
  }
};

TEST(SdlKeys, MapToVirtualKeys) {
  struct Case {
    SDL_Keycode key;
    std::uint32_t vk;
  };
  const Case cases[] = {
      {SDLK_LEFT, kVkLeft},       {SDLK_RIGHT, kVkRight},   {SDLK_UP, kVkUp},
      {SDLK_DOWN, kVkDown},       {SDLK_PAGEUP, kVkPrior},  {SDLK_PAGEDOWN, kVkNext},
      {SDLK_HOME, kVkHome},       {SDLK_END, kVkEnd},       {SDLK_RETURN, kVkReturn},
      {SDLK_KP_ENTER, kVkReturn}, {SDLK_ESCAPE, kVkEscape}, {SDLK_BACKSPACE, kVkBack},
      {SDLK_TAB, kVkTab},         {SDLK_F1, kVkF1},         {SDLK_F3, kVkF3},
      {SDLK_a, kVkA},             {SDLK_z, kVkZ},           {SDLK_0, kVk0},
      {SDLK_9, kVk9},             {SDLK_SPACE, kVkSpace},   {SDLK_LSHIFT, kVkShift},
      {SDLK_RSHIFT, kVkShift},
      // Keys the handheld lacks, and a Hebrew layout's letter.
      {SDLK_CAPSLOCK, 0},         {SDLK_PRINTSCREEN, 0},    {0x05E9, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyForSdlKey(c.key), c.vk) << c.key;
}

TEST(SdlScale, LargestWholeFactorThatFits) {
  struct Case {
    int areaWidth, areaHeight, scale;
  };
  const Case cases[] = {
      {1920, 1050, 3}, {1920, 1280, 4}, {480, 640, 2}, {479, 640, 1},
      {100, 100, 1},   {0, 0, 1},       {10000, 10000, 16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitScale(240, 320, c.areaWidth, c.areaHeight), c.scale) << c.areaWidth << "x" << c.areaHeight;
  }
}

TEST_F(SdlInputTest, StylusIsScaledAndClampedToTheScreen) {
  SdlInput input(3, 240, 320);
  input.Handle(Button(SDL_MOUSEBUTTONDOWN, 30, 3 * 40 + 2));
  input.Handle(Motion(31, 3 * 40 + 2));  // same screen pixel: nothing sent
  input.Handle(Motion(-50, 5000));       // dragged outside the window
  input.Handle(Button(SDL_MOUSEBUTTONUP, 3 * 239 + 2, 3 * 50));
  input.Handle(Motion(60, 200));  // hovering: to the window under the pointer
  input.Handle(Button(SDL_MOUSEBUTTONDOWN, 30, 200, SDL_BUTTON_RIGHT));  // not the stylus
  Pump();
  ASSERT_EQ(g_got.size(), 4u);
  EXPECT_EQ(g_got[0].message, kMsgLButtonDown);
  EXPECT_EQ(g_got[0].lParam, Point(10, 40 - 26));
  EXPECT_EQ(g_got[1].message, kMsgMouseMove);  // to the capture: screen (0, 319)
  EXPECT_EQ(g_got[1].lParam, Point(0, 319 - 26));
  EXPECT_EQ(g_got[2].message, kMsgLButtonUp);
  EXPECT_EQ(g_got[2].lParam, Point(239, 50 - 26));
  EXPECT_EQ(g_got[3].message, kMsgMouseMove);
  EXPECT_EQ(g_got[3].lParam, Point(20, 66 - 26));
}

TEST_F(SdlInputTest, FocusLossLiftsThePressedStylus) {
  SdlInput input(1, 240, 320);
  input.Handle(Button(SDL_MOUSEBUTTONDOWN, 5, 40));
  SDL_Event lost{};
  lost.type = SDL_WINDOWEVENT;
  lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  input.Handle(lost);
  EXPECT_FALSE(input.StylusDown());
  input.Handle(Button(SDL_MOUSEBUTTONUP, 5, 40));  // the late up is dropped
  Pump();
  ASSERT_EQ(g_got.size(), 2u);
  EXPECT_EQ(g_got[1].message, kMsgLButtonUp);
  EXPECT_EQ(g_got[1].lParam, Point(5, 14));
}

TEST_F(SdlInputTest, TypingKeysGiveEachCharacterOnce) {
  // As the presenter does: a key that went down is handled by the program
  // before the next event goes in.
  SdlInput input(1, 240, 320);
  // "a", then Shift+"b": each key is followed by SDL's text for it.
  Feed(input, Key(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A));
  Feed(input, Text("a"));
  Feed(input, Key(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A));
  Feed(input, Key(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT));
  Feed(input, Key(SDL_KEYDOWN, SDLK_b, SDL_SCANCODE_B, KMOD_LSHIFT));
  Feed(input, Text("B"));
  Feed(input, Key(SDL_KEYUP, SDLK_b, SDL_SCANCODE_B, KMOD_LSHIFT));
  // Shift+"1" types "!": no digit key goes in.
  Feed(input, Key(SDL_KEYDOWN, SDLK_1, SDL_SCANCODE_1, KMOD_LSHIFT));
  Feed(input, Text("!"));
  Feed(input, Key(SDL_KEYUP, SDLK_1, SDL_SCANCODE_1, KMOD_LSHIFT));
  Feed(input, Key(SDL_KEYUP, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  // A Hebrew layout: the key has no virtual key, the letter comes as text.
  Feed(input, Key(SDL_KEYDOWN, 0x05E9, SDL_SCANCODE_A));
  Feed(input, Text("\xD7\xA9"));
  Feed(input, Key(SDL_KEYUP, 0x05E9, SDL_SCANCODE_A));
  // AltGr+"e" on a Latin layout types "€" and nothing else.
  Feed(input, Key(SDL_KEYDOWN, SDLK_e, SDL_SCANCODE_E, KMOD_MODE));
  Feed(input, Text("\xE2\x82\xAC"));
  // Space, and a character outside the basic plane (two units).
  Feed(input, Key(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE));
  Feed(input, Text(" "));
  Feed(input, Text("\xF0\x9F\x98\x80"));
  Pump();
  EXPECT_EQ(Typed(), u"aB!\u05E9\u20AC \U0001F600");
  EXPECT_EQ(KeysDown(), (std::vector<WParam>{kVkA, kVkShift, kVkA + 1, kVkSpace}));
}

TEST_F(SdlInputTest, NavigationKeysGoDownAndUp) {
  SdlInput input(1, 240, 320);
  input.Handle(Key(SDL_KEYDOWN, SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN));
  input.Handle(Key(SDL_KEYUP, SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN));
  input.Handle(Key(SDL_KEYUP, SDLK_F3, SDL_SCANCODE_F3));  // never went down: dropped
  input.Handle(Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN));
  Pump();
  ASSERT_EQ(g_got.size(), 4u);
  EXPECT_EQ(g_got[0].message, kMsgKeyDown);
  EXPECT_EQ(g_got[0].wParam, kVkNext);
  EXPECT_EQ(g_got[1].message, kMsgKeyUp);
  EXPECT_EQ(g_got[1].wParam, kVkNext);
  EXPECT_EQ(g_got[2].wParam, kVkReturn);
  EXPECT_EQ(g_got[3].message, kMsgChar);  // Return types a carriage return
  EXPECT_EQ(g_got[3].wParam, u'\r');
}

TEST_F(SdlInputTest, QuitClosesTheProgramAndExposureAsksForARedraw) {
  SdlInput input(1, 240, 320);
  SDL_Event exposed{};
  exposed.type = SDL_WINDOWEVENT;
  exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
  EXPECT_EQ(input.Handle(exposed), SdlInput::kRedraw);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(input.Handle(quit), 0u);
  Pump();
  ASSERT_EQ(g_got.size(), 1u);
  EXPECT_EQ(g_got[0].message, kMsgClose);
}

}  // namespace
}  // namespace pf
