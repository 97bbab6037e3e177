#include "hostsim/tn3270_connection.h"

#include "hostsim/inbound_3270.h"
#include "hostsim/outbound_3270.h"

namespace hostsim {

namespace {
constexpr uint8_t kDataType3270 = 0x00;
constexpr std::size_t kTn3270eHeader = 5;  // data type, request flag, response flag, sequence
}  // namespace

Tn3270Connection::Tn3270Connection(Spool& spool, SessionOptions options, FaultPlan faults,
                                   LogSink log, WireOptions wire)
    : spool_(spool),
      options_(std::move(options)),
      faults_(faults),
      log_(std::move(log)),
      wire_(wire),
      page_(wire.code_page ? *wire.code_page : DefaultCodePage()),
      negotiation_(wire.offer_tn3270e, wire.lus),
      dice_(faults.random_seed, faults.random_stream, faults.random_percent) {}

std::string Tn3270Connection::Opening() { return negotiation_.Start(); }

std::string Tn3270Connection::TakeReplies() {
  std::string out;
  out.swap(replies_);
  return out;
}

void Tn3270Connection::Receive(const uint8_t* data, std::size_t size) {
  std::vector<TelnetEvent> events;
  reader_.Feed(data, size, &events);
  for (const TelnetEvent& e : events) {
    switch (e.kind) {
      case TelnetEvent::kOption: negotiation_.OnOption(e.verb, e.option, &replies_); break;
      case TelnetEvent::kSubnegotiation:
        negotiation_.OnSubnegotiation(e.option, e.data, &replies_);
        break;
      case TelnetEvent::kRecord: HandleRecord(e); break;
      case TelnetEvent::kBreak:
        if (log_) log_("attention (break) ignored");
        break;
    }
    if (negotiation_.Failed() && !wants_close_) {
      if (log_) log_(negotiation_.Failure() + "; closing");
      wants_close_ = true;
    }
    if (!session_ && negotiation_.Ready()) StartSession();
  }
}

// A real host sizes its screens by the terminal: the alternate screen is used
// only when the terminal is of the model asked for.
void Tn3270Connection::StartSession() {
  const std::string& type = negotiation_.TerminalType();
  SessionOptions options = options_;
  options.lu = negotiation_.Lu();
  if (wire_.model > 2) {
    const ScreenGeometry wanted = ModelGeometry(wire_.model);
    if (TerminalModel(type) == wire_.model) {
      options.data_geometry = wanted;
    } else if (log_) {
      log_("terminal " + type + " has no " + std::to_string(wanted.rows) + " x " +
           std::to_string(wanted.columns) + " screen: data screens stay 24 x 80");
    }
  }
  if (log_) {
    log_(std::string(negotiation_.Tn3270e() ? "TN3270E" : "TN3270") + " mode, terminal type " +
         type + (options.lu.empty() ? "" : ", LU " + options.lu) + ", data screens " +
         std::to_string(options.data_geometry.rows) + " x " +
         std::to_string(options.data_geometry.columns));
  }
  session_ = std::make_unique<HostSession>(spool_, options, log_);
}

std::string Tn3270Connection::Frame(const std::string& data) {
  if (!negotiation_.Tn3270e()) return TelnetRecord(data);
  ++sequence_;
  std::string with_header{static_cast<char>(kDataType3270), 0, 0, static_cast<char>(sequence_ >> 8),
                          static_cast<char>(sequence_ & 0xFF)};
  return TelnetRecord(with_header + data);
}

void Tn3270Connection::HandleRecord(const TelnetEvent& event) {
  if (!session_ || stalled_) return;
  if (event.truncated) {
    if (log_) log_("over-long record ignored");
    return;
  }
  std::string_view data = event.data;
  if (negotiation_.Tn3270e()) {
    // Responses, SNA and NVT data carry nothing for the print conversation.
    if (data.size() < kTn3270eHeader) return;
    if (static_cast<uint8_t>(data[0]) != kDataType3270) {
      if (log_ && !told_other_data_) log_("TN3270E records of other data types are ignored");
      told_other_data_ = true;
      return;
    }
    data.remove_prefix(kTn3270eHeader);
  }
  InboundMessage message;
  if (!ParseInbound(data, &message, page_)) return;
  if (!message.key) {
    if (log_) log_("unknown attention identifier ignored");
    return;
  }
  for (const InboundField& field : message.fields) session_->Type(field.position, field.text);
  session_->Press(*message.key);
}

bool Tn3270Connection::ScreenDue() const {
  return session_ && !stalled_ && session_->ChangeCount() != sent_change_;
}

Tn3270Connection::ScreenAction Tn3270Connection::TakeScreen(std::string* record) {
  if (!ScreenDue()) return ScreenAction::kHold;
  const bool data = session_->GetState() == SessionState::kData;
  const long blocks = static_cast<long>(session_->BlocksSent());
  // One draw for each data block, none for its repaints. Block numbers start
  // again with each job, and an end marker and a header always come between.
  Fault random = Fault::kNone;
  if (!data) {
    rolled_block_ = 0;
  } else if (blocks != rolled_block_) {
    rolled_block_ = blocks;
    random = dice_.Roll();
  }
  const std::string how = random == Fault::kNone ? "" : " (random)";
  if (data && (random == Fault::kDrop ||
               (faults_.drop_after != FaultPlan::kNever && blocks > faults_.drop_after))) {
    if (log_) log_("fault: dropping the connection before block " + std::to_string(blocks) + how);
    return ScreenAction::kDrop;
  }
  if (data && (random == Fault::kStall ||
               (faults_.stall_after != FaultPlan::kNever && blocks > faults_.stall_after))) {
    if (log_) log_("fault: stalling before block " + std::to_string(blocks) + how);
    stalled_ = true;
    return ScreenAction::kHold;
  }
  sent_change_ = session_->ChangeCount();
  const bool doomed_job = data && !faults_.garbage_job.empty() && session_->GetJob() &&
                          session_->GetJob()->file_name == faults_.garbage_job;
  if (data && (doomed_job || random == Fault::kGarbage ||
               (!garbage_sent_ && blocks == faults_.garbage_at))) {
    if (log_) log_("fault: garbage instead of block " + std::to_string(blocks) + how);
    uint32_t seed = static_cast<uint32_t>(blocks);
    if (random == Fault::kGarbage) {
      seed = dice_.Next();
    } else if (!doomed_job) {
      garbage_sent_ = true;
    }
    const ScreenGeometry geometry = session_->GetScreen().Geometry();
    Screen garbage;
    garbage.PaintField(GarbageScreenText(seed, geometry.TextCapacity()),
                       session_->GetScreen().Cursor(), geometry);
    *record = Frame(EraseWriteStream(garbage, page_));
    return ScreenAction::kSend;
  }
  *record = Frame(EraseWriteStream(session_->GetScreen(), page_));
  return ScreenAction::kSend;
}

void Tn3270Connection::LookForJob() {
  if (session_ && !stalled_) session_->LookForJob();
}

void Tn3270Connection::Closed() {
  if (session_) session_->Abandon();
  session_.reset();
}

}  // namespace hostsim
