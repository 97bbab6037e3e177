#include "hostsim/tn3270_connection.h"

#include "hostsim/inbound_3270.h"
#include "hostsim/outbound_3270.h"

namespace hostsim {

Tn3270Connection::Tn3270Connection(Spool& spool, SessionOptions options, FaultPlan faults,
                                   LogSink log)
    : spool_(spool), options_(options), faults_(faults), log_(std::move(log)),
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
      case TelnetEvent::Option:
        negotiation_.on_option(e.verb, e.option, &replies_);
        break;
      case TelnetEvent::Subnegotiation:
        negotiation_.on_subnegotiation(e.option, e.data, &replies_);
        break;
      case TelnetEvent::Record:
        handle_record(e);
        break;
      case TelnetEvent::Break:
        if (log_) log_("attention (break) ignored");
        break;
    }
    if (negotiation_.failed() && !wants_close_) {
      if (log_) log_("terminal refused 3270 mode; closing");
      wants_close_ = true;
    }
    if (!session_ && negotiation_.ready()) {
      if (log_) log_("3270 mode, terminal type " + negotiation_.terminal_type());
      session_ = std::make_unique<HostSession>(spool_, options_, log_);
    }
  }
}

void Tn3270Connection::handle_record(const TelnetEvent& event) {
  if (!session_ || stalled_) return;
  if (event.truncated) {
    if (log_) log_("over-long record ignored");
    return;
  }
  InboundMessage message;
  if (!parse_inbound(event.data, &message)) return;
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
  if (data && (random == Fault::Garbage || (!garbage_sent_ && blocks == faults_.garbage_at))) {
    if (log_) log_("fault: garbage instead of block " + std::to_string(blocks) + how);
    uint32_t seed = static_cast<uint32_t>(blocks);
    if (random == Fault::Garbage) {
      seed = dice_.next();
    } else {
      garbage_sent_ = true;
    }
    Screen garbage;
    garbage.paint_field(garbage_screen_text(seed), session_->screen().cursor());
    *record = erase_write_record(garbage);
    return ScreenAction::Send;
  }
  *record = erase_write_record(session_->screen());
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
