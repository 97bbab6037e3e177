// The few socket operations the script channel needs, one implementation per
// system (BSD sockets, Winsock). Sockets are non-blocking; every wait is
// bounded by a deadline.
#pragma once

#include <cstddef>
#include <string>

#include "emulator/deadline.h"

namespace emulator {

// What a send or receive did: moved bytes (Done), would have blocked
// (Again), found the peer gone (Closed) or failed (Failed, *problem set).
enum class SocketIo { kDone, kAgain, kClosed, kFailed };

void MakeNonBlocking(int socket);
void CloseSocket(int socket);
SocketIo SendSome(int socket, const char* data, std::size_t size, std::size_t* sent,
                  std::string* problem);
SocketIo ReceiveSome(int socket, char* buffer, std::size_t size, std::size_t* received,
                     std::string* problem);
// Waits until the socket can be written (for_write) or read. 1 ready, 0 the
// deadline passed, -1 failed with *problem set, kWaitStopped when the client
// is stopping (see client_stop.h).
constexpr int kWaitStopped = -2;
int WaitSocket(int socket, bool for_write, Deadline deadline, std::string* problem);
// Asks the system to acknowledge each segment on a TCP socket at once.
// False where it cannot (Wine implements no such option): the caller then
// provokes acknowledgements itself by sending.
bool MakeAcksPrompt(int socket);
// After each read on a TCP script port: keeps our acknowledgements prompt,
// so the emulator's reply lines are not held back.
void AfterTcpRead(int socket);

}  // namespace emulator
