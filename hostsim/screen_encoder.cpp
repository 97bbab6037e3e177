#include "hostsim/screen_encoder.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "hostsim/run_length_code.h"
#include "hostsim/shift_tables.h"

namespace hostsim {
namespace {

constexpr int kInfinity = std::numeric_limits<int>::max() / 2;
constexpr int kSemicolon = static_cast<int>(ShiftTable::kSemicolon);
constexpr int kEquals = static_cast<int>(ShiftTable::kEquals);
constexpr int kStar = static_cast<int>(ShiftTable::kStar);

// How the cheapest way into a cell got there.
enum Kind : uint8_t { kLiteral, kNewLine, kRun };

// Characters per byte never exceed what runs of 64 in three characters allow.
constexpr std::size_t kMostBytesPerCharacter = 22;

void Select(std::string& out, int& current, int table) {
  if (current != table) {
    out += ShiftCharacter(static_cast<ShiftTable>(table));
    current = table;
  }
}

std::string WithPrefix(std::string text, ScreenForm form) {
  if (form == ScreenForm::kPlain) {
    // The client cuts trailing blanks, so a blank that ends the screen travels as '{'.
    if (!text.empty() && text.back() == ' ') text.back() = '{';
    return text;
  }
  // A prefixed screen counts as painted only when none of its counted positions is blank.
  std::replace(text.begin(), text.end(), ' ', '{');
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%04zu,", text.size());
  return prefix + text;
}

}  // namespace

JobEncoder::JobEncoder(std::string_view job_bytes, ScreenForm form, std::size_t capacity)
    : form_(form), capacity_(std::max(capacity, kSmallestScreenCapacity)) {
  for (int t = 0; t < 4; ++t)
    for (int b = 0; b < 256; ++b)
      characters_[static_cast<std::size_t>(t)][static_cast<std::size_t>(b)] =
          TableCharacter(static_cast<ShiftTable>(t), static_cast<uint8_t>(b));
  data_.reserve(job_bytes.size());
  for (char c : job_bytes) {
    if (c == 0) {
      ++nul_bytes_;
    } else {
      data_.push_back(static_cast<uint8_t>(c));
    }
  }
}

void JobEncoder::PrepareCells(std::size_t upto) {
  if (cells_.size() < (upto + 1) * 4) cells_.resize((upto + 1) * 4);
  for (; prepared_ <= upto; ++prepared_) {
    for (int t = 0; t < 4; ++t) GetCell(prepared_, t) = Cell{kInfinity, 0, 0, 0};
  }
}

// Length of the run of equal bytes starting at i, at most kLongestRun. The DP
// asks in increasing order, so each run is scanned once.
std::size_t JobEncoder::RunLength(const uint8_t* bytes, std::size_t i, std::size_t window) {
  if (i < run_start_ || i >= run_end_) {
    run_start_ = i;
    run_end_ = i + 1;
    while (run_end_ < window && bytes[run_end_] == bytes[i]) ++run_end_;
  }
  return std::min<std::size_t>(run_end_ - i, kLongestRun);
}

void JobEncoder::Relax(std::size_t j, int table, int cost, std::size_t from, int from_table,
                       uint8_t kind) {
  if (cost > budget_) return;
  Cell& c = GetCell(j, table);
  if (cost < c.cost) {
    c = Cell{cost, static_cast<uint32_t>(from), static_cast<uint8_t>(from_table), kind};
    reach_ = std::max(reach_, j);
  }
}

void JobEncoder::StepsFrom(const uint8_t* bytes, std::size_t i, std::size_t window,
                           const bool (&in_table)[4], int t) {
  const int c = GetCell(i, t).cost;
  if (c > budget_) return;
  const uint8_t b = bytes[i];
  const std::size_t run = RunLength(bytes, i, window);
  // A '~' would open a run and a lone 0x15 would become a new line: those travel as runs.
  if (b != kRunMarker && b != kNewLineByte) {
    for (int u = 0; u < 4; ++u) {
      if (in_table[u]) Relax(i + 1, u, c + 1 + (u != t), i, t, kLiteral);
    }
  }
  if (b == 0x0D && i + 1 < window && bytes[i + 1] == 0x0A) {
    Relax(i + 2, kStar, c + 1 + (t != kStar), i, t, kNewLine);
  }
  if (run >= 2 || b == kRunMarker || b == kNewLineByte) {
    // '~' exists only in the '*' table; counts below 64 only in the '=' table,
    // and a second '~' (outside the count alphabet) counts 64.
    const int marker = c + (t != kStar) + 1;
    const int counted = run == kLongestRun ? marker + 1 : marker + 2;
    const int count_table = run == kLongestRun ? kStar : kEquals;
    for (int u = 0; u < 4; ++u) {
      if (in_table[u]) Relax(i + run, u, counted + (u != count_table) + 1, i, t, kRun);
    }
  }
}

std::string JobEncoder::NextScreen() {
  if (GetDone()) return {};
  const std::size_t prefix = form_ == ScreenForm::kLengthPrefixed ? kLengthPrefixWidth : 0;
  budget_ = static_cast<int>(capacity_ - prefix);
  const uint8_t* bytes = data_.data() + position_;
  const std::size_t window = std::min(data_.size() - position_,
                                      static_cast<std::size_t>(budget_) * kMostBytesPerCharacter);

  prepared_ = 0;
  run_start_ = run_end_ = 0;
  PrepareCells(0);
  GetCell(0, kSemicolon).cost = 0;
  reach_ = 0;

  // Cheapest characters for every prefix of the window, per table in force at its end;
  // cells up to a run's end are prepared before a step reaches them.
  for (std::size_t i = 0; i <= reach_ && i < window; ++i) {
    bool in_table[4];
    for (int u = 0; u < 4; ++u) in_table[u] = characters_[u][bytes[i]] != 0;
    PrepareCells(i + std::max<std::size_t>(RunLength(bytes, i, window), 2));
    for (int t = 0; t < 4; ++t) StepsFrom(bytes, i, window, in_table, t);
  }

  int end_table = 0;
  for (int t = 1; t < 4; ++t) {
    if (GetCell(reach_, t).cost < GetCell(reach_, end_table).cost) end_table = t;
  }
  std::string text = Emit(bytes, reach_, end_table);
  position_ += reach_;
  return WithPrefix(std::move(text), form_);
}

std::string JobEncoder::Emit(const uint8_t* bytes, std::size_t end, int end_table) {
  struct Step {
    std::size_t from, to;
    int table;
    uint8_t kind;
  };
  std::vector<Step> steps;
  for (std::size_t i = end; i > 0;) {
    const Cell& c = GetCell(i, end_table);
    steps.push_back(Step{c.from, i, end_table, c.kind});
    end_table = c.from_table;
    i = c.from;
  }
  std::string out;
  int current = kSemicolon;
  for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
    const uint8_t b = bytes[s->from];
    switch (s->kind) {
      case kLiteral:
        Select(out, current, s->table);
        out += characters_[s->table][b];
        break;
      case kNewLine:
        Select(out, current, kStar);
        out += characters_[kStar][kNewLineByte];
        break;
      case kRun: {
        const int count = static_cast<int>(s->to - s->from);
        Select(out, current, kStar);
        out += characters_[kStar][kRunMarker];
        if (count == kLongestRun) {
          out += characters_[kStar][kRunMarker];
        } else {
          Select(out, current, kEquals);
          out += characters_[kEquals][RunCountByte(count)];
        }
        Select(out, current, s->table);
        out += characters_[s->table][b];
        break;
      }
    }
  }
  return out;
}

std::string EndMarkerScreen(ScreenForm form) {
  // '$' has an entry only in the apostrophe table; the rest reads as itself in '='.
  return WithPrefix("'4=-+ENDPRINT+-'4", form);
}

}  // namespace hostsim
