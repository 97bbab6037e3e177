#include "hostsim/telnet_reader.h"

namespace hostsim {

using namespace telnet;

void TelnetReader::add_record_byte(uint8_t b) {
  if (record_.size() < kLargestRecord) {
    record_ += static_cast<char>(b);
  } else {
    record_truncated_ = true;
  }
}

void TelnetReader::add_sub_byte(uint8_t b) {
  if (sub_.size() < kLargestSubnegotiation) {
    sub_ += static_cast<char>(b);
  } else {
    sub_truncated_ = true;
  }
}

void TelnetReader::command(uint8_t b, std::vector<TelnetEvent>* events) {
  state_ = State::Data;
  switch (b) {
    case kIac: add_record_byte(kIac); break;
    case kWill:
    case kWont:
    case kDo:
    case kDont:
      verb_ = b;
      state_ = State::Verb;
      break;
    case kSb:
      sub_.clear();
      sub_truncated_ = false;
      state_ = State::SbOption;
      break;
    case kEor: {
      TelnetEvent e{TelnetEvent::Record};
      e.data.swap(record_);
      e.truncated = record_truncated_;
      record_truncated_ = false;
      events->push_back(std::move(e));
      break;
    }
    case kBreak: events->push_back(TelnetEvent{TelnetEvent::Break}); break;
    default:  // NOP, GA, stray SE and the like carry nothing for us
      break;
  }
}

void TelnetReader::feed(const uint8_t* data, std::size_t size, std::vector<TelnetEvent>* events) {
  for (std::size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    switch (state_) {
      case State::Data:
        if (b == kIac) {
          state_ = State::Iac;
        } else {
          add_record_byte(b);
        }
        break;
      case State::Iac: command(b, events); break;
      case State::Verb: {
        TelnetEvent e{TelnetEvent::Option};
        e.verb = verb_;
        e.option = b;
        events->push_back(std::move(e));
        state_ = State::Data;
        break;
      }
      case State::SbOption:
        sub_option_ = b;
        state_ = State::Sb;
        break;
      case State::Sb:
        if (b == kIac) {
          state_ = State::SbIac;
        } else {
          add_sub_byte(b);
        }
        break;
      case State::SbIac:
        if (b == kIac) {
          add_sub_byte(kIac);
          state_ = State::Sb;
          break;
        }
        {
          TelnetEvent e{TelnetEvent::Subnegotiation};
          e.option = sub_option_;
          e.data.swap(sub_);
          e.truncated = sub_truncated_;
          events->push_back(std::move(e));
        }
        // IAC SE ends it; any other command ends it too and then takes effect.
        if (b == kSe) {
          state_ = State::Data;
        } else {
          command(b, events);
        }
        break;
    }
  }
}

}  // namespace hostsim
