#pragma once
// Turns the desktop window's SDL events into the handheld's input: the left
// mouse button is the stylus, keys are virtual keys, typed text is characters.
//
// Typing. A key that types a character (letters, digits, space) goes in as a
// virtual key, and the program's TranslateMessage makes the character from
// it; SDL also reports the same character as text input, which is therefore
// dropped when it is that very character (letter case aside). Any other text
// (Hebrew letters from the desktop's layout, punctuation, shifted digits)
// goes in as characters, one per UTF-16 unit; for a digit with Shift, and for
// any typing key with Ctrl, Alt, AltGr or the logo key held, no virtual key is
// sent, so that the program sees only the character the layout typed.

#include <SDL.h>

#include <cstdint>
#include <unordered_map>

namespace pf {

// The virtual key for an SDL key code, or 0 for a key the handheld lacks.
std::uint32_t VirtualKeyForSdlKey(SDL_Keycode key);

// The largest whole scale at which a screen of screenWidth x screenHeight
// fits an area of areaWidth x areaHeight; at least 1, at most 16.
int FitScale(int screenWidth, int screenHeight, int areaWidth, int areaHeight);

class SdlInput {
 public:
  // `scale`: window pixels per screen pixel (>= 1); the screen's size, for
  // clamping the stylus to it.
  SdlInput(int scale, int screenWidth, int screenHeight);

  // What Handle asks of its caller (bits).
  static constexpr unsigned kRedraw = 1;  // draw the window again (exposed, shown)
  // A key went down: let the program handle it (and translate it into its
  // character) before feeding the next event, so characters keep the order
  // in which they were typed.
  static constexpr unsigned kYield = 2;

  // Feeds one event through the platform's Inject* calls.
  unsigned Handle(const SDL_Event& event);

  bool StylusDown() const { return stylusDown_; }

 private:
  void ToScreen(int windowX, int windowY, int* x, int* y) const;

  int scale_;
  int width_;
  int height_;
  bool stylusDown_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
  // The character the program will make from the last typing key sent (0:
  // none), to drop SDL's text input for it.
  char16_t expected_ = 0;
  // Virtual keys sent down, by SDL scan code, so the up goes out the same.
  std::unordered_map<int, std::uint32_t> down_;
};

}  // namespace pf
