// Winsock. A SOCKET travels as an int, as the channel keeps it: Windows
// handles carry 32 significant bits, also in 64-bit processes, and a socket
// that did not fit would be refused rather than truncated.
#include "platform/win32/windows_api.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <mstcpip.h>  // after winsock2.h, which it needs

#include <climits>

#include "emulator/script_channel.h"
#include "emulator/socket_io.h"
#include "platform/system_error.h"

namespace emulator {
namespace {

SOCKET AsSocket(int socket) { return static_cast<SOCKET>(socket); }

std::string LastSocketError() { return platform::SystemErrorText(WSAGetLastError()); }

// Winsock is started once per process and left running until it ends: a
// library may not stop it while the process detaches.
int StartWinsock() {
  static const int result = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return result;
}

timeval Timeout(Deadline deadline) {
  int64_t ms = deadline.RemainingMs();
  if (ms > 86400000) ms = 86400000;  // select takes a day as readily as forever
  timeval tv;
  tv.tv_sec = static_cast<long>(ms / 1000);
  tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
  return tv;
}

}  // namespace

void MakeNonBlocking(int socket) {
  u_long on = 1;
  ::ioctlsocket(AsSocket(socket), FIONBIO, &on);
}

void CloseSocket(int socket) { ::closesocket(AsSocket(socket)); }

SocketIo SendSome(int socket, const char* data, std::size_t size, std::size_t* sent,
                  std::string* problem) {
  int chunk = size > INT_MAX ? INT_MAX : static_cast<int>(size);
  for (;;) {
    int n = ::send(AsSocket(socket), data, chunk, 0);
    if (n > 0) {
      *sent = static_cast<std::size_t>(n);
      return SocketIo::kDone;
    }
    int error = n == 0 ? WSAECONNRESET : WSAGetLastError();
    if (error == WSAEINTR) continue;
    if (error == WSAEWOULDBLOCK) return SocketIo::kAgain;
    *problem = platform::SystemErrorText(error);
    return SocketIo::kFailed;
  }
}

SocketIo ReceiveSome(int socket, char* buffer, std::size_t size, std::size_t* received,
                     std::string* problem) {
  int n = ::recv(AsSocket(socket), buffer, size > INT_MAX ? INT_MAX : static_cast<int>(size), 0);
  if (n > 0) {
    *received = static_cast<std::size_t>(n);
    return SocketIo::kDone;
  }
  if (n == 0) return SocketIo::kClosed;
  int error = WSAGetLastError();
  if (error == WSAEINTR || error == WSAEWOULDBLOCK) return SocketIo::kAgain;
  *problem = platform::SystemErrorText(error);
  return SocketIo::kFailed;
}

int WaitSocket(int socket, bool for_write, Deadline deadline, std::string* problem) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(AsSocket(socket), &set);
  timeval tv = Timeout(deadline);
  int ready = ::select(0, for_write ? nullptr : &set, for_write ? &set : nullptr, nullptr, &tv);
  if (ready >= 0) return ready > 0 ? 1 : 0;
  *problem = "select: " + LastSocketError();
  return -1;
}

// Windows has no TCP_QUICKACK: asking for an ACK on every segment does the
// same, once for the connection. Wine refuses the request.
bool MakeAcksPrompt(int socket) {
  TCP_ACK_FREQUENCY_PARAMETERS ack{};
  ack.TcpDelayedAckFrequency = 1;
  DWORD returned = 0;
  return ::WSAIoctl(AsSocket(socket), SIO_TCP_SET_ACK_FREQUENCY, &ack, sizeof ack, nullptr, 0,
                    &returned, nullptr, nullptr) == 0;
}

// Acknowledgements were made prompt once, by MakeAcksPrompt (they stay so).
void AfterTcpRead(int) {}

namespace {

// The error of a connect under way once it ends, 0 when it succeeded.
int AwaitConnect(SOCKET s, Deadline deadline) {
  // Winsock reports a failed connect in the exception set, not as writable.
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval tv = Timeout(deadline);
  int ready = ::select(0, nullptr, &writable, &failed, &tv);
  if (ready < 0) return WSAGetLastError();
  if (ready == 0) return WSAETIMEDOUT;
  if (!FD_ISSET(s, &failed)) return 0;
  int error = 0;
  int len = sizeof error;
  if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0 ||
      error == 0)
    error = WSAECONNREFUSED;
  return error;
}

void MakeRepliesPrompt(SOCKET s) {
  BOOL one = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

}  // namespace

int ConnectTcp(const std::string& host, int port, Deadline deadline, std::string* problem) {
  if (int error = StartWinsock()) {
    *problem = "cannot start Windows Sockets (" + platform::SystemErrorText(error) + ")";
    return -1;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;  // script ports are local: "localhost" resolves at once
  addrinfo* found = nullptr;
  std::string h = host;
  if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
  if (::getaddrinfo(h.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    *problem = "cannot resolve \"" + host + "\"";
    return -1;
  }
  SOCKET s = ::socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET || static_cast<SOCKET>(static_cast<int>(s)) != s) {
    *problem = "socket: " + (s == INVALID_SOCKET ? LastSocketError() : "handle out of range");
    if (s != INVALID_SOCKET) ::closesocket(s);
    ::freeaddrinfo(found);
    return -1;
  }
  // An emulator this process starts must not hold the connection open.
  ::SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
  int fd = static_cast<int>(s);
  MakeNonBlocking(fd);
  int error = 0;
  if (::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0) {
    error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) error = AwaitConnect(s, deadline);
  }
  ::freeaddrinfo(found);
  if (error != 0) {
    *problem = "cannot reach the emulator at " + host + ":" + std::to_string(port) + " (" +
               platform::SystemErrorText(error) + ")";
    ::closesocket(s);
    return -1;
  }
  MakeRepliesPrompt(s);
  return fd;
}

}  // namespace emulator
