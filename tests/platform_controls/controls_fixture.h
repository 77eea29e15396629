#pragma once
// Shared set-up for the controls tests: a fresh window system with the test
// font, a recording window class, resource tables with menus, a menu-bar
// record and a picture strip, and scripted input fed while a modal loop
// (a tracked pop-up menu) waits.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/handles.h"
#include "platform/surface.h"

namespace controls_test {

struct Seen {
  pf::HWin window = nullptr;
  std::uint32_t message = 0;
  pf::WParam wParam = 0;
  pf::LParam lParam = 0;
};

// Every message of `message` kind the recording procedure received.
std::vector<Seen> Received(std::uint32_t message, pf::HWin only = nullptr);
void ClearLog();

// A top-level window of the recording class.
pf::HWin MakeWindow(std::uint32_t style = pf::kStyleVisible, pf::Rect r = {0, 26, 240, 320});

// Hands out every message waiting until none is left.
void Pump();

// Input run one step per idle call of the message loop (so inside modal
// loops too). When the script runs dry while a loop still waits, Escape is
// pressed (and the test fails), so a test can never hang.
void Script(std::vector<std::function<void()>> steps);
void Tap(int x, int y);  // down and up at once (one step)

// The screen as composed now.
const pf::Surface& Screen();
// A part of the screen as text, one character a pixel: '#' dark (each
// channel below 0x60), '.' white, 'o' anything else.
std::vector<std::string> Picture(pf::Rect r);
// Writes the screen as a PNG in the build folder for a person to look at.
void SaveScreen(const std::string& name);

// Resource numbers of the test tables.
constexpr unsigned kTestMenu = 102;
constexpr unsigned kDeepMenu = 103;     // nests deeper than allowed
constexpr unsigned kBarRecord = 102;    // good record
constexpr unsigned kShortRecord = 103;  // one byte short
constexpr unsigned kLongRecord = 104;   // one word too many
constexpr unsigned kNoMenuRecord = 105; // names a missing menu
constexpr unsigned kNoStringRecord = 106;
constexpr unsigned kBadPopupRecord = 107;
constexpr unsigned kZeroRecord = 108;   // zero buttons
constexpr unsigned kStrip = 114;        // 3 pictures of 16 x 16: red, green, blue
constexpr unsigned kGoString = 302;

class Controls : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace controls_test
