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
      page_(wire.code_page ? *wire.code_page : default_code_page()),
      negotiation_(wire.offer_tn3270e, wire.lus),
      dice_(faults.random_seed, faults.random_stream, faults.random_percent) {}

std::string Tn3270Connection::opening() { return negotiation_.start(); }

std::string Tn3270Connection::take_replies() {
  std::string out;
  out.swap(replies_);
  return out;
}

void Tn3270Connection::receive(const uint8_t* data, std::size_t size) {
  std::vector<TelnetEvent> events;
  reader_.feed(data, size, &events);
  for (const TelnetEvent& e : events) {
    switch (e.kind) {
      case TelnetEvent::Option: negotiation_.on_option(e.verb, e.option, &replies_); break;
      case TelnetEvent::Subnegotiation:
        negotiation_.on_subnegotiation(e.option, e.data, &replies_);
        break;
      case TelnetEvent::Record: handle_record(e); break;
      case TelnetEvent::Break:
        if (log_) log_("attention (break) ignored");
        break;
    }
    if (negotiation_.failed() && !wants_close_) {
      if (log_) log_(negotiation_.failure() + "; closing");
      wants_close_ = true;
    }
    if (!session_ && negotiation_.ready()) start_session();
  }
}

// A real host sizes its screens by the terminal: the alternate screen is used
// only when the terminal is of the model asked for.
void Tn3270Connection::start_session() {
  const std::string& type = negotiation_.terminal_type();
  SessionOptions options = options_;
  options.lu = negotiation_.lu();
  if (wire_.model > 2) {
    const ScreenGeometry wanted = model_geometry(wire_.model);
    if (terminal_model(type) == wire_.model) {
      options.data_geometry = wanted;
    } else if (log_) {
      log_("terminal " + type + " has no " + std::to_string(wanted.rows) + " x " +
           std::to_string(wanted.columns) + " screen: data screens stay 24 x 80");
    }
  }
  if (log_) {
    log_(std::string(negotiation_.tn3270e() ? "TN3270E" : "TN3270") + " mode, terminal type " +
         type + (options.lu.empty() ? "" : ", LU " + options.lu) + ", data screens " +
         std::to_string(options.data_geometry.rows) + " x " +
         std::to_string(options.data_geometry.columns));
  }
  session_ = std::make_unique<HostSession>(spool_, options, log_);
}

std::string Tn3270Connection::frame(const std::string& data) {
  if (!negotiation_.tn3270e()) return telnet_record(data);
  ++sequence_;
  std::string with_header{static_cast<char>(kDataType3270), 0, 0, static_cast<char>(sequence_ >> 8),
                          static_cast<char>(sequence_ & 0xFF)};
  return telnet_record(with_header + data);
}

void Tn3270Connection::handle_record(const TelnetEvent& event) {
  if (!session_ || stalled_) return;
  if (event.truncated) {
    if (log_) log_("over-long record ignored");
    return;
  }
  std::string_view data = event.data;
  if (negotiation_.tn3270e()) {
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
  if (!parse_inbound(data, &message, page_)) return;
  if (!message.key) {
    if (log_) log_("unknown attention identifier ignored");
    return;
  }
  for (const InboundField& field : message.fields) session_->type(field.position, field.text);
  session_->press(*message.key);
}

bool Tn3270Connection::screen_due() const {
  return session_ && !stalled_ && session_->change_count() != sent_change_;
}

Tn3270Connection::ScreenAction Tn3270Connection::take_screen(std::string* record) {
  if (!screen_due()) return ScreenAction::Hold;
  const bool data = session_->state() == SessionState::Data;
  const long blocks = static_cast<long>(session_->blocks_sent());
  // One draw for each data block, none for its repaints. Block numbers start
  // again with each job, and an end marker and a header always come between.
  Fault random = Fault::None;
  if (!data) {
    rolled_block_ = 0;
  } else if (blocks != rolled_block_) {
    rolled_block_ = blocks;
    random = dice_.roll();
  }
  const std::string how = random == Fault::None ? "" : " (random)";
  if (data && (random == Fault::Drop ||
               (faults_.drop_after != FaultPlan::kNever && blocks > faults_.drop_after))) {
    if (log_) log_("fault: dropping the connection before block " + std::to_string(blocks) + how);
    return ScreenAction::Drop;
  }
  if (data && (random == Fault::Stall ||
               (faults_.stall_after != FaultPlan::kNever && blocks > faults_.stall_after))) {
    if (log_) log_("fault: stalling before block " + std::to_string(blocks) + how);
    stalled_ = true;
    return ScreenAction::Hold;
  }
  sent_change_ = session_->change_count();
  const bool doomed_job = data && !faults_.garbage_job.empty() && session_->job() &&
                          session_->job()->file_name == faults_.garbage_job;
  if (data && (doomed_job || random == Fault::Garbage ||
               (!garbage_sent_ && blocks == faults_.garbage_at))) {
    if (log_) log_("fault: garbage instead of block " + std::to_string(blocks) + how);
    uint32_t seed = static_cast<uint32_t>(blocks);
    if (random == Fault::Garbage) {
      seed = dice_.next();
    } else if (!doomed_job) {
      garbage_sent_ = true;
    }
    const ScreenGeometry geometry = session_->screen().geometry();
    Screen garbage;
    garbage.paint_field(garbage_screen_text(seed, geometry.text_capacity()),
                        session_->screen().cursor(), geometry);
    *record = frame(erase_write_stream(garbage, page_));
    return ScreenAction::Send;
  }
  *record = frame(erase_write_stream(session_->screen(), page_));
  return ScreenAction::Send;
}

void Tn3270Connection::look_for_job() {
  if (session_ && !stalled_) session_->look_for_job();
}

void Tn3270Connection::closed() {
  if (session_) session_->abandon();
  session_.reset();
}

}  // namespace hostsim
