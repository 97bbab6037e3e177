// Turns job bytes into data screens: displayable text that, shift-translated
// and run-length expanded by the client, gives back exactly the job's bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/screen_geometry.h"

namespace hostsim {

// Plain screens, or screens led by a five-character length prefix ("0123,")
// that lets the client refuse a screen it caught half painted.
enum class ScreenForm { kPlain, kLengthPrefixed };

constexpr std::size_t kLengthPrefixWidth = 5;
constexpr std::size_t kSmallestScreenCapacity = 16;

class JobEncoder {
 public:
  // capacity: characters a screen may hold (raised to kSmallestScreenCapacity).
  JobEncoder(std::string_view job_bytes, ScreenForm form,
             std::size_t capacity = kScreenTextCapacity);

  bool GetDone() const { return position_ >= data_.size(); }
  // The next data screen; empty once every byte has been encoded.
  std::string NextScreen();

  // Job bytes covered by the screens made so far (NUL bytes not counted).
  std::size_t BytesEncoded() const { return position_; }
  std::size_t BytesTotal() const { return data_.size(); }
  // A NUL byte ends the client's block text, so it cannot travel; such bytes
  // are left out and counted here.
  std::size_t NulBytesLeftOut() const { return nul_bytes_; }

 private:
  struct Cell {
    int cost;
    uint32_t from;
    uint8_t from_table;
    uint8_t kind;
  };

  Cell& GetCell(std::size_t i, int table) { return cells_[i * 4 + table]; }
  void PrepareCells(std::size_t upto);
  std::size_t RunLength(const uint8_t* bytes, std::size_t i, std::size_t window);
  std::string Emit(const uint8_t* bytes, std::size_t end, int end_table);
  // Keeps the cheaper way to reach byte j in a table, within the budget.
  void Relax(std::size_t j, int table, int cost, std::size_t from, int from_table, uint8_t kind);
  // Tries every way on from byte i reached in table t (cells up to the run's
  // end prepared).
  void StepsFrom(const uint8_t* bytes, std::size_t i, std::size_t window, const bool (&in_table)[4],
                 int t);

  std::vector<uint8_t> data_;
  ScreenForm form_;
  std::size_t capacity_;
  std::size_t position_ = 0;
  std::size_t nul_bytes_ = 0;

  std::vector<Cell> cells_;
  std::size_t prepared_ = 0;
  // The character for each byte in each shift table (0: none), looked up for
  // every byte and table the search tries.
  std::array<std::array<char, 256>, 4> characters_{};
  std::size_t run_start_ = 0, run_end_ = 0;
  int budget_ = 0;         // characters the screen's text may take
  std::size_t reach_ = 0;  // the furthest byte reached within the budget
};

// The screen that ends a job: it decodes to the end marker "$-+ENDPRINT+-$".
std::string EndMarkerScreen(ScreenForm form);

}  // namespace hostsim
