// Size of the host display screen and how much of it a data screen may use.
#pragma once

#include <cstddef>

namespace hostsim {

constexpr int kRows = 24;
constexpr int kColumns = 80;
constexpr int kScreenSize = kRows * kColumns;  // 1920 positions, row * 80 + column

// Every screen is one unprotected field whose attribute sits in the last
// position (it shows as a blank), so 1919 positions carry text.
constexpr int kFieldAttributePosition = kScreenSize - 1;
constexpr std::size_t kScreenTextCapacity = kScreenSize - 1;

}  // namespace hostsim
