#pragma once
#include <QTableWidget>
#include <functional>

class TKeyMap;

// The key grid `sgCommands`: a view of the key map with one row per command
// under a header row, the command names in a fixed first column and one
// column per key-map column. Cells change only by key capture and the
// page's buttons, never by typing into them.
//
// Grid coordinates count the fixed row and column: row n + 1 is command n,
// columns 1..3 are window key, full-screen key and remote button.
class TKeyGrid : public QTableWidget {
 public:
  explicit TKeyGrid(QWidget* parent = nullptr);

  // The map it shows and edits, and the live MultiKeys setting.
  void Bind(TKeyMap* keyMap, std::function<bool()> multiKeys);

  // Header row, names in the language in use, every cell from the map.
  void Refresh();

  int GridRowCount() const { return rowCount() + 1; }
  QString GridCell(int row, int column) const;
  // The current cell in grid coordinates; (0, 0) when there is none.
  int CurrentGridRow() const { return currentRow() + 1; }
  int CurrentGridColumn() const { return currentColumn() + 1; }
  void SetCurrentGridCell(int row, int column) { setCurrentCell(row - 1, column - 1); }

  // "Очистить": empties the current cell, whatever its column.
  void ClearCurrent();

 protected:
  bool event(QEvent* e) override;
  void keyboardSearch(const QString&) override {}  // letters are keys to record, not a search

 private:
  void Capture(const class QKeyEvent& e);
  TKeyMap* keyMap_ = nullptr;
  std::function<bool()> multiKeys_;
};
