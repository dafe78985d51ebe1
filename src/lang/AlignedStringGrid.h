// A string grid whose heading row and column the localisation can fill. It draws its cells
// with the first row and column as fixed headings.
#pragma once

#include "component.h"

#include <memory>
#include <string>
#include <vector>

class TAlignedStringGrid : public forms::GraphicControl, private forms::CellGrid {
 public:
  // Column width and row height in pixels of the design.
  static constexpr int kDefaultColWidth = 64;
  static constexpr int kDefaultRowHeight = 24;

  // The design row's text, when not empty, fills the cells: rows separated by "\n", cells
  // of a row by "\t". The grid starts with 5 columns and 5 rows.
  TAlignedStringGrid(forms::Form* owner, const forms::ComponentDesign& design, forms::Container* parent);

  forms::CellGrid* Cells() override { return this; }
  int ColCount() const override { return colCount_; }
  int RowCount() const override { return rowCount_; }
  std::string Cell(int col, int row) const override;
  // Cells outside the grid are ignored.
  void SetCell(int col, int row, const std::string& text) override;
  // Cells keep their text where the new size still holds them.
  void SetSize(int colCount, int rowCount);

  void Paint(HDC dc, const RECT& bounds) override;

 private:
  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<std::string> cells_;  // row by row
};

std::unique_ptr<TAlignedStringGrid> CreateAlignedStringGrid(forms::Form* owner, const forms::ComponentDesign& design,
                                                            forms::Container* parent);
