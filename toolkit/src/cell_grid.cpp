#include "toolkit/cell.h"
#include "toolkit/utf8.h"

namespace tk {

CellGrid::CellGrid(Size size, Cell fill) { Resize(size, fill); }

void CellGrid::Resize(Size size, Cell fill) {
  if (size.cols < 0) size.cols = 0;
  if (size.rows < 0) size.rows = 0;
  size_ = size;
  cells_.assign(static_cast<size_t>(size.cols) * static_cast<size_t>(size.rows), fill);
}

void CellGrid::Fill(Cell fill) { cells_.assign(cells_.size(), fill); }

const Cell& CellGrid::At(int x, int y) const {
  static const Cell kBlank{};
  if (!InRange(x, y)) return kBlank;
  return cells_[static_cast<size_t>(y) * size_.cols + x];
}

void CellGrid::Set(int x, int y, Cell c) {
  if (InRange(x, y)) cells_[static_cast<size_t>(y) * size_.cols + x] = c;
}

std::string CellGrid::RowText(int y) const {
  std::string out;
  for (int x = 0; x < size_.cols; ++x) AppendUtf8(out, At(x, y).ch);
  return out;
}

}  // namespace tk
