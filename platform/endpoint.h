#pragma once
// One running copy per user: the local endpoint through which another copy of
// the program finds this one's top-level windows and talks to them.
//
// A process with the endpoint enabled (SetEndpointEnabled) starts listening
// when it creates its first top-level window other
// than the task bar, on a Unix-domain socket in a directory private to the
// user: $XDG_RUNTIME_DIR/corvella/instance.sock, or /tmp/corvella-<uid>/
// instance.sock when XDG_RUNTIME_DIR is unset. The directory is made with mode
// 0700 and refused when it is a symbolic link, not ours, or open to others. A
// socket left by a dead process (connecting is refused) is removed and
// replaced; a live one is left alone (this process then only talks to it).
//
// Both sides check the peer's user id (SO_PEERCRED). Requests and replies are
// fixed-size records with a magic number, version and length; anything else
// is dropped without effect. Only these operations cross: find a top-level
// window by class and title; the foreground window; the parent of a window;
// make a window the foreground window; send a window one of a few messages
// with integer parameters (kMsgCloseRequest, kMsgClose, kMsgNull, and
// kMsgCommand with lParam 0). Requests are served on the GUI thread by the
// message loop while it waits (servicing ServeEndpoint). A client waits at
// most kEndpointTimeoutMs for a reply.
//
// Windows of the other copy appear here as proxy handles (window.h): one
// proxy per remote window, so handles compare equal.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace pf {

constexpr int kEndpointTimeoutMs = 3000;

// Whether this process takes part at all: listening once it has a top-level
// window, and asking the running copy in FindWindow / GetForegroundWindow.
// Off by default so that unit tests never meet a running copy of the
// program; the program's main turns it on before its entry routine.
void SetEndpointEnabled(bool enabled);
bool EndpointEnabled();

// The socket path this process uses (empty when no private directory can be
// made). Made anew from the environment at every call.
std::string EndpointPath();

// Starts listening now (normally automatic, see above). True when this
// process listens afterwards.
bool StartEndpoint();
// Stops listening and removes the socket if this process made it.
void StopEndpoint();
bool EndpointListening();
// The listening descriptor, or -1.
int EndpointFd();
// Serves the requests waiting on the endpoint, without blocking. Returns how
// many were served. Called by the message loop.
int ServeEndpoint();

// Client side, used by FindWindow, GetForegroundWindow, GetParent,
// SetForegroundWindow and SendMessage for proxies.
HWin RemoteFindWindow(std::u16string_view className, std::u16string_view title);
HWin RemoteForegroundWindow();
HWin RemoteParent(HWin proxy);
bool RemoteSetForeground(HWin proxy);
bool RemoteSendMessage(HWin proxy, std::uint32_t message, WParam wParam, LParam lParam,
                       LResult* result);

// ---------------------------------------------------------------------------
// Wire format (host byte order; both ends run on this machine)

constexpr std::uint32_t kEndpointMagic = 0x4C565243;  // "CRVL"
constexpr std::uint16_t kEndpointVersion = 1;
constexpr std::size_t kEndpointNameMax = 64;  // UTF-16 units of a class or title

enum class EndpointOp : std::uint16_t {
  FindWindow = 1,
  Foreground = 2,
  Parent = 3,
  SetForeground = 4,
  SendMessage = 5,
};

struct EndpointRequest {
  std::uint32_t magic = kEndpointMagic;
  std::uint16_t version = kEndpointVersion;
  std::uint16_t op = 0;
  std::uint32_t length = sizeof(EndpointRequest);
  std::uint32_t message = 0;
  std::uint64_t window = 0;  // the window's id in the serving process
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
  std::uint16_t classLength = 0;
  std::uint16_t titleLength = 0;
  std::uint32_t reserved = 0;
  char16_t className[kEndpointNameMax] = {};
  char16_t title[kEndpointNameMax] = {};
};

struct EndpointReply {
  std::uint32_t magic = kEndpointMagic;
  std::uint16_t version = kEndpointVersion;
  std::uint16_t op = 0;
  std::uint32_t length = sizeof(EndpointReply);
  std::uint32_t status = 0;  // 0 done; 1 refused or not found
  std::uint64_t window = 0;
  std::int64_t result = 0;
};

// Checks and decodes a request record: exact length, magic, version, a known
// operation, names within bounds, zero reserved fields and padding after the
// names, and for SendMessage an allowed message. False for anything else.
bool DecodeEndpointRequest(std::span<const std::uint8_t> bytes, EndpointRequest* request);
// Carries out a decoded request on this process's windows and gives the
// reply. Exposed for the fuzz target and tests.
EndpointReply HandleEndpointRequest(const EndpointRequest& request);
// Decode and handle in one: the reply bytes, or nothing for a bad request.
std::vector<std::uint8_t> ServeEndpointBytes(std::span<const std::uint8_t> bytes);

}  // namespace pf
