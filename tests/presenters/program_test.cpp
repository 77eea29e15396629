// The real executable: headless runs driven by scripts, option errors, and a
// smoke test of the desktop window under Xvfb. Every run gets its own
// settings file and runtime directory in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/presenters/png_read.h"
#include "tests/presenters/x11_grab.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using presenter_test::Picture;
using presenter_test::ReadPng;

struct Result {
  int code = -1;  // exit code; -1 when it had to be killed
  std::string err;
};

class Child {
 public:
  // Starts `args` (argv[0] included) in `cwd` with `env` over the test's
  // own environment (an empty value unsets), standard error to `errPath`.
  Child(const std::vector<std::string>& args, const fs::path& cwd,
        const std::map<std::string, std::string>& env, const fs::path& errPath) {
    std::map<std::string, std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string kv = *e;
      const auto eq = kv.find('=');
      if (eq != std::string::npos) all[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    for (const auto& [k, v] : env) {
      if (v.empty()) {
        all.erase(k);
      } else {
        all[k] = v;
      }
    }
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : all) envStrings.push_back(k + "=" + v);
    pid_ = fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      std::vector<char*> envp;
      for (auto& s : envStrings) envp.push_back(s.data());
      envp.push_back(nullptr);
      prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive a test that crashed
      if (chdir(cwd.c_str()) != 0) _exit(126);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int out = open("/dev/null", O_WRONLY);
      if (err < 0 || out < 0) _exit(126);
      dup2(err, 2);
      dup2(out, 1);
      execve(argv[0], argv.data(), envp.data());
      _exit(127);
    }
  }
  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The exit code, or -1 after killing it when it outlives the timeout.
  int Wait(std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      int status = 0;
      const pid_t r = waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (std::chrono::steady_clock::now() > deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  void Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
  }
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Short: the endpoint's socket path under run/ must stay within the 108
    // bytes a Unix socket address holds.
    char pattern[] = "/tmp/cvp-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "run");
    chmod((dir_ / "run").c_str(), 0700);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::map<std::string, std::string> Env(const fs::path& base) const {
    return {{"CORVELLA_REGISTRY", (base / "registry.reg").string()},
            {"XDG_RUNTIME_DIR", (base / "run").string()},
            {"XDG_CONFIG_HOME", (base / "config").string()},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""}};
  }

  void WriteScript(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  Result Run(std::vector<std::string> args, std::map<std::string, std::string> extraEnv = {}) {
    args.insert(args.begin(), CORVELLA_EXE);
    auto env = Env(dir_);
    for (const auto& [k, v] : extraEnv) env[k] = v;
    Result result;
    {
      Child child(args, dir_, env, dir_ / "stderr.txt");
      result.code = child.Wait(std::chrono::seconds(60));
    }
    result.err = ReadFile(dir_ / "stderr.txt");
    return result;
  }

  fs::path dir_;
};

TEST_F(ProgramTest, HeadlessScriptTakesAScreenshotAndQuits) {
  WriteScript("s.txt", "# the whole screen\nscreenshot out.png\nquit\n");
  const Result r = Run({"--headless", "--script", "s.txt"});
  ASSERT_EQ(r.code, 0) << r.err;
  Picture picture;
  ASSERT_TRUE(ReadPng((dir_ / "out.png").string(), &picture));
  EXPECT_EQ(picture.width, 240);
  EXPECT_EQ(picture.height, 320);
  // Not one flat colour: the task bar and the main window are on it.
  std::map<std::uint32_t, int> colours;
  for (std::uint32_t p : picture.pixels) ++colours[p];
  EXPECT_GE(colours.size(), 3u);
}

TEST_F(ProgramTest, ScriptAloneRunsHeadlessOnTheChosenScreen) {
  WriteScript("s.txt", "screenshot wide.png\nquit\n");
  // A display that does not exist: --script must not even try it.
  const Result r = Run({"--screen", "320x240", "--script", "s.txt"}, {{"DISPLAY", ":4242"}});
  ASSERT_EQ(r.code, 0) << r.err;
  Picture picture;
  ASSERT_TRUE(ReadPng((dir_ / "wide.png").string(), &picture));
  EXPECT_EQ(picture.width, 320);
  EXPECT_EQ(picture.height, 240);
}

