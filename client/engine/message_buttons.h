// The buttons a message to the user offers, as a bit mask.
#pragma once

namespace client {

enum MessageButtons : unsigned {
  kButtonOk = 1,
  kButtonYes = 2,
  kButtonNo = 4,
  kButtonCancel = 8,
  kButtonAbort = 16,
  kButtonRetry = 32,
  kButtonHelp = 64,
};

}  // namespace client
