#include "AlignedStringGrid.h"

#include "form.h"
#include "handle.h"
#include "scaling.h"

namespace {

constexpr int kInitialCols = 5;
constexpr int kInitialRows = 5;

RECT BoundsOf(const forms::ComponentDesign& d) { return RECT{d.left, d.top, d.left + d.width, d.top + d.height}; }

}  // namespace

TAlignedStringGrid::TAlignedStringGrid(forms::Form* owner, const forms::ComponentDesign& design,
                                       forms::Container* parent)
    : GraphicControl(owner, design.name, forms::Kind::Custom, parent, BoundsOf(design)) {
  SetSize(kInitialCols, kInitialRows);
  const std::string text = design.text ? design.text : "";
  int row = 0;
  size_t start = 0;
  while (!text.empty() && start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    int col = 0;
    size_t cellStart = 0;
    while (cellStart <= line.size()) {
      size_t tab = line.find('\t', cellStart);
      if (tab == std::string::npos) tab = line.size();
      SetCell(col++, row, line.substr(cellStart, tab - cellStart));
      cellStart = tab + 1;
    }
    ++row;
    start = end + 1;
  }
}

std::string TAlignedStringGrid::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
  return cells_[size_t(row) * size_t(colCount_) + size_t(col)];
}

void TAlignedStringGrid::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  cells_[size_t(row) * size_t(colCount_) + size_t(col)] = text;
  Invalidate();
}

void TAlignedStringGrid::SetSize(int colCount, int rowCount) {
  colCount = colCount < 0 ? 0 : colCount;
  rowCount = rowCount < 0 ? 0 : rowCount;
  std::vector<std::string> cells(size_t(colCount) * size_t(rowCount));
  for (int r = 0; r < rowCount && r < rowCount_; ++r)
    for (int c = 0; c < colCount && c < colCount_; ++c)
      cells[size_t(r) * size_t(colCount) + size_t(c)] = std::move(cells_[size_t(r) * size_t(colCount_) + size_t(c)]);
  cells_ = std::move(cells);
  colCount_ = colCount;
  rowCount_ = rowCount;
  Invalidate();
}

void TAlignedStringGrid::Paint(HDC dc, const RECT& bounds) {
  ::FillRect(dc, &bounds, ::GetSysColorBrush(COLOR_WINDOW));
  platform::SelectGuard font(dc, OwnerForm()->Font());
  platform::SelectGuard pen(dc, ::GetStockObject(BLACK_PEN));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  const int colWidth = forms::Scale(kDefaultColWidth), rowHeight = forms::Scale(kDefaultRowHeight);
  for (int r = 0; r < rowCount_; ++r) {
    for (int c = 0; c < colCount_; ++c) {
      RECT cell{bounds.left + c * colWidth, bounds.top + r * rowHeight, bounds.left + (c + 1) * colWidth,
                bounds.top + (r + 1) * rowHeight};
      if (cell.left >= bounds.right || cell.top >= bounds.bottom) continue;
      // The first row and column are the fixed headings.
      if (r == 0 || c == 0) ::FillRect(dc, &cell, ::GetSysColorBrush(COLOR_BTNFACE));
      ::MoveToEx(dc, cell.right - 1, cell.top, nullptr);
      ::LineTo(dc, cell.right - 1, cell.bottom - 1);
      ::LineTo(dc, cell.left - 1, cell.bottom - 1);
      RECT textRect{cell.left + 2, cell.top, cell.right - 2, cell.bottom};
      const std::string& text = cells_[size_t(r) * size_t(colCount_) + size_t(c)];
      ::DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
}

std::unique_ptr<TAlignedStringGrid> CreateAlignedStringGrid(forms::Form* owner, const forms::ComponentDesign& design,
                                                            forms::Container* parent) {
  return std::make_unique<TAlignedStringGrid>(owner, design, parent);
}
