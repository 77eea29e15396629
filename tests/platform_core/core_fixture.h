#pragma once
// Shared set-up for the platform core tests: a fresh window system per test,
// the test font, and a recording window procedure.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/handles.h"

namespace core_test {

struct Seen {
  pf::HWin window = nullptr;
  std::uint32_t message = 0;
  pf::WParam wParam = 0;
  pf::LParam lParam = 0;
};

// Every message the recording procedure received, in order.
std::vector<Seen>& Log();
// The log without the bookkeeping messages (hit tests, text queries, paint,
// erase, non-client stylus), for comparing with tables.
std::vector<Seen> Interesting(pf::HWin only = nullptr);
// Records, then hands the message to the default procedure.
pf::LResult RecordingProc(pf::HWin window, std::uint32_t message, pf::WParam wParam, pf::LParam lParam);

// Registers class "Rec" with RecordingProc (and "Plain" with the default
// procedure and a white background).
void RegisterTestClasses();

pf::HWin MakeTop(std::uint32_t style = pf::kStyleVisible, pf::Rect r = {0, 26, 240, 320},
                 std::u16string_view title = u"Top", pf::HWin owner = nullptr, std::uint32_t exStyle = 0);
pf::HWin MakeChild(pf::HWin parent, pf::Rect r, int id = 0, std::uint32_t style = pf::kStyleVisible);

// Hands out every message waiting (posted and paint) until none is left.
void Pump();

class Core : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace core_test
