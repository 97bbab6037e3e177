#include "hostsim/telnet_reader.h"

namespace hostsim {

using namespace telnet;

void TelnetReader::AddRecordByte(uint8_t b) {
  if (record_.size() < kLargestRecord) {
    record_ += static_cast<char>(b);
  } else {
    record_truncated_ = true;
  }
}

void TelnetReader::AddSubByte(uint8_t b) {
  if (sub_.size() < kLargestSubnegotiation) {
    sub_ += static_cast<char>(b);
  } else {
    sub_truncated_ = true;
  }
}

void TelnetReader::Command(uint8_t b, std::vector<TelnetEvent>* events) {
  state_ = State::kData;
  switch (b) {
    case kIac: AddRecordByte(kIac); break;
    case kWill:
    case kWont:
    case kDo:
    case kDont:
      verb_ = b;
      state_ = State::kVerb;
      break;
    case kSb:
      sub_.clear();
      sub_truncated_ = false;
      state_ = State::kSbOption;
      break;
    case kEor: {
      TelnetEvent e{TelnetEvent::kRecord};
      e.data.swap(record_);
      e.truncated = record_truncated_;
      record_truncated_ = false;
      events->push_back(std::move(e));
      break;
    }
    case kBreak: events->push_back(TelnetEvent{TelnetEvent::kBreak}); break;
    default:  // NOP, GA, stray SE and the like carry nothing for us
      break;
  }
}

void TelnetReader::Feed(const uint8_t* data, std::size_t size, std::vector<TelnetEvent>* events) {
  for (std::size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    switch (state_) {
      case State::kData:
        if (b == kIac) {
          state_ = State::kIac;
        } else {
          AddRecordByte(b);
        }
        break;
      case State::kIac: Command(b, events); break;
      case State::kVerb: {
        TelnetEvent e{TelnetEvent::kOption};
        e.verb = verb_;
        e.option = b;
        events->push_back(std::move(e));
        state_ = State::kData;
        break;
      }
      case State::kSbOption:
        sub_option_ = b;
        state_ = State::kSb;
        break;
      case State::kSb:
        if (b == kIac) {
          state_ = State::kSbIac;
        } else {
          AddSubByte(b);
        }
        break;
      case State::kSbIac:
        if (b == kIac) {
          AddSubByte(kIac);
          state_ = State::kSb;
          break;
        }
        {
          TelnetEvent e{TelnetEvent::kSubnegotiation};
          e.option = sub_option_;
          e.data.swap(sub_);
          e.truncated = sub_truncated_;
          events->push_back(std::move(e));
        }
        // IAC SE ends it; any other command ends it too and then takes effect.
        if (b == kSe) {
          state_ = State::kData;
        } else {
          Command(b, events);
        }
        break;
    }
  }
}

}  // namespace hostsim
