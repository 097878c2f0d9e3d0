#include "core/playlistgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "playlist/playlist.h"

TPlayListGrid::TPlayListGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("dgPlayList");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFrameShape(QFrame::NoFrame);
  viewport()->setAutoFillBackground(true);
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Window, Qt::black);
  viewport()->setPalette(pal);
  verticalScrollBar()->setTracking(true);
  verticalScrollBar()->setSingleStep(1);
  setFocusPolicy(Qt::StrongFocus);
}

int TPlayListGrid::RowAt(int y) const {
  if (y < 0) return -1;
  const int row = verticalScrollBar()->value() + y / RowHeight;
  return row < rows_ ? row : -1;
}

void TPlayListGrid::SetRowCount(int rows) {
  rows_ = qMax(0, rows);
  if (selected_ >= rows_) selected_ = qMax(0, rows_ - 1);
  UpdateScrollBar();
  viewport()->update();
}

void TPlayListGrid::SetSelectedRow(int row) {
  if (row < 0 || row >= rows_) return;
  selected_ = row;
  // Keep the selected row in view.
  QScrollBar* sb = verticalScrollBar();
  const int visible = qMax(1, viewport()->height() / RowHeight);
  if (row < sb->value()) sb->setValue(row);
  if (row >= sb->value() + visible) sb->setValue(row - visible + 1);
  viewport()->update();
}

void TPlayListGrid::UpdateScrollBar() {
  const int visible = qMax(1, viewport()->height() / RowHeight);
  verticalScrollBar()->setRange(0, qMax(0, rows_ - visible));
  verticalScrollBar()->setPageStep(visible);
}

void TPlayListGrid::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBar();
}

void TPlayListGrid::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), Qt::black);
  if (!list_) return;
  const int first = verticalScrollBar()->value();
  const int last = qMin(rows_ - 1, first + viewport()->height() / RowHeight + 1);
  for (int row = first; row <= last; ++row) {
    const QRect cell(0, (row - first) * RowHeight, ColumnWidth, RowHeight);
    p.save();
    list_->DrawCell(p, 0, row, cell, row == selected_);
    p.restore();
  }
}

void TPlayListGrid::Select(int row) {
  if (row < 0 || !list_) return;
  bool canSelect = true;
  list_->SelectCell(0, row, canSelect);
  if (canSelect) SetSelectedRow(row);
}

void TPlayListGrid::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) Select(RowAt(e->position().toPoint().y()));
  QAbstractScrollArea::mousePressEvent(e);
}

void TPlayListGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && RowAt(e->position().toPoint().y()) >= 0 && OnDoubleClick)
    OnDoubleClick();
}

// Enter is left to the window's key map (full screen by default): only a
// double click plays an entry.
void TPlayListGrid::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Up: Select(selected_ - 1); break;
    case Qt::Key_Down: Select(qMin(selected_ + 1, rows_ - 1)); break;
    default: QAbstractScrollArea::keyPressEvent(e); return;
  }
}
