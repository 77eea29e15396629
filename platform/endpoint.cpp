// The per-user endpoint between copies of the program (see endpoint.h).
#include "platform/endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/constants.h"
#include "platform/message.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace pf {
namespace {

using namespace core;

struct Endpoint {
  bool enabled = false;
  int fd = -1;
  std::string path;  // the socket this process made
  dev_t dev = 0;
  ino_t ino = 0;
};

Endpoint& Ep() {
  static Endpoint endpoint;
  return endpoint;
}

// Makes (or checks) a directory only this user can enter.
bool PrivateDirectory(const std::string& dir) {
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st{};
  if (lstat(dir.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) return false;
  return true;
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool PeerIsUs(int fd) {
  ucred cred{};
  socklen_t length = sizeof cred;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || length != sizeof cred) return false;
  return cred.uid == getuid();
}

void SetTimeouts(int fd, int ms) {
  timeval tv{};
  tv.tv_sec = ms / 1000;
  tv.tv_usec = (ms % 1000) * 1000;
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool ReadExactly(int fd, void* buffer, std::size_t size) {
  auto* p = static_cast<std::uint8_t*>(buffer);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = recv(fd, p + got, size - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* buffer, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::size_t sent = 0;
  while (sent < size) {
    const ssize_t n = send(fd, p + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Connects to the socket at `path`; -1 when nobody listens there.
int Connect(const std::string& path, int* error) {
  sockaddr_un address;
  if (!FillAddress(path, &address)) {
    *error = ENAMETOOLONG;
    return -1;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  SetTimeouts(fd, kEndpointTimeoutMs);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    *error = errno;
    close(fd);
    return -1;
  }
  *error = 0;
  return fd;
}

bool AllowedMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  (void)wParam;
  switch (message) {
    case kMsgNull:
    case kMsgClose:
    case kMsgCloseRequest:
      return true;
    case kMsgCommand:
      return lParam == 0;  // no control handle can cross
    default:
      return false;
  }
}

bool NameFits(std::u16string_view name) { return name.size() <= kEndpointNameMax; }

void PutName(std::u16string_view name, char16_t* out, std::uint16_t* length) {
  const std::size_t n = std::min(name.size(), kEndpointNameMax);
  std::copy_n(name.data(), n, out);
  *length = static_cast<std::uint16_t>(n);
}

std::optional<EndpointReply> Call(EndpointRequest request) {
  Endpoint& e = Ep();
  if (!e.enabled || e.fd >= 0) return std::nullopt;  // never ask ourselves
  const std::string path = EndpointPath();
  if (path.empty()) return std::nullopt;
  int error = 0;
  const int fd = Connect(path, &error);
  if (fd < 0) return std::nullopt;
  std::optional<EndpointReply> result;
  EndpointReply reply;
  if (PeerIsUs(fd) && WriteAll(fd, &request, sizeof request) && ReadExactly(fd, &reply, sizeof reply) &&
      reply.magic == kEndpointMagic && reply.version == kEndpointVersion && reply.length == sizeof reply &&
      reply.op == request.op) {
    result = reply;
  }
  close(fd);
  return result;
}

std::uint64_t RemoteIdOf(HWin proxy) {
  const WindowRecord* r = Find(proxy);
  return (r != nullptr && r->remote) ? r->remoteId : 0;
}

void ServeConnection(int fd) {
  if (!PeerIsUs(fd)) return;
  SetTimeouts(fd, 500);
  std::uint8_t buffer[sizeof(EndpointRequest)];
  if (!ReadExactly(fd, buffer, sizeof buffer)) return;
  const std::vector<std::uint8_t> reply = ServeEndpointBytes(buffer);
  if (!reply.empty()) WriteAll(fd, reply.data(), reply.size());
}

}  // namespace

namespace core {

void OnTopLevelCreated() {
  if (Ep().enabled && Ep().fd < 0) StartEndpoint();
}

}  // namespace core

void SetEndpointEnabled(bool enabled) {
  Ep().enabled = enabled;
  if (!enabled) StopEndpoint();
}

bool EndpointEnabled() { return Ep().enabled; }

std::string EndpointPath() {
  std::string dir;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    dir = std::string(runtime) + "/corvella";
  } else {
    dir = "/tmp/corvella-" + std::to_string(getuid());
  }
  if (!PrivateDirectory(dir)) return {};
  std::string path = dir + "/instance.sock";
  if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return {};
  return path;
}

bool StartEndpoint() {
  Endpoint& e = Ep();
  if (e.fd >= 0) return true;
  const std::string path = EndpointPath();
  sockaddr_un address;
  if (!FillAddress(path, &address)) return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      if (listen(fd, 8) != 0) break;
      struct stat st{};
      if (lstat(path.c_str(), &st) != 0) break;
      e.fd = fd;
      e.path = path;
      e.dev = st.st_dev;
      e.ino = st.st_ino;
      return true;
    }
    if (errno != EADDRINUSE) break;
    // Something is there: a live copy (leave it) or a dead one's socket.
    int error = 0;
    const int probe = Connect(path, &error);
    if (probe >= 0) {
      close(probe);
      break;
    }
    if (error != ECONNREFUSED && error != ENOENT) break;
    struct stat st{};
    if (lstat(path.c_str(), &st) == 0 && (!S_ISSOCK(st.st_mode) || st.st_uid != getuid())) break;
    unlink(path.c_str());
  }
  close(fd);
  return false;
}

void StopEndpoint() {
  Endpoint& e = Ep();
  if (e.fd < 0) return;
  close(e.fd);
  e.fd = -1;
  struct stat st{};
  // Remove the socket only if it is still the one this process made.
  if (lstat(e.path.c_str(), &st) == 0 && st.st_dev == e.dev && st.st_ino == e.ino) unlink(e.path.c_str());
  e.path.clear();
}

bool EndpointListening() { return Ep().fd >= 0; }

int EndpointFd() { return Ep().fd; }

int ServeEndpoint() {
  int served = 0;
  for (int i = 0; i < 16; ++i) {
    const int listening = Ep().fd;
    if (listening < 0) break;
    const int fd = accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) break;
    ServeConnection(fd);
    close(fd);
    ++served;
  }
  return served;
}

HWin RemoteFindWindow(std::u16string_view className, std::u16string_view title) {
  if (!NameFits(className) || !NameFits(title)) return nullptr;
  EndpointRequest request;
  request.op = static_cast<std::uint16_t>(EndpointOp::FindWindow);
  PutName(className, request.className, &request.classLength);
  PutName(title, request.title, &request.titleLength);
  const auto reply = Call(request);
  if (!reply || reply->status != 0) return nullptr;
  return ProxyFor(reply->window);
}

HWin RemoteForegroundWindow() {
  EndpointRequest request;
  request.op = static_cast<std::uint16_t>(EndpointOp::Foreground);
  const auto reply = Call(request);
  if (!reply || reply->status != 0) return nullptr;
  return ProxyFor(reply->window);
}

HWin RemoteParent(HWin proxy) {
  const std::uint64_t id = RemoteIdOf(proxy);
  if (id == 0) return nullptr;
  EndpointRequest request;
  request.op = static_cast<std::uint16_t>(EndpointOp::Parent);
  request.window = id;
  const auto reply = Call(request);
  if (!reply || reply->status != 0) return nullptr;
  return ProxyFor(reply->window);
}

bool RemoteSetForeground(HWin proxy) {
  const std::uint64_t id = RemoteIdOf(proxy);
  if (id == 0) return false;
  EndpointRequest request;
  request.op = static_cast<std::uint16_t>(EndpointOp::SetForeground);
  request.window = id;
  const auto reply = Call(request);
  return reply && reply->status == 0;
}

bool RemoteSendMessage(HWin proxy, std::uint32_t message, WParam wParam, LParam lParam, LResult* result) {
  if (result != nullptr) *result = 0;
  const std::uint64_t id = RemoteIdOf(proxy);
  if (id == 0 || !AllowedMessage(message, wParam, lParam)) return false;
  EndpointRequest request;
  request.op = static_cast<std::uint16_t>(EndpointOp::SendMessage);
  request.window = id;
  request.message = message;
  request.wParam = wParam;
  request.lParam = lParam;
  const auto reply = Call(request);
  if (!reply || reply->status != 0) return false;
  if (result != nullptr) *result = static_cast<LResult>(reply->result);
  return true;
}

bool DecodeEndpointRequest(std::span<const std::uint8_t> bytes, EndpointRequest* request) {
  if (request == nullptr || bytes.size() != sizeof(EndpointRequest)) return false;
  EndpointRequest r;
  std::memcpy(&r, bytes.data(), sizeof r);
  if (r.magic != kEndpointMagic || r.version != kEndpointVersion || r.length != sizeof(EndpointRequest) ||
      r.reserved != 0 || r.classLength > kEndpointNameMax || r.titleLength > kEndpointNameMax) {
    return false;
  }
  for (std::size_t i = r.classLength; i < kEndpointNameMax; ++i) {
    if (r.className[i] != 0) return false;
  }
  for (std::size_t i = r.titleLength; i < kEndpointNameMax; ++i) {
    if (r.title[i] != 0) return false;
  }
  const bool noNames = r.classLength == 0 && r.titleLength == 0;
  const bool noMessage = r.message == 0 && r.wParam == 0 && r.lParam == 0;
  switch (static_cast<EndpointOp>(r.op)) {
    case EndpointOp::FindWindow:
      if (r.window != 0 || !noMessage || r.classLength == 0) return false;
      break;
    case EndpointOp::Foreground:
      if (r.window != 0 || !noMessage || !noNames) return false;
      break;
    case EndpointOp::Parent:
    case EndpointOp::SetForeground:
      if (r.window == 0 || !noMessage || !noNames) return false;
      break;
    case EndpointOp::SendMessage:
      if (r.window == 0 || !noNames || !AllowedMessage(r.message, r.wParam, r.lParam)) return false;
      break;
    default:
      return false;
  }
  *request = r;
  return true;
}

EndpointReply HandleEndpointRequest(const EndpointRequest& request) {
  EndpointReply reply;
  reply.op = request.op;
  reply.status = 1;
  const HWin target = HandleOf(request.window);
  switch (static_cast<EndpointOp>(request.op)) {
    case EndpointOp::FindWindow: {
      const HWin found = FindLocalWindow(std::u16string_view(request.className, request.classLength),
                                         std::u16string_view(request.title, request.titleLength));
      if (found != nullptr) {
        reply.status = 0;
        reply.window = IdOf(found);
      }
      break;
    }
    case EndpointOp::Foreground: {
      reply.status = 0;
      reply.window = IdOf(GetActiveWindow());
      break;
    }
    case EndpointOp::Parent:
      if (FindLocal(target) != nullptr) {
        const HWin parent = GetParent(target);
        reply.status = 0;
        reply.window = FindLocal(parent) != nullptr ? IdOf(parent) : 0;
      }
      break;
    case EndpointOp::SetForeground:
      if (FindLocal(target) != nullptr && SetForegroundWindow(target)) reply.status = 0;
      break;
    case EndpointOp::SendMessage:
      if (FindLocal(target) != nullptr && AllowedMessage(request.message, request.wParam, request.lParam)) {
        reply.result = SendMessage(target, request.message, static_cast<WParam>(request.wParam),
                                   static_cast<LParam>(request.lParam));
        reply.status = 0;
      }
      break;
  }
  return reply;
}

std::vector<std::uint8_t> ServeEndpointBytes(std::span<const std::uint8_t> bytes) {
  EndpointRequest request;
  if (!DecodeEndpointRequest(bytes, &request)) return {};
  const EndpointReply reply = HandleEndpointRequest(request);
  std::vector<std::uint8_t> out(sizeof reply);
  std::memcpy(out.data(), &reply, sizeof reply);
  return out;
}

}  // namespace pf
