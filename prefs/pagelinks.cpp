#include "prefs/pagelinks.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalBlocker>
#include <QTableWidget>

#include "commands/winlirc.h"
#include "prefs/associations.h"

void LinkRemoteStatus(TWinLIRCClient& client, QLabel* panel) {
  auto show = [panel = QPointer<QLabel>(panel)](const QString& text) {
    if (panel && !text.isEmpty()) panel->setText(text);
  };
  QObject::connect(&client, &TWinLIRCClient::StatusChanged, panel, show);
  show(client.StatusText());
}

std::function<bool(const QString&)> GridLearner(QTableWidget* grid, int remoteColumn,
                                                std::function<void(int, const QString&)> store) {
  return [grid = QPointer<QTableWidget>(grid), remoteColumn, store](const QString& name) {
    if (!grid || !grid->window()->isVisible() || grid->window()->focusWidget() != grid) return false;
    if (grid->currentColumn() != remoteColumn || grid->currentRow() < 0) return false;
    const int row = grid->currentRow();
    store(row, name);
    if (!grid->item(row, remoteColumn)) grid->setItem(row, remoteColumn, new QTableWidgetItem);
    grid->item(row, remoteColumn)->setText(name);
    return true;
  };
}

void ShowFileTypeMarks(const TFileAssociations& associations, QListWidget* list) {
  const QSignalBlocker quiet(list);
  for (int i = 0; i < FileTypeCount && i < list->count(); ++i) {
    QListWidgetItem* item = list->item(i);
    Qt::ItemFlags flags = item->flags();
    flags.setFlag(Qt::ItemIsUserCheckable, associations.Associable(i));
    item->setFlags(flags);
    item->setCheckState(associations.Checked(i) ? Qt::Checked : Qt::Unchecked);
  }
}

void LinkFileTypeList(TFileAssociations& associations, QListWidget* list) {
  QObject::connect(list, &QListWidget::itemChanged, list, [&associations, list](QListWidgetItem* item) {
    associations.SetChecked(list->row(item), item->checkState() == Qt::Checked);
    ShowFileTypeMarks(associations, list);
  });
  ShowFileTypeMarks(associations, list);
}

void SelectFileTypeGroup(TFileAssociations& associations, QListWidget* list, TFileGroup group) {
  associations.SelectGroup(group);
  ShowFileTypeMarks(associations, list);
}
