// One terminal attached over TN3270, independent of sockets: bytes from the
// terminal go in, bytes for the terminal come out. The server decides when a
// pending screen is sent, so that it can delay it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "hostsim/ebcdic.h"
#include "hostsim/fault_plan.h"
#include "hostsim/host_session.h"
#include "hostsim/lu_registry.h"
#include "hostsim/telnet_reader.h"
#include "hostsim/tn3270_negotiation.h"

namespace hostsim {

// How the host meets its terminals on the wire.
struct WireOptions {
  const CodePage* code_page = nullptr;  // null: the default page
  int model = 2;                        // the screen data screens use (2: 24 x 80)
  bool offer_tn3270e = true;
  LuRegistry* lus = nullptr;  // the server's LU names in use
};

class Tn3270Connection {
 public:
  enum class ScreenAction { kSend, kDrop, kHold };

  Tn3270Connection(Spool& spool, SessionOptions options, FaultPlan faults, LogSink log,
                   WireOptions wire = {});

  // The opening bytes to send right after the connection is accepted.
  std::string Opening();
  void Receive(const uint8_t* data, std::size_t size);
  // Telnet replies produced by receive().
  std::string TakeReplies();

  // The session has painted something the terminal has not been sent yet.
  bool ScreenDue() const;
  // What to do with the due screen: Send (the record is in *record), Drop the
  // connection, or Hold (stalled: nothing goes out).
  ScreenAction TakeScreen(std::string* record);

  // A negotiation failure or the like: the server should close.
  bool WantsClose() const { return wants_close_; }
  // Idle sessions pick up new jobs here.
  void LookForJob();
  // The connection is gone; a job in progress stays in the spool.
  void Closed();

  HostSession* GetSession() { return session_.get(); }
  const std::string& TerminalType() const { return negotiation_.TerminalType(); }
  const std::string& Lu() const { return negotiation_.Lu(); }
  bool Tn3270e() const { return negotiation_.Tn3270e(); }

 private:
  void HandleRecord(const TelnetEvent& event);
  void StartSession();
  // The record that carries 3270 data: with the TN3270E header when agreed.
  std::string Frame(const std::string& data);

  Spool& spool_;
  SessionOptions options_;
  FaultPlan faults_;
  LogSink log_;
  WireOptions wire_;
  const CodePage& page_;
  TelnetReader reader_;
  Tn3270Negotiation negotiation_;
  std::unique_ptr<HostSession> session_;
  std::string replies_;
  uint64_t sent_change_ = 0;
  bool wants_close_ = false;
  bool stalled_ = false;
  bool garbage_sent_ = false;
  FaultDice dice_;
  long rolled_block_ = 0;  // the data block the dice were last rolled for
  uint16_t sequence_ = 0;  // TN3270E sequence number of our records
  bool told_other_data_ = false;
};

}  // namespace hostsim
