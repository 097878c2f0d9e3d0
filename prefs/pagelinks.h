#pragma once
#include <QString>
#include <functional>

#include "prefs/filetypes.h"

class QLabel;
class QListWidget;
class QTableWidget;
class TFileAssociations;
class TWinLIRCClient;

// What ties the preferences pages to the remote client and the file-type
// associations. The pages own their controls; these functions only read
// and write them, so they serve whatever page holds such controls.

// The status panel shows the client's state as it changes: the connected
// text, an error text or the last line received. Until the client reports
// anything the panel keeps its own caption ("Нет соединения").
void LinkRemoteStatus(TWinLIRCClient& client, QLabel* panel);

// A learner for the client: while the grid's window is shown, its focused
// control is the grid and the grid's current column is the remote column,
// a button name goes into the current cell (store writes it to the key map
// for the row's command) and no command runs. Safe after the grid is gone.
std::function<bool(const QString&)> GridLearner(QTableWidget* grid, int remoteColumn,
                                                std::function<void(int row, const QString& name)> store);

// The check list shows the associations' marks; an item whose extension has
// no type on this system cannot be checked. A click on an item marks or
// clears its whole type, and the list shows the marks again.
void ShowFileTypeMarks(const TFileAssociations& associations, QListWidget* list);
void LinkFileTypeList(TFileAssociations& associations, QListWidget* list);
// A group button: the associations select the group, the list shows it.
void SelectFileTypeGroup(TFileAssociations& associations, QListWidget* list, TFileGroup group);
