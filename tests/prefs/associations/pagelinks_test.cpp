#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "commands/keymap.h"
#include "commands/winlirc.h"
#include "prefs/associations.h"
#include "prefs/pagelinks.h"
#include "tests/support/tempenv.h"

TEST(PageLinks, StatusPanelFollowsTheClientAndTheGridLearnsOnlyOnItsRemoteColumn) {
  TKeyMap map;
  TWinLIRCClient client(map);
  QWidget page;
  auto* layout = new QVBoxLayout(&page);
  auto* panel = new QLabel("Нет соединения");
  auto* grid = new QTableWidget(61, 3);
  auto* other = new QLabel;
  other->setFocusPolicy(Qt::StrongFocus);
  layout->addWidget(panel);
  layout->addWidget(grid);
  layout->addWidget(other);
  LinkRemoteStatus(client, panel);
  EXPECT_EQ(panel->text(), "Нет соединения");
  client.PostCommand = [](int) {};
  QList<QPair<int, QString>> stored;
  client.Learner = GridLearner(grid, 2, [&](int row, const QString& name) { stored.append({row, name}); });

  page.show();
  grid->setFocus();
  grid->setCurrentCell(cmPlay, 1);
  client.Receive("1 00 Play r\n");
  EXPECT_TRUE(stored.isEmpty());  // a key column does not learn
  EXPECT_EQ(panel->text(), "1 00 Play r");
  grid->setCurrentCell(cmPlay, 2);
  client.Receive("1 00 OK r\n");
  ASSERT_EQ(stored.size(), 1);
  EXPECT_EQ(stored[0], qMakePair(int(cmPlay), QString("OK")));
  EXPECT_EQ(grid->item(cmPlay, 2)->text(), "OK");
  other->setFocus();
  client.Receive("1 00 Menu r\n");
  EXPECT_EQ(stored.size(), 1);
  page.hide();
  grid->setFocus();
  client.Receive("1 00 Menu r\n");
  EXPECT_EQ(stored.size(), 1);
  delete grid;
  client.Receive("1 00 Menu r\n");  // the grid is gone: nothing to learn into
  EXPECT_EQ(panel->text(), "1 00 Menu r");
}

TEST(PageLinks, CheckListMarksWholeTypesAndGroups) {
  TPrivateHome home;
  TFileAssociations a("/usr/bin/kelvara");
  QListWidget list;
  for (const TFileType& t : FileTypes()) {
    auto* item = new QListWidgetItem(QString::fromLatin1(t.Text), &list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
  }
  LinkFileTypeList(a, &list);
  EXPECT_FALSE(list.item(3)->flags() & Qt::ItemIsUserCheckable);  // DAT: no type here
  list.item(11)->setCheckState(Qt::Checked);                      // MPG
  for (int i : {9, 10, 11, 13}) EXPECT_EQ(list.item(i)->checkState(), Qt::Checked) << i;
  list.item(13)->setCheckState(Qt::Unchecked);  // VOB clears the whole type
  EXPECT_EQ(list.item(11)->checkState(), Qt::Unchecked);
  SelectFileTypeGroup(a, &list, TFileGroup::Audio);
  for (int i = 0; i < FileTypeCount; ++i)
    EXPECT_EQ(list.item(i)->checkState() == Qt::Checked, i == 0 || i == 21 || i == 23 || i == 26) << i;
}
