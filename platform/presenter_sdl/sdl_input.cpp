// SDL events to stylus, virtual keys and characters.
#include "platform/presenter_sdl/sdl_input.h"

#include <algorithm>
#include <string>

#include "platform/constants.h"
#include "platform/message.h"
#include "platform/utf.h"

namespace pf {

namespace {

bool IsTypingKey(std::uint32_t vk) {
  return (vk >= kVkA && vk <= kVkZ) || (vk >= kVk0 && vk <= kVk9) || vk == kVkSpace;
}

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

std::uint32_t VirtualKeyForSdlKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return kVkA + static_cast<std::uint32_t>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return kVk0 + static_cast<std::uint32_t>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return kVkF1 + static_cast<std::uint32_t>(key - SDLK_F1);
  switch (key) {
    case SDLK_LEFT: return kVkLeft;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_UP: return kVkUp;
    case SDLK_DOWN: return kVkDown;
    case SDLK_PAGEUP: return kVkPrior;
    case SDLK_PAGEDOWN: return kVkNext;
    case SDLK_HOME: return kVkHome;
    case SDLK_END: return kVkEnd;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kVkReturn;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_BACKSPACE: return kVkBack;
    case SDLK_TAB: return kVkTab;
    case SDLK_SPACE: return kVkSpace;
    case SDLK_INSERT: return kVkInsert;
    case SDLK_DELETE: return kVkDelete;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kVkShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return kVkControl;
    case SDLK_LALT:
    case SDLK_RALT: return kVkMenu;
    default: return 0;
  }
}

int FitScale(int screenWidth, int screenHeight, int areaWidth, int areaHeight) {
  if (screenWidth <= 0 || screenHeight <= 0) return 1;
  return std::clamp(std::min(areaWidth / screenWidth, areaHeight / screenHeight), 1, 16);
}

SdlInput::SdlInput(int scale, int screenWidth, int screenHeight)
    : scale_(std::max(scale, 1)), width_(std::max(screenWidth, 1)), height_(std::max(screenHeight, 1)) {}

void SdlInput::ToScreen(int windowX, int windowY, int* x, int* y) const {
  *x = std::clamp(windowX / scale_, 0, width_ - 1);
  *y = std::clamp(windowY / scale_, 0, height_ - 1);
}

unsigned SdlInput::Handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button != SDL_BUTTON_LEFT || stylusDown_) return 0;
      ToScreen(event.button.x, event.button.y, &lastX_, &lastY_);
      stylusDown_ = true;
      InjectStylusDown(lastX_, lastY_);
      return 0;
    case SDL_MOUSEMOTION: {
      // Moves without the button pressed hover: the window under the
      // pointer sees them (a bar shows the tooltip of the button there).
      int x = 0;
      int y = 0;
      ToScreen(event.motion.x, event.motion.y, &x, &y);
      if (x == lastX_ && y == lastY_) return 0;
      lastX_ = x;
      lastY_ = y;
      InjectStylusMove(x, y);
      return 0;
    }
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT || !stylusDown_) return 0;
      ToScreen(event.button.x, event.button.y, &lastX_, &lastY_);
      stylusDown_ = false;
      InjectStylusUp(lastX_, lastY_);
      return 0;
    case SDL_KEYDOWN: {
      expected_ = 0;
      const std::uint32_t vk = VirtualKeyForSdlKey(event.key.keysym.sym);
      if (vk == 0) return 0;
      const std::uint16_t mod = event.key.keysym.mod;
      if (IsTypingKey(vk)) {
        if ((mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI | KMOD_MODE)) != 0) return 0;
        if (vk >= kVk0 && vk <= kVk9 && (mod & KMOD_SHIFT) != 0) return 0;
        if (vk >= kVkA && vk <= kVkZ) {
          expected_ = static_cast<char16_t>(vk - kVkA + u'a');
        } else {
          expected_ = static_cast<char16_t>(vk);  // digits and space are their own character
        }
      }
      down_[event.key.keysym.scancode] = vk;
      InjectKeyDown(vk);
      return kYield;
    }
    case SDL_KEYUP: {
      const auto it = down_.find(event.key.keysym.scancode);
      if (it == down_.end()) return 0;
      const std::uint32_t vk = it->second;
      down_.erase(it);
      InjectKeyUp(vk);
      return 0;
    }
    case SDL_TEXTINPUT: {
      const std::u16string units = Utf8ToUtf16(event.text.text);
      const char16_t expected = expected_;
      expected_ = 0;
      if (expected != 0 && units.size() == 1 && FoldCase(units[0]) == expected) return 0;
      for (char16_t unit : units) InjectChar(unit);
      return 0;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
          // The button may come up outside our sight: lift the stylus now so
          // no window keeps the capture.
          if (stylusDown_) {
            stylusDown_ = false;
            InjectStylusUp(lastX_, lastY_);
          }
          return 0;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          return kRedraw;
        default:
          return 0;
      }
    case SDL_QUIT:
      // Closing the window (or an interrupt) is the platform's close of the
      // program; the program decides what happens.
      InjectClose();
      return 0;
    default:
      return 0;
  }
}

}  // namespace pf
