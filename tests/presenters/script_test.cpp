// The script language: every command with good arguments, and every kind of
// bad line with its message and line number.
#include "platform/presenter_headless/script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/constants.h"

namespace pf {
namespace {

TEST(Script, ParsesEveryCommandAndSkipsBlankAndCommentLines) {
  const std::string text =
      "# a comment\n"
      "\n"
      "tap 0 0\r\n"
      "  down\t239 319  \n"
      "up 5 6\n"
      "   # indented comment\n"
      "key Left\n"
      "key 0x25\n"
      "type hello world \n"
      "type \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D\n"
      "type \xF0\x9F\x98\x80\n"
      "screenshot out/shot.PNG\n"
      "quit";
  Script script;
  ScriptError error;
  ASSERT_TRUE(ParseScript(text, 240, 320, &script, &error)) << error.line << ": " << error.message;
  ASSERT_EQ(script.commands.size(), 10u);
  const auto& c = script.commands;
  EXPECT_EQ(c[0].op, ScriptOp::Tap);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[1].op, ScriptOp::Down);
  EXPECT_EQ(c[1].x, 239);
  EXPECT_EQ(c[1].y, 319);
  EXPECT_EQ(c[2].op, ScriptOp::Up);
  EXPECT_EQ(c[2].line, 5);
  EXPECT_EQ(c[3].key, kVkLeft);
  EXPECT_EQ(c[4].key, kVkLeft);
  EXPECT_EQ(c[5].op, ScriptOp::Type);
  EXPECT_EQ(c[5].text, u"hello world ");  // the rest of the line, blanks at the end kept
  EXPECT_EQ(c[6].text, u"\u05E9\u05DC\u05D5\u05DD");
  EXPECT_EQ(c[7].text, u"\U0001F600");  // two UTF-16 units
  EXPECT_EQ(c[7].text.size(), 2u);
  EXPECT_EQ(c[8].op, ScriptOp::Screenshot);
  EXPECT_EQ(c[8].path, "out/shot.PNG");
  EXPECT_EQ(c[9].op, ScriptOp::Quit);
  EXPECT_EQ(c[9].line, 13);
}

TEST(Script, EmptyScriptIsFine) {
  Script script;
  ScriptError error;
  EXPECT_TRUE(ParseScript("", 240, 320, &script, &error));
  EXPECT_TRUE(ParseScript("\n\n# nothing\n", 240, 320, &script, &error));
  EXPECT_TRUE(script.commands.empty());
}

TEST(Script, KeyNames) {
  struct Case {
    const char* name;
    std::uint32_t key;
  };
  const Case cases[] = {
      {"Left", kVkLeft},   {"right", kVkRight}, {"UP", kVkUp},          {"Down", kVkDown},
      {"Prior", kVkPrior}, {"Next", kVkNext},   {"Home", kVkHome},      {"End", kVkEnd},
      {"Return", kVkReturn}, {"Escape", kVkEscape}, {"Back", kVkBack},  {"Tab", kVkTab},
      {"Space", kVkSpace}, {"F1", kVkF1},       {"F3", kVkF3},          {"f12", kVkF12},
      {"a", kVkA},         {"Z", kVkZ},         {"0", kVk0},            {"9", kVk9},
      {"0x25", 0x25},      {"0XfE", 0xFE},      {"13", 13},             {"254", 254},
      // Not keys.
      {"F0", 0},           {"F13", 0},          {"F01", 0},             {"0x0", 0},
      {"255", 0},          {"0xFF", 0},         {"0x", 0},              {"0x1G", 0},
      {"-1", 0},           {"?", 0},            {"Enter", 0},           {"", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScriptKeyCode(c.name), c.key) << c.name;
  }
}

TEST(Script, BadLinesStopWithTheirLineAndReason) {
  struct Case {
    std::string_view text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"jump 1 2", 1, "unknown command \"jump\""},
      {"quit\nTAP 1 2", 2, "unknown command \"TAP\""},
      {"# ok\n\ntap 1", 3, "tap wants X Y, got 1 argument"},
      {"tap", 1, "tap wants X Y, got 0 arguments"},
      {"down 1 2 3", 1, "down wants X Y, got 3 arguments"},
      {"up x 2", 1, "up: bad X \"x\""},
      {"tap 1 -2", 1, "tap: bad Y \"-2\""},
      {"tap 1.5 2", 1, "tap: bad X \"1.5\""},
      {"tap 99999999999 2", 1, "tap: bad X \"99999999999\""},
      {"tap 240 0", 1, "tap: 240 0 is off the 240 x 320 screen"},
      {"tap 0 320", 1, "tap: 0 320 is off the 240 x 320 screen"},
      {"key", 1, "key wants a key name, got 0 arguments"},
      {"key Left Right", 1, "key wants a key name, got 2 arguments"},
      {"key Banana", 1, "key: unknown key \"Banana\""},
      {"key 0x100", 1, "key: unknown key \"0x100\""},
      {"type", 1, "type wants text"},
      {"type ", 1, "type wants text"},
      {"type \xFF\xFE", 1, "type: the text is not valid UTF-8"},
      {"screenshot", 1, "screenshot wants a file name, got 0 arguments"},
      {"screenshot a.png b.png", 1, "screenshot wants a file name, got 2 arguments"},
      {"screenshot shot.bmp", 1, "screenshot: the file name must end in .png, not \"shot.bmp\""},
      {"screenshot .png", 1, "screenshot: the file name must end in .png, not \".png\""},
      {"quit now", 1, "quit takes no arguments, got 1 argument"},
      {std::string_view("tap 1 1\nquit\0x", 14), 2, "the line holds a NUL byte"},
  };
  for (const Case& c : cases) {
    Script script;
    script.name = "untouched";
    ScriptError error;
    EXPECT_FALSE(ParseScript(c.text, 240, 320, &script, &error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_EQ(error.message, c.message) << c.text;
    EXPECT_TRUE(script.commands.empty());
  }
}

TEST(Script, CoordinatesFollowTheScreenSize) {
  Script script;
  ScriptError error;
  EXPECT_TRUE(ParseScript("tap 319 239", 320, 240, &script, &error));
  EXPECT_FALSE(ParseScript("tap 239 319", 320, 240, &script, &error));
  EXPECT_EQ(error.message, "tap: 239 319 is off the 320 x 240 screen");
}

class ScriptFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("corvella-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(ScriptFile, LoadsAndNamesTheFile) {
  const std::string path = Write("s.txt", "screenshot out.png\nquit\n");
  Script script;
  ScriptError error;
  ASSERT_TRUE(LoadScript(path, 240, 320, &script, &error)) << error.message;
  EXPECT_EQ(script.name, path);
  EXPECT_EQ(script.commands.size(), 2u);
}

TEST_F(ScriptFile, BadFilesAreErrorsOfTheWholeFile) {
  Script script;
  ScriptError error;
  EXPECT_FALSE(LoadScript((dir_ / "missing.txt").string(), 240, 320, &script, &error));
  EXPECT_EQ(error.line, 0);
  EXPECT_EQ(error.message, "cannot read it: No such file or directory");
  EXPECT_EQ(FormatScriptError("missing.txt", error),
            "script missing.txt: cannot read it: No such file or directory");

  EXPECT_FALSE(LoadScript(dir_.string(), 240, 320, &script, &error));  // a directory
  EXPECT_EQ(error.line, 0);

  const std::string big = Write("big.txt", std::string(kMaxScriptBytes + 1, '#'));
  EXPECT_FALSE(LoadScript(big, 240, 320, &script, &error));
  EXPECT_EQ(error.line, 0);
  EXPECT_NE(error.message.find("too large"), std::string::npos);

  const std::string bad = Write("bad.txt", "quit\n\nfly\n");
  EXPECT_FALSE(LoadScript(bad, 240, 320, &script, &error));
  EXPECT_EQ(FormatScriptError("bad.txt", error), "script bad.txt:3: unknown command \"fly\"");
}

}  // namespace
}  // namespace pf
