// Linux entry: takes the platform's options off the arguments, starts the
// platform, calls the program's entry routine and returns its code. What is
// left of the arguments, joined by single spaces, is the program's command
// line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "platform/endpoint.h"
#include "platform/constants.h"
#include "platform/message.h"
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
    "\n"
    "Environment:\n"
    "  CORVELLA_REGISTRY   the settings file (default\n"
    "                      $XDG_CONFIG_HOME/corvella/registry.reg)\n"
    "  XDG_RUNTIME_DIR     where the running copy can be found\n";

struct Options {
  bool help = false;
  bool closeRunning = false;
  pf::PlatformVersion version;
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

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  pf::SetPlatformVersion(options.version);
  InstallProgramResources();
  // The program is found by, and finds, the copy running for this user.
  pf::SetEndpointEnabled(true);
  if (!pf::StartPlatform()) {
    std::fprintf(stderr, "corvella: the platform could not start\n");
    return 1;
  }
  int code = 0;
  if (options.closeRunning) {
    code = CloseRunningCopy();
  } else {
    const std::u16string commandLine = pf::Utf8ToUtf16(options.commandLine);
    code = CorvellaMain(nullptr, nullptr, commandLine.c_str(), pf::kShowNormal);
  }
  pf::StopPlatform();
  return code;
}
