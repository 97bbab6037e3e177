// Sizes of the host display screen and how much of it a data screen may use.
//
// Every terminal has the default screen of 24 x 80; a larger model also has
// an alternate screen, which the host selects with Erase/Write Alternate.
// Job headers, the idle screen and everything the client reads by position
// stay on the default screen; data screens use the alternate one.
#pragma once

#include <cstddef>
#include <string_view>

namespace hostsim {

constexpr int kRows = 24;
constexpr int kColumns = 80;
constexpr int kScreenSize = kRows * kColumns;  // 1920 positions, row * 80 + column

// Every screen is one unprotected field whose attribute sits in the last
// position (it shows as a blank), so 1919 positions carry text.
constexpr int kFieldAttributePosition = kScreenSize - 1;
constexpr std::size_t kScreenTextCapacity = kScreenSize - 1;

struct ScreenGeometry {
  int rows = kRows;
  int columns = kColumns;
  constexpr int GetSize() const { return rows * columns; }
  constexpr std::size_t TextCapacity() const { return static_cast<std::size_t>(GetSize() - 1); }
  constexpr bool operator==(const ScreenGeometry&) const = default;
};

constexpr ScreenGeometry kDefaultGeometry{};
// The largest alternate screen (model 5, 27 x 132 = 3564 positions).
constexpr int kLargestScreenSize = 3564;

// The alternate screen of a 3278/3279 model 2 to 5 (model 2 has none: 24 x 80).
ScreenGeometry ModelGeometry(int model);
// The model in a terminal type such as "IBM-3279-5-E" or "IBM-3278-2"; 0 when
// the type names none (e.g. "IBM-DYNAMIC").
int TerminalModel(std::string_view terminal_type);

}  // namespace hostsim
