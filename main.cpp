// Linux entry: takes the platform's options off the arguments, starts the
// platform, calls the program's entry routine and returns its code. What is
// left of the arguments, joined by single spaces, is the program's command
// line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "app/startup.h"
#include "platform/endpoint.h"
#include "platform/constants.h"
#include "platform/message.h"
#include "platform/presenter_headless/headless_presenter.h"
#include "platform/presenter_headless/script.h"
#include "platform/presenter_sdl/sdl_presenter.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/utf.h"
#include "platform/window.h"
#include "resources/resource_script.h"

namespace {

constexpr char kUsage[] =
    "usage: corvella [options] [/today]\n"
    "\n"
    "Shows the day's lesson of the course. \"/today\" opens today's lesson even\n"
    "when another one was chosen by hand.\n"
    "\n"
    "Options:\n"
    "  --help              show this text and exit\n"
    "  --os-version M.N    the platform version the program sees (default 4.20;\n"
    "                      newer than 4.20 puts the menu bar at the bottom)\n"
    "  --close-running     ask the copy running for this user to close, and exit\n"
    "                      (exit code 1 when none runs)\n"
    "  --headless          no window (the default when there is no display): the\n"
    "                      program runs until a script, --close-running, Ctrl-C\n"
    "                      or kill closes it\n"
    "  --script FILE       run the automation script FILE (implies --headless);\n"
    "                      a bad script stops before the program starts (exit\n"
    "                      code 2); after its last command the program keeps\n"
    "                      running unless the script ended with quit\n"
    "  --screen WxH        the handheld's screen in pixels, each side 64 to 2048\n"
    "                      (default 240x320)\n"
    "  --scale N           show each screen pixel as N x N window pixels, 1 to 16\n"
    "                      (default: the largest that fits the desktop; ignored\n"
    "                      without a window)\n"
    "\n"
    "Script commands, one a line, each run once the program is idle (blank lines\n"
    "and lines starting with # are skipped; X, Y are screen pixels):\n"
    "  tap X Y             the stylus touches and lifts\n"
    "  down X Y, up X Y    the stylus touches, the stylus lifts\n"
    "  key NAME            a key pressed and released: Left, Right, Up, Down,\n"
    "                      Prior, Next, Home, End, Return, Escape, Back, Tab,\n"
    "                      Space, F1 to F12, a letter or digit, or a code (0x25)\n"
    "  type TEXT           the rest of the line (UTF-8) typed as characters\n"
    "  screenshot F.png    write the screen as a PNG file\n"
    "  quit                close the program\n"
    "\n"
    "Environment:\n"
    "  CORVELLA_REGISTRY   the settings file (default\n"
    "                      $XDG_CONFIG_HOME/corvella/registry.reg)\n"
    "  XDG_RUNTIME_DIR     where the running copy can be found\n";

struct Options {
  bool help = false;
  bool closeRunning = false;
  pf::PlatformVersion version;
  bool headless = false;
  std::string scriptPath;  // empty: no script
  int screenWidth = 0;     // 0: the platform's default screen
  int screenHeight = 0;
  int scale = 0;  // 0: the largest that fits
  std::string commandLine;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "corvella: %s\n(see corvella --help)\n", message.c_str());
  std::exit(2);
}

