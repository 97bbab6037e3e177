// The window, menu and button texts, looked up once at start-up and kept for
// the whole run (copies in the message file's text pool).
#pragma once

#include <string>
#include <vector>

namespace common {
class MessageFile;
}  // namespace common

namespace client {

class InterfaceTexts {
 public:
  // The keys in load order.
  static const std::vector<const char*>& Keys();

  void Load(common::MessageFile& file);
  // The text of a key, "" when the message file lacks it (or before Load).
  const char* operator()(const char* key) const;

 private:
  std::vector<const char*> texts_;  // parallel to Keys()
};

}  // namespace client
