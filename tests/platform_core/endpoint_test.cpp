// The endpoint between copies: the request decoder, the private directory,
// stale and live sockets, malformed traffic, and a real second process.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/endpoint.h"
#include "platform/message.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "tests/platform_core/core_fixture.h"

namespace core_test {
namespace {

using namespace pf;

std::vector<std::uint8_t> Bytes(const EndpointRequest& r) {
  std::vector<std::uint8_t> out(sizeof r);
  std::memcpy(out.data(), &r, sizeof r);
  return out;
}

EndpointRequest FindRequest(std::u16string_view cls, std::u16string_view title) {
  EndpointRequest r;
  r.op = static_cast<std::uint16_t>(EndpointOp::FindWindow);
  std::copy(cls.begin(), cls.end(), r.className);
  r.classLength = static_cast<std::uint16_t>(cls.size());
  std::copy(title.begin(), title.end(), r.title);
  r.titleLength = static_cast<std::uint16_t>(title.size());
  return r;
}

EndpointRequest SendRequest(std::uint64_t window, std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  EndpointRequest r;
  r.op = static_cast<std::uint16_t>(EndpointOp::SendMessage);
  r.window = window;
  r.message = message;
  r.wParam = wParam;
  r.lParam = lParam;
  return r;
}

TEST(EndpointDecoder, AcceptsOnlyWellFormedAllowedRequests) {
  struct Case {
    const char* what;
    std::function<void(EndpointRequest&)> change;
    bool ok;
  };
  const Case cases[] = {
      {"find", [](EndpointRequest&) {}, true},
      {"magic", [](EndpointRequest& r) { r.magic ^= 1; }, false},
      {"version", [](EndpointRequest& r) { r.version = 2; }, false},
      {"length", [](EndpointRequest& r) { r.length = 12; }, false},
      {"op 0", [](EndpointRequest& r) { r.op = 0; }, false},
      {"op 6", [](EndpointRequest& r) { r.op = 6; }, false},
      {"class too long", [](EndpointRequest& r) { r.classLength = 65; }, false},
      {"title too long", [](EndpointRequest& r) { r.titleLength = 0xFFFF; }, false},
      {"junk after the class", [](EndpointRequest& r) { r.className[20] = u'x'; }, false},
      {"junk after the title", [](EndpointRequest& r) { r.title[63] = u'x'; }, false},
      {"reserved", [](EndpointRequest& r) { r.reserved = 1; }, false},
      {"find with a window", [](EndpointRequest& r) { r.window = 5; }, false},
      {"find with a message", [](EndpointRequest& r) { r.message = kMsgClose; }, false},
      {"empty class", [](EndpointRequest& r) { r = FindRequest(u"", u"Corvella"); }, false},
      {"close request", [](EndpointRequest& r) { r = SendRequest(9, kMsgCloseRequest, 0, 0); }, true},
      {"command 108", [](EndpointRequest& r) { r = SendRequest(9, kMsgCommand, 108, 0); }, true},
      {"command with a control", [](EndpointRequest& r) { r = SendRequest(9, kMsgCommand, 108, 0x1234); }, false},
      {"set text (a pointer)", [](EndpointRequest& r) { r = SendRequest(9, kMsgSetText, 0, 0x1000); }, false},
      {"paint", [](EndpointRequest& r) { r = SendRequest(9, kMsgPaint, 0, 0); }, false},
      {"send to no window", [](EndpointRequest& r) { r = SendRequest(0, kMsgClose, 0, 0); }, false},
      {"foreground with names",
       [](EndpointRequest& r) {
         r.op = static_cast<std::uint16_t>(EndpointOp::Foreground);
       },
       false},
      {"foreground",
       [](EndpointRequest& r) {
         r = EndpointRequest{};
         r.op = static_cast<std::uint16_t>(EndpointOp::Foreground);
       },
       true},
      {"parent of nothing",
       [](EndpointRequest& r) {
         r = EndpointRequest{};
         r.op = static_cast<std::uint16_t>(EndpointOp::Parent);
       },
       false},
  };
  for (const Case& c : cases) {
    EndpointRequest r = FindRequest(u"Corvella", u"Corvella");
    c.change(r);
    EndpointRequest out;
    EXPECT_EQ(DecodeEndpointRequest(Bytes(r), &out), c.ok) << c.what;
  }
  const auto good = Bytes(FindRequest(u"Corvella", u"Corvella"));
  EndpointRequest out;
  EXPECT_FALSE(DecodeEndpointRequest(std::span(good).first(good.size() - 1), &out)) << "short";
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(DecodeEndpointRequest(longer, &out)) << "long";
  EXPECT_FALSE(DecodeEndpointRequest({}, &out));
}

// A private XDG_RUNTIME_DIR for one test, restored afterwards.
class Runtime {
 public:
  Runtime() {
    char pattern[] = "/tmp/corvella-core-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    dir_ = made != nullptr ? made : "";
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  ~Runtime() {
    if (hadOld_) {
      setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    const std::string command = "rm -rf '" + dir_ + "'";
    if (!dir_.empty()) (void)std::system(command.c_str());
  }
  const std::string& Dir() const { return dir_; }
  std::string Socket() const { return dir_ + "/corvella/instance.sock"; }

 private:
  std::string dir_;
  std::string old_;
  bool hadOld_ = false;
};

struct Peer {
  pid_t pid = -1;
  int out = -1;
  std::string pending;

  ~Peer() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out >= 0) close(out);
  }