pf::PlatformVersion ParseVersion(const std::string& text) {
  const auto dot = text.find('.');
  const auto digits = [](std::string_view s) {
    return !s.empty() && s.size() <= 4 && s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (dot == std::string::npos || !digits(std::string_view(text).substr(0, dot)) ||
      !digits(std::string_view(text).substr(dot + 1))) {
    Fail("--os-version wants a version like 4.20, not \"" + text + "\"");
  }
  return {std::atoi(text.substr(0, dot).c_str()), std::atoi(text.substr(dot + 1).c_str())};
}

// A whole number of 1 to `digits` decimal digits within min .. max, or -1.
int ParseBounded(std::string_view text, std::size_t digits, int min, int max) {
  if (text.empty() || text.size() > digits || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return -1;
  }
  const int value = std::atoi(std::string(text).c_str());
  return value >= min && value <= max ? value : -1;
}

void ParseScreen(const std::string& text, Options* options) {
  const auto x = text.find('x');
  const int width = x == std::string::npos ? -1 : ParseBounded(std::string_view(text).substr(0, x), 4, 64, 2048);
  const int height = x == std::string::npos ? -1 : ParseBounded(std::string_view(text).substr(x + 1), 4, 64, 2048);
  if (width < 0 || height < 0) {
    Fail("--screen wants a size like 240x320, each side 64 to 2048, not \"" + text + "\"");
  }
  options->screenWidth = width;
  options->screenHeight = height;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](const char* name) -> std::string {
      if (i + 1 >= argc) Fail(std::string(name) + " needs a value");
      return argv[++i];
    };
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--close-running") {
      options.closeRunning = true;
    } else if (arg == "--os-version") {
      options.version = ParseVersion(value("--os-version"));
    } else if (arg == "--headless") {
      options.headless = true;
    } else if (arg == "--script") {
      options.scriptPath = value("--script");
      if (options.scriptPath.empty()) Fail("--script needs a file name");
      options.headless = true;
    } else if (arg == "--screen") {
      ParseScreen(value("--screen"), &options);
    } else if (arg == "--scale") {
      const std::string text = value("--scale");
      options.scale = ParseBounded(text, 2, 1, 16);
      if (options.scale < 0) Fail("--scale wants a whole number from 1 to 16, not \"" + text + "\"");
    } else if (arg.rfind("--", 0) == 0) {
      Fail("unknown option " + arg);
    } else {
      if (!options.commandLine.empty()) options.commandLine += ' ';
      options.commandLine += arg;
    }
  }
  return options;
}

// Sends the close request to the copy running for this user.
int CloseRunningCopy() {
  pf::HWin running = pf::FindWindow(u"Corvella", u"Corvella");
  if (running == nullptr) {
    std::fprintf(stderr, "corvella: no running copy found\n");
    return 1;
  }
  pf::SendMessage(running, pf::kMsgCloseRequest, 0, 0);
  return 0;
}

// Whether a desktop session is there to open a window on.
bool DisplayConfigured() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// Runs the program with the desktop window when there is a display and no
// reason to stay headless, else with the headless presenter.
int RunProgram(const Options& options, pf::Script script) {
  pf::SdlPresenter desktop;
  bool windowed = false;
  if (!options.headless) {
    std::string why;
    if (!DisplayConfigured()) {
      why = "no display (DISPLAY and WAYLAND_DISPLAY are unset)";
    } else {
      pf::SdlPresenterOptions sdl;
      sdl.scale = options.scale;
      windowed = desktop.Start(sdl, &why);
    }
    if (!windowed) {
      std::fprintf(stderr, "corvella: %s; running without a window (end it with --close-running)\n",
                   why.c_str());
    }
  }
  pf::HeadlessPresenter headless(std::move(script));
  if (!windowed) {
    // Interrupted or terminated, the program closes the regular way (the
    // desktop window's SDL does the same for its own).
    pf::HeadlessPresenter::CloseOnTerminationSignals();
    headless.Install();
  }

  const std::u16string commandLine = pf::Utf8ToUtf16(options.commandLine);
  int code = CorvellaMain(nullptr, nullptr, commandLine.c_str(), pf::kShowNormal);
  if (headless.Failed()) code = 2;
  if (headless.ScriptPending()) {
    std::fprintf(stderr, "corvella: script %s: the program ended before line %d\n",
                 options.scriptPath.c_str(), headless.NextLine());
  }
  desktop.Stop();
  headless.Uninstall();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  pf::SetPlatformVersion(options.version);
  if (options.screenWidth > 0) pf::SetScreenSize(options.screenWidth, options.screenHeight);
  // The whole script is checked before anything starts.
  pf::Script script;
  if (!options.scriptPath.empty() && !options.closeRunning) {
    pf::ScriptError error;
    if (!pf::LoadScript(options.scriptPath, pf::ScreenWidth(), pf::ScreenHeight(), &script, &error)) {
      std::fprintf(stderr, "corvella: %s\n", pf::FormatScriptError(options.scriptPath, error).c_str());
      return 2;
    }
  }
  InstallProgramResources();
  // The program is found by, and finds, the copy running for this user.
  pf::SetEndpointEnabled(true);
  if (!pf::StartPlatform()) {
    std::fprintf(stderr, "corvella: the platform could not start\n");
    return 1;
  }
  if (pf::EndpointPath().empty()) {
    std::fprintf(stderr,
                 "corvella: no private place for the running copy's endpoint (XDG_RUNTIME_DIR too long, "
                 "not ours or open to others); another copy will not be found\n");
  }
  int code = 0;
  if (options.closeRunning) {
    code = CloseRunningCopy();
  } else {
    code = RunProgram(options, std::move(script));
  }
  pf::StopPlatform();
  return code;
}
