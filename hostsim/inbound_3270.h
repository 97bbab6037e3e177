// What a terminal sends the host in a 3270 record: the attention key, the
// cursor, and the modified fields' text (for keys that read them).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/ebcdic.h"
#include "hostsim/keys.h"

namespace hostsim {

struct InboundField {
  int position = 0;  // first character position of the field
  std::string text;  // ASCII; the terminal leaves out NULs
};

struct InboundMessage {
  uint8_t aid = 0;
  std::optional<Key> key;  // empty for identifiers the host does not act on
  int cursor = -1;         // -1 when the record does not carry one
  std::vector<InboundField> fields;
};

std::optional<Key> KeyForAid(uint8_t aid);
uint8_t AidForKey(Key key);  // 0 for keys that send nothing

// False for an empty record. Short reads (Clear, PA keys) carry only the AID.
// Field text is read through the code page.
bool ParseInbound(std::string_view record, InboundMessage* message,
                  const CodePage& page = DefaultCodePage());

}  // namespace hostsim