  bool Start(const char* mode) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid = fork();
    if (pid == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      execl(CORE_PEER_PROGRAM, CORE_PEER_PROGRAM, mode, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    out = fds[0];
    return pid > 0;
  }

  // The next line that equals `want` (other lines are skipped); false after
  // 10 seconds or at the end of the output.
  bool WaitFor(const std::string& want) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      const auto nl = pending.find('\n');
      if (nl != std::string::npos) {
        const std::string line = pending.substr(0, nl);
        pending.erase(0, nl + 1);
        if (line == want) return true;
        continue;
      }
      pollfd p{out, POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      char buffer[256];
      const ssize_t n = read(out, buffer, sizeof buffer);
      if (n <= 0) return false;
      pending.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
  }

  // The exit code, or -1 when it does not end within 10 seconds.
  int Wait() {
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      const pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

  void Kill() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
};

class Endpoints : public Core {
 protected:
  void SetUp() override {
    Core::SetUp();
    SetEndpointEnabled(true);
  }
  void TearDown() override {
    Core::TearDown();
    SetEndpointEnabled(false);
  }
  Runtime runtime_;
};

TEST_F(Endpoints, ASecondProcessFindsTalksToAndClosesTheRunningCopy) {
  Peer peer;
  ASSERT_TRUE(peer.Start("serve"));
  ASSERT_TRUE(peer.WaitFor("ready"));
  const HWin found = FindWindow(u"Corvella", u"Corvella");
  ASSERT_NE(found, nullptr);
  EXPECT_TRUE(IsWindow(found));
  EXPECT_EQ(FindWindow(u"Corvella", u"Corvella"), found) << "one proxy per remote window";
  EXPECT_EQ(FindWindow(u"Corvella", u"Other"), nullptr);
  EXPECT_EQ(GetForegroundWindow(), found) << "its main window is in front";
  EXPECT_EQ(GetParent(found), nullptr);

  EXPECT_EQ(SendMessage(found, kMsgCommand, 108, 0), 55);
  EXPECT_TRUE(peer.WaitFor("command 108"));
  EXPECT_EQ(SendMessage(found, kMsgSetText, 0, 0), 0) << "not an allowed message";
  EXPECT_FALSE(PostMessage(found, kMsgCloseRequest, 0, 0)) << "only sending crosses";
  EXPECT_TRUE(SetForegroundWindow(found));

  SendMessage(found, kMsgCloseRequest, 0, 0);
  EXPECT_TRUE(peer.WaitFor("close request"));
  EXPECT_EQ(peer.Wait(), 7);
  struct stat st{};
  EXPECT_NE(lstat(runtime_.Socket().c_str(), &st), 0) << "the socket went with its process";
  EXPECT_EQ(FindWindow(u"Corvella", u"Corvella"), nullptr);
  EXPECT_EQ(SendMessage(found, kMsgCommand, 108, 0), 0) << "nobody answers now";
}

TEST_F(Endpoints, TheRunningCopysForegroundAndItsAncestor) {
  Peer peer;
  ASSERT_TRUE(peer.Start("dialog"));
  ASSERT_TRUE(peer.WaitFor("ready"));
  const HWin main = FindWindow(u"Corvella", u"Corvella");
  ASSERT_NE(main, nullptr);
  const HWin front = GetForegroundWindow();
  ASSERT_NE(front, nullptr);
  EXPECT_NE(front, main);
  EXPECT_EQ(GetParent(front), main) << "the owned window's parent is its owner";
  EXPECT_EQ(GetParent(main), nullptr);
  EXPECT_TRUE(SetForegroundWindow(main));
  EXPECT_TRUE(peer.WaitFor("activated"));
  EXPECT_EQ(GetForegroundWindow(), main);
  SendMessage(main, kMsgCloseRequest, 0, 0);
  EXPECT_TRUE(peer.WaitFor("close request"));
  EXPECT_EQ(peer.Wait(), 7);
}

TEST_F(Endpoints, AStaleSocketIsReplacedAndALiveOneLeftAlone) {
  {
    Peer peer;
    ASSERT_TRUE(peer.Start("serve"));
    ASSERT_TRUE(peer.WaitFor("ready"));
    // This copy makes a window too: the live socket stays the peer's.
    const HWin mine = MakeTop();
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(EndpointListening());
    EXPECT_NE(FindWindow(u"Corvella", u"Corvella"), nullptr);
    DestroyWindow(mine);
    peer.Kill();  // dies without removing its socket
  }
  struct stat st{};
  ASSERT_EQ(lstat(runtime_.Socket().c_str(), &st), 0);
  EXPECT_EQ(FindWindow(u"Corvella", u"Corvella"), nullptr) << "connection refused: nobody runs";
  const HWin mine = MakeTop();
  ASSERT_NE(mine, nullptr);
  EXPECT_TRUE(EndpointListening()) << "the dead copy's socket was replaced";
  struct stat dir{};
  ASSERT_EQ(stat((runtime_.Dir() + "/corvella").c_str(), &dir), 0);
  EXPECT_EQ(dir.st_mode & 0777, 0700u);
}

int ConnectRaw(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  timeval tv{2, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  return fd;
}

// Sends bytes, lets the endpoint serve, and returns what came back.
std::vector<std::uint8_t> Exchange(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const int fd = ConnectRaw(path);
  EXPECT_GE(fd, 0);
  if (fd < 0) return {};
  if (!bytes.empty()) {
    EXPECT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  shutdown(fd, SHUT_WR);
  EXPECT_EQ(ServeEndpoint(), 1);
  std::vector<std::uint8_t> reply(1024);
  ssize_t got = 0;
  for (;;) {
    const ssize_t n = recv(fd, reply.data() + got, reply.size() - static_cast<std::size_t>(got), 0);
    if (n <= 0) break;
    got += n;
  }
  close(fd);
  reply.resize(static_cast<std::size_t>(got));
  return reply;
}

TEST_F(Endpoints, MalformedTrafficIsDroppedAndServiceGoesOn) {
  static int closeRequests = 0;
  closeRequests = 0;
  WindowClass wc;
  wc.name = u"Corvella";
  wc.procedure = [](HWin h, std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kMsgCloseRequest) ++closeRequests;
    return DefaultWindowProc(h, m, wp, lp);
  };
  ASSERT_TRUE(RegisterWindowClass(wc));
  const HWin main = CreateWindow(0, u"Corvella", u"Corvella", kStyleVisible, kUseDefault, kUseDefault, kUseDefault,
                                 kUseDefault, nullptr, 0, nullptr, nullptr);
  ASSERT_TRUE(EndpointListening());
  const std::string path = runtime_.Socket();

  EXPECT_TRUE(Exchange(path, {}).empty()) << "nothing sent";
  EXPECT_TRUE(Exchange(path, {1, 2, 3, 4, 5}).empty()) << "too short";
  std::vector<std::uint8_t> noise(sizeof(EndpointRequest));
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<std::uint8_t>(i * 37 + 11);
  EXPECT_TRUE(Exchange(path, noise).empty()) << "right size, wrong content";
  EXPECT_TRUE(Exchange(path, Bytes(SendRequest(reinterpret_cast<std::uintptr_t>(main), kMsgSetText, 0, 0x1000)))
                  .empty())
      << "a message that would carry a pointer";
  EXPECT_EQ(closeRequests, 0);

  const auto reply = Exchange(path, Bytes(FindRequest(u"Corvella", u"Corvella")));
  ASSERT_EQ(reply.size(), sizeof(EndpointReply));
  EndpointReply r;
  std::memcpy(&r, reply.data(), sizeof r);
  EXPECT_EQ(r.status, 0u);
  EXPECT_EQ(r.window, reinterpret_cast<std::uintptr_t>(main));
  const auto sent = Exchange(path, Bytes(SendRequest(r.window, kMsgCloseRequest, 0, 0)));
  EXPECT_EQ(sent.size(), sizeof(EndpointReply));
  EXPECT_EQ(closeRequests, 1);
  const auto unknown = Exchange(path, Bytes(SendRequest(r.window + 1000, kMsgCloseRequest, 0, 0)));
  ASSERT_EQ(unknown.size(), sizeof(EndpointReply));
  std::memcpy(&r, unknown.data(), sizeof r);
  EXPECT_EQ(r.status, 1u) << "no such window";
  EXPECT_TRUE(IsWindow(main));
}

TEST_F(Endpoints, AnUnsafeDirectoryIsRefused) {
  const std::string dir = runtime_.Dir() + "/corvella";
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  EXPECT_EQ(EndpointPath(), "");
  EXPECT_FALSE(StartEndpoint());
  ASSERT_EQ(rmdir(dir.c_str()), 0);
  ASSERT_EQ(symlink("/tmp", dir.c_str()), 0);
  EXPECT_EQ(EndpointPath(), "") << "a symbolic link is not our directory";
  ASSERT_EQ(unlink(dir.c_str()), 0);
  EXPECT_EQ(EndpointPath(), runtime_.Socket());
}

TEST_F(Endpoints, FallsBackToAPrivateTmpDirectory) {
  unsetenv("XDG_RUNTIME_DIR");
  const std::string path = EndpointPath();
  EXPECT_EQ(path, "/tmp/corvella-" + std::to_string(getuid()) + "/instance.sock");
  setenv("XDG_RUNTIME_DIR", runtime_.Dir().c_str(), 1);
}

}  // namespace
}  // namespace core_test