TEST_F(ProgramTest, BadScriptStopsBeforeTheProgramStarts) {
  WriteScript("s.txt", "screenshot out.png\n\ntap 240 10\nquit\n");
  const Result r = Run({"--script", "s.txt"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("corvella: script s.txt:3: tap: 240 10 is off the 240 x 320 screen\n"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "out.png"));
  EXPECT_FALSE(fs::exists(dir_ / "registry.reg"));

  const Result missing = Run({"--script", "nowhere.txt"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.err.find("corvella: script nowhere.txt: cannot read it"), std::string::npos)
      << missing.err;
}

TEST_F(ProgramTest, FailedScreenshotEndsTheProgramWithAnError) {
  WriteScript("s.txt", "screenshot missing-dir/out.png\nquit\n");
  const Result r = Run({"--headless", "--script", "s.txt"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("corvella: script s.txt:1: screenshot: "), std::string::npos) << r.err;
}

TEST_F(ProgramTest, BadPresenterOptionsExitWithCode2) {
  WriteScript("s.txt", "quit\n");
  const std::vector<std::vector<std::string>> cases = {
      {"--screen", "0x0"},     {"--screen", "240"},       {"--screen", "240x"},
      {"--screen", "x320"},    {"--screen", "-240x320"},  {"--screen", "240x320x1"},
      {"--screen", "63x320"},  {"--screen", "240x99999"}, {"--screen", "240 x 320"},
      {"--scale", "0"},        {"--scale", "17"},         {"--scale", "2.5"},
      {"--scale", ""},         {"--screen"},              {"--script"},
      {"--scale"},             {"--headles"},             {"--script=s.txt"},
  };
  for (const auto& args : cases) {
    const Result r = Run(args);
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(r.code, 2) << shown << r.err;
    EXPECT_EQ(r.err.rfind("corvella: ", 0), 0u) << shown << r.err;
  }
}

TEST_F(ProgramTest, HeadlessWithoutScriptClosesOnTerminationSignals) {
  for (const int signal : {SIGTERM, SIGINT}) {
    Child program({CORVELLA_EXE, "--headless"}, dir_, Env(dir_), dir_ / "stderr.txt");
    // Started once it listens for other copies.
    const fs::path socket = dir_ / "run" / "corvella" / "instance.sock";
    for (int i = 0; i < 600 && !fs::exists(socket) && program.Running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(fs::exists(socket)) << ReadFile(dir_ / "stderr.txt");
    program.Signal(signal);
    // Closed the regular way: exit code 0, not death by the signal.
    EXPECT_EQ(program.Wait(std::chrono::seconds(30)), 0) << signal << ReadFile(dir_ / "stderr.txt");
    EXPECT_FALSE(fs::exists(socket));
  }
}

TEST_F(ProgramTest, HelpDocumentsThePresenterOptions) {
  const fs::path out = dir_ / "help.txt";
  {
    // Standard output is what --help writes; catch it in a file.
    Child child({"/bin/sh", "-c", "exec \"$0\" --help > help.txt", CORVELLA_EXE}, dir_, Env(dir_),
                dir_ / "stderr.txt");
    ASSERT_EQ(child.Wait(std::chrono::seconds(30)), 0);
  }
  const std::string help = ReadFile(out);
  for (const char* option : {"--headless", "--script FILE", "--screen WxH", "--scale N"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

// ---------------------------------------------------------------------------
// The desktop window under Xvfb

// An X server of its own for one test: Xvfb picks a free display number.
class Xvfb {
 public:
  Xvfb() {
    const char* candidates[] = {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"};
    for (const char* c : candidates) {
      if (access(c, X_OK) == 0) path_ = c;
    }
    if (path_.empty()) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      execl(path_.c_str(), path_.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
            "-nolisten", "tcp", "-br", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~Xvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  Xvfb(const Xvfb&) = delete;
  Xvfb& operator=(const Xvfb&) = delete;

  bool Installed() const { return !path_.empty(); }
  const std::string& Display() const { return display_; }

 private:
  std::string path_;
  std::string display_;
  pid_t pid_ = -1;
};

class DesktopTest : public ProgramTest {
 protected:
  // The program's environment with the display of `xvfb`.
  std::map<std::string, std::string> DesktopEnv(const Xvfb& xvfb) {
    auto env = Env(dir_);
    env["DISPLAY"] = xvfb.Display();
    // SDL keeps a D-Bus connection whose library never frees its last buffer,
    // and the X and GL libraries it loads leave blocks whose stacks the
    // sanitizer runtime's fast unwinder loses, so they cannot be told apart
    // by a suppression. A sanitizer build's leak check would fail the
    // program's exit for them: it is off for the desktop window only (every
    // headless test still checks the program's own memory).
    const char* asan = std::getenv("ASAN_OPTIONS");
    env["ASAN_OPTIONS"] = std::string(asan != nullptr ? asan : "") + (asan != nullptr && *asan ? ":" : "") +
                          "detect_leaks=0";
    return env;
  }

  static std::unique_ptr<presenter_test::XConnection> ConnectTo(const Xvfb& xvfb) {
    std::unique_ptr<presenter_test::XConnection> x;
    for (int i = 0; i < 100; ++i) {
      x = std::make_unique<presenter_test::XConnection>(xvfb.Display());
      if (x->Connected()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return x;
  }
};

TEST_F(DesktopTest, WindowUnderXvfbShowsTheScreenScaled) {
  Xvfb xvfb;
  if (!xvfb.Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
  ASSERT_FALSE(xvfb.Display().empty()) << "Xvfb did not start";

  // The same screen, headless, for comparison (its own settings and runtime).
  const fs::path other = dir_ / "headless";
  fs::create_directories(other / "run");
  chmod((other / "run").c_str(), 0700);
  std::ofstream(other / "s.txt") << "screenshot expected.png\nquit\n";
  {
    Child headless({CORVELLA_EXE, "--script", "s.txt"}, other, Env(other), other / "stderr.txt");
    ASSERT_EQ(headless.Wait(std::chrono::seconds(60)), 0) << ReadFile(other / "stderr.txt");
  }
  Picture expected;
  ASSERT_TRUE(ReadPng((other / "expected.png").string(), &expected));

  Child program({CORVELLA_EXE, "--scale", "2"}, dir_, DesktopEnv(xvfb), dir_ / "stderr.txt");
  const auto x = ConnectTo(xvfb);
  ASSERT_TRUE(x->Connected());

  // Wait until the window shows the program's screen: everything below the
  // task bar (whose clock may differ by a minute) matches the headless
  // picture, each screen pixel as a 2 x 2 block.
  presenter_test::XGrab shown;
  double matching = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline && program.Running()) {
    if (x->GrabWindowTitled("Corvella", &shown) && shown.width == 480 && shown.height == 640) {
      int same = 0;
      int total = 0;
      for (int y = 26; y < 320; ++y) {
        for (int px = 0; px < 240; ++px) {
          ++total;
          const std::uint32_t want = expected.At(px, y);
          same += (shown.At(2 * px, 2 * y) == want && shown.At(2 * px + 1, 2 * y) == want &&
                   shown.At(2 * px, 2 * y + 1) == want && shown.At(2 * px + 1, 2 * y + 1) == want)
                      ? 1
                      : 0;
        }
      }
      matching = static_cast<double>(same) / total;
      if (matching > 0.99) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  // The whole display, as a screenshot tool would take it: not blank.
  presenter_test::XGrab root;
  ASSERT_TRUE(x->GrabRoot(&root));
  bool rootBlank = true;
  for (std::uint32_t p : root.pixels) rootBlank = rootBlank && p == root.pixels.front();

  EXPECT_EQ(shown.width, 480);
  EXPECT_EQ(shown.height, 640);
  EXPECT_GT(matching, 0.99);
  EXPECT_FALSE(rootBlank);

  // Closed from outside, like a second copy would.
  {
    Child closer({CORVELLA_EXE, "--close-running"}, dir_, Env(dir_), dir_ / "close-stderr.txt");
    EXPECT_EQ(closer.Wait(std::chrono::seconds(30)), 0) << ReadFile(dir_ / "close-stderr.txt");
  }
  EXPECT_EQ(program.Wait(std::chrono::seconds(30)), 0) << ReadFile(dir_ / "stderr.txt");
}

TEST_F(DesktopTest, ClosingTheWindowClosesTheProgramAndASecondCopyShowsNone) {
  Xvfb xvfb;
  if (!xvfb.Installed()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
  ASSERT_FALSE(xvfb.Display().empty()) << "Xvfb did not start";
  // No --scale: the largest that fits 1024 x 768 is 2.
  Child program({CORVELLA_EXE}, dir_, DesktopEnv(xvfb), dir_ / "stderr.txt");
  const auto x = ConnectTo(xvfb);
  ASSERT_TRUE(x->Connected());
  presenter_test::XGrab shown;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline && program.Running() &&
         !x->GrabWindowTitled("Corvella", &shown)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(shown.width, 480);
  EXPECT_EQ(shown.height, 640);

  // A second copy finds the first, brings it forward and ends without ever
  // showing a window of its own.
  {
    Child second({CORVELLA_EXE}, dir_, DesktopEnv(xvfb), dir_ / "second-stderr.txt");
    EXPECT_EQ(second.Wait(std::chrono::seconds(30)), 0) << ReadFile(dir_ / "second-stderr.txt");
  }
  EXPECT_EQ(x->CountWindowsTitled("Corvella"), 1);

  ASSERT_TRUE(x->CloseWindowTitled("Corvella"));
  EXPECT_EQ(program.Wait(std::chrono::seconds(30)), 0) << ReadFile(dir_ / "stderr.txt");
}

}  // namespace
