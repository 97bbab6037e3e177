// Command codes shared by every window of the programs built on the toolkit.
// The toolkit itself defines no codes of its own: buttons, menu items and
// lists post whatever code they were given. Codes below 10000 are free for
// toolkit users; 10011..10099 are the dialog answers below.
#pragma once

namespace tk::cmd {

constexpr int kOk = 10011;
constexpr int kYes = 10012;
constexpr int kNo = 10013;
constexpr int kCancel = 10014;
constexpr int kAbort = 10015;
constexpr int kRetry = 10016;
constexpr int kHelp = 10017;
constexpr int kCloseModal = 10099;  // a window answers this to end its modal loop

}  // namespace tk::cmd
