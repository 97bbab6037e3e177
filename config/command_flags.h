// The configuration program's command line: a word starting with "AUTO" ends
// the program after the first configuration dialog; one starting with
// "SUPPORT" shows what would be done and writes nothing. Letter case does not
// matter; other words are ignored.
#pragma once

namespace config {

struct CommandFlags {
  bool auto_flag = false;
  bool support_flag = false;
};

CommandFlags ParseCommandFlags(int argc, const char* const* argv);

}  // namespace config
