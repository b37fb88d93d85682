// The analysis grid's table: full-row selection over three columns whose last one fills
// the viewport. Keyboard moves go from row to row with the current cell kept in the first
// column, so Home, End and their Ctrl forms never scroll the serial and the word out of
// sight; Left and Right scroll a long analysis sideways instead of moving the cell.
#pragma once

#include <QTableView>

namespace selvanor {

class AnalysisGrid : public QTableView {
  Q_OBJECT
 public:
  explicit AnalysisGrid(QWidget* parent = nullptr);

  // The fixed widths of the serial and word columns; the analysis takes the rest.
  static constexpr int kSerialWidth = 150;
  static constexpr int kWordWidth = 300;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace selvanor
