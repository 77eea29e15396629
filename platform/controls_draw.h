#pragma once
// Drawing helpers shared by the controls (scroll bar, menus, bars, tooltips):
// flat fills, frames, raised and sunken edges, arrow triangles and labels with
// an underlined mnemonic. Internal to the platform layer.

#include <string_view>

#include "platform/gdi.h"
#include "platform/handles.h"

namespace pf::controls {

// The controls' colours.
constexpr ColorRef kFaceColor = Rgb(0xC0, 0xC0, 0xC0);      // bars, buttons
constexpr ColorRef kLightColor = Rgb(0xFF, 0xFF, 0xFF);     // raised edge, top-left
constexpr ColorRef kShadowColor = Rgb(0x80, 0x80, 0x80);    // raised edge, bottom-right
constexpr ColorRef kDarkColor = Rgb(0x00, 0x00, 0x00);
constexpr ColorRef kTrackColor = Rgb(0xE0, 0xE0, 0xE0);     // scroll-bar track
constexpr ColorRef kMenuColor = Rgb(0xFF, 0xFF, 0xFF);      // pop-up background
constexpr ColorRef kHighlightColor = Rgb(0x00, 0x00, 0x80); // chosen item
constexpr ColorRef kHighlightTextColor = Rgb(0xFF, 0xFF, 0xFF);
constexpr ColorRef kGrayTextColor = Rgb(0x80, 0x80, 0x80);
constexpr ColorRef kToolTipColor = Rgb(0xFF, 0xFF, 0xE1);

void Fill(HDc dc, const Rect& r, ColorRef color);
// A one-pixel outline inside r.
void Frame(HDc dc, const Rect& r, ColorRef color);
// A raised (or, when `sunken`, pressed-in) edge inside r, one pixel wide.
void Edge(HDc dc, const Rect& r, bool sunken);

enum class ArrowDirection { Up, Down, Right };
// A solid triangle of `size` rows (Up/Down) or columns (Right), centred in r.
void Arrow(HDc dc, const Rect& r, ArrowDirection direction, int size, ColorRef color);
// A check mark centred in r.
void CheckMark(HDc dc, const Rect& r, ColorRef color);

// Draws `text` on one line in r (DrawTextLine flags, single line and no
// prefix implied) in the stock system font, transparent, and underlines the
// character at index `mnemonic` (-1: none).
void Label(HDc dc, std::u16string_view text, const Rect& r, unsigned flags, ColorRef color, int mnemonic = -1);
// The extent of `text` in the stock system font, and its cell height.
Size LabelExtent(std::u16string_view text);

}  // namespace pf::controls
