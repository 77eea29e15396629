#pragma once
// The automation script of the headless presenter: one command a line, parsed
// and checked as a whole before the program starts, so that a bad script never
// runs half-way.
//
// The language (a line is cut at '\n'; a '\r' before it is dropped):
//   tap X Y            stylus down at (X, Y), then up there
//   down X Y           stylus down
//   up X Y             stylus up
//   key NAME           key down, then key up, of one virtual key: Left, Right,
//                      Up, Down, Prior, Next, Home, End, Return, Escape, Back,
//                      Tab, Space, F1 .. F12 (names in any letter case), a
//                      single letter or digit, or a code 1 .. 254 written in
//                      decimal or as 0x25
//   type TEXT          the rest of the line after one blank, UTF-8, typed as
//                      characters (one per UTF-16 unit)
//   screenshot F.png   composes the screen and writes it as PNG to F.png
//                      (relative to the current directory)
//   quit               the platform's close of the program
// X and Y are screen pixels in decimal, 0 <= X < screen width, 0 <= Y < screen
// height. Arguments are separated by blanks (spaces or tabs). Blank lines and
// lines whose first non-blank character is '#' are ignored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pf {

enum class ScriptOp { Tap, Down, Up, Key, Type, Screenshot, Quit };

struct ScriptCommand {
  ScriptOp op = ScriptOp::Quit;
  int line = 0;                 // 1-based line in the script
  int x = 0;                    // tap, down, up
  int y = 0;
  std::uint32_t key = 0;        // key: the virtual-key code
  std::u16string text;          // type: never empty
  std::string path;             // screenshot
};

struct Script {
  std::string name;  // the file name, as given (for messages)
  std::vector<ScriptCommand> commands;
};

// Why a script was refused. `line` is 0 when the fault is the file as a whole
// (unreadable, too large).
struct ScriptError {
  int line = 0;
  std::string message;
};

// The largest script file accepted.
constexpr std::size_t kMaxScriptBytes = 1u << 20;

// Parses a whole script for a screen of screenWidth x screenHeight pixels.
// False at the first bad line, with `error` saying where and why; `script` is
// only filled on success.
bool ParseScript(std::string_view text, int screenWidth, int screenHeight, Script* script,
                 ScriptError* error);

// Reads and parses the script file at `path` (see ParseScript). An unreadable
// or oversized file is an error of line 0.
bool LoadScript(const std::string& path, int screenWidth, int screenHeight, Script* script,
                ScriptError* error);

// "script FILE:LINE: message", or "script FILE: message" for line 0.
std::string FormatScriptError(std::string_view name, const ScriptError& error);

// The virtual-key code of a key name of the script language, or 0 when the
// name means no key.
std::uint32_t ScriptKeyCode(std::string_view name);

}  // namespace pf
