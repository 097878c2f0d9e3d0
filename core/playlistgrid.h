#pragma once
#include <QAbstractScrollArea>
#include <functional>

#include "playlist/playlistview.h"

class TPlayList;

// The playlist panel's grid: one 900-pixel column of 15-pixel rows on black,
// every cell drawn by the playlist, a vertical scroll bar only.
class TPlayListGrid : public QAbstractScrollArea, public TPlayListView {
 public:
  static constexpr int RowHeight = 15;
  static constexpr int ColumnWidth = 900;

  explicit TPlayListGrid(QWidget* parent = nullptr);
  void SetPlayList(TPlayList* list) { list_ = list; }
  std::function<void()> OnDoubleClick;

  int RowCount() const { return rows_; }
  int SelectedRow() const { return selected_; }
  // The row under a point of the viewport, -1 below the last row.
  int RowAt(int y) const;

  // TPlayListView
  void SetRowCount(int rows) override;
  void SetSelectedRow(int row) override;
  void Repaint() override { viewport()->update(); }
  void SetVisible(bool visible) override { setVisible(visible); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void UpdateScrollBar();
  void Select(int row);
  TPlayList* list_ = nullptr;
  int rows_ = 0;
  int selected_ = 0;
};
