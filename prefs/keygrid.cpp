#include "prefs/keygrid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "commands/keymap.h"
#include "commands/virtualkeys.h"

TKeyGrid::TKeyGrid(QWidget* parent) : QTableWidget(CommandCount, KeyColumnCount, parent) {
  setObjectName("sgCommands");
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setShowGrid(true);
  setWordWrap(false);
  verticalHeader()->setFixedWidth(160);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(16);
  verticalHeader()->setMinimumSectionSize(16);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setFixedHeight(16);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setHighlightSections(false);
  const int widths[KeyColumnCount] = {72, 65, 47};
  for (int c = 0; c < KeyColumnCount; ++c) setColumnWidth(c, widths[c]);
  for (int r = 0; r < CommandCount; ++r) {
    setRowHeight(r, 16);
    for (int c = 0; c < KeyColumnCount; ++c) {
      auto* item = new QTableWidgetItem;
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      setItem(r, c, item);
    }
  }
  setCurrentCell(0, 0);
}

void TKeyGrid::Bind(TKeyMap* keyMap, std::function<bool()> multiKeys) {
  keyMap_ = keyMap;
  multiKeys_ = std::move(multiKeys);
  Refresh();
}

void TKeyGrid::Refresh() {
  QStringList headers, names;
  for (const char* h : KeyColumnHeaders) headers << QString::fromLatin1(h);
  for (int id = 0; id < CommandCount; ++id) names << CommandName(id);
  setHorizontalHeaderLabels(headers);
  setVerticalHeaderLabels(names);
  if (!keyMap_) return;
  for (int id = 0; id < CommandCount; ++id)
    for (int c = 0; c < KeyColumnCount; ++c) item(id, c)->setText(keyMap_->Cell(id, TKeyColumn(c)));
}

QString TKeyGrid::GridCell(int row, int column) const {
  if (row < 0 || row > rowCount() || column < 0 || column > columnCount()) return QString();
  if (row == 0)
    return column == 0 ? QString() : horizontalHeaderItem(column - 1)->text();
  if (column == 0) return verticalHeaderItem(row - 1)->text();
  return item(row - 1, column - 1)->text();
}

void TKeyGrid::ClearCurrent() {
  if (!keyMap_ || currentRow() < 0 || currentColumn() < 0) return;
  keyMap_->ClearCell(currentRow(), TKeyColumn(currentColumn()));
  Refresh();
}

void TKeyGrid::Capture(const QKeyEvent& e) {
  if (!keyMap_ || currentRow() < 0 || currentColumn() < 0) return;
  const quint16 vk = VirtualKeyFromEvent(e);
  if (vk == 0) return;
  const bool multi = multiKeys_ && multiKeys_();
  if (keyMap_->CaptureKey(currentRow(), TKeyColumn(currentColumn()), vk, ShiftStateFromEvent(e), multi))
    Refresh();
}

bool TKeyGrid::event(QEvent* e) {
  // Recorded before the grid's own handling, which then still runs: an
  // arrow key just recorded also moves the selection, and Tab is recorded
  // before it moves the focus.
  if (e->type() == QEvent::KeyPress) Capture(*static_cast<QKeyEvent*>(e));
  return QTableWidget::event(e);
}
