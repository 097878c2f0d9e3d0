#include <gtest/gtest.h>

#include <QTest>

#include "commands/keymap.h"
#include "lang/langs.h"
#include "prefs/keygrid.h"

namespace {

class KeyGrid : public ::testing::Test {
 protected:
  void SetUp() override {
    map_.ApplyPreset(TKeyPreset::Default);
    grid_.Bind(&map_, [this] { return multiKeys_; });
  }
  // Selects the cell of a command in a grid column (1 window, 2 full screen, 3 remote).
  void Select(int id, int column) { grid_.SetCurrentGridCell(id + 1, column); }
  void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&grid_, Qt::Key(key), mods); }

  TKeyMap map_;
  bool multiKeys_ = false;
  TKeyGrid grid_;
};

}  // namespace

TEST_F(KeyGrid, ShowsHeaderNamesAndCells) {
  EXPECT_EQ(grid_.GridRowCount(), 62);
  EXPECT_EQ(grid_.GridCell(0, 0), "");
  EXPECT_EQ(grid_.GridCell(0, 1), "Window");
  EXPECT_EQ(grid_.GridCell(0, 2), "Full-Scr");
  EXPECT_EQ(grid_.GridCell(0, 3), "WinLIRC");
  EXPECT_EQ(grid_.GridCell(1, 0), "Загрузить файл");
  EXPECT_EQ(grid_.GridCell(61, 0), "Выключить компьютер");
  EXPECT_EQ(grid_.GridCell(1, 1), "F3");
  EXPECT_EQ(grid_.GridCell(cmExit + 1, 3), "Power");
  EXPECT_EQ(grid_.columnWidth(0), 72);
  EXPECT_EQ(grid_.rowHeight(0), 16);
}

TEST_F(KeyGrid, CaptureWithoutMultiKeysTakesTheKeyFromTheSameColumnOnly) {
  Select(cmStop, 1);
  Press(Qt::Key_F3);
  EXPECT_EQ(map_.Cell(cmStop, TKeyColumn::Window), "F3");
  EXPECT_EQ(map_.Cell(cmLoadFiles, TKeyColumn::Window), "");
  EXPECT_EQ(map_.Cell(cmLoadFiles, TKeyColumn::FullScreen), "F3");
  EXPECT_EQ(grid_.GridCell(cmLoadFiles + 1, 1), "");  // the grid shows it at once
  EXPECT_EQ(map_.Lookup(TKeyColumn::Window, "F3"), (std::vector<int>{cmStop}));
}

TEST_F(KeyGrid, CaptureWithMultiKeysLeavesOtherRowsBound) {
  multiKeys_ = true;
  Select(cmStop, 1);
  Press(Qt::Key_F3);
  EXPECT_EQ(map_.Lookup(TKeyColumn::Window, "F3"), (std::vector<int>{cmLoadFiles, cmStop}));
}

TEST_F(KeyGrid, RemoteColumnIsNotTypeable) {
  Select(cmStop, 3);
  Press(Qt::Key_A);
  EXPECT_EQ(map_.Cell(cmStop, TKeyColumn::Remote), "Stop");
  EXPECT_EQ(map_.Lookup(TKeyColumn::Window, "A"), std::vector<int>{});
}

TEST_F(KeyGrid, ModifierAloneThenModifiedKeyInTheSameCell) {
  Select(cmPlay, 1);
  Press(Qt::Key_Control);
  EXPECT_EQ(map_.Cell(cmPlay, TKeyColumn::Window), "Ctrl+");
  grid_.SetCurrentGridCell(cmPlay + 1, 1);
  Press(Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(map_.Cell(cmPlay, TKeyColumn::Window), "Ctrl+Right");
  // Ctrl+Right belonged to "One frame step" in this column.
  EXPECT_EQ(map_.Cell(cmFrameStep, TKeyColumn::Window), "");
  EXPECT_EQ(map_.Cell(cmFrameStep, TKeyColumn::FullScreen), "Ctrl+Right");
}

TEST_F(KeyGrid, RecordedNavigationKeyAlsoMovesTheSelection) {
  Select(cmStop, 1);
  Press(Qt::Key_Down);
  EXPECT_EQ(map_.Cell(cmStop, TKeyColumn::Window), "Down");
  EXPECT_EQ(grid_.CurrentGridRow(), cmStop + 2);
  Press(Qt::Key_Right);
  EXPECT_EQ(map_.Cell(cmStop + 1, TKeyColumn::Window), "Right");
  EXPECT_EQ(grid_.CurrentGridColumn(), 2);
  // Letters are keys to record, never a search that jumps elsewhere.
  Press(Qt::Key_S);
  EXPECT_EQ(map_.Cell(cmStop + 1, TKeyColumn::FullScreen), "S");
  EXPECT_EQ(grid_.CurrentGridRow(), cmStop + 2);
}

TEST_F(KeyGrid, ClearEmptiesTheCurrentCellInAnyColumn) {
  Select(cmExit, 3);
  grid_.ClearCurrent();
  EXPECT_EQ(map_.Cell(cmExit, TKeyColumn::Remote), "");
  EXPECT_EQ(map_.Cell(cmExit, TKeyColumn::Window), "Escape");
  EXPECT_EQ(grid_.GridCell(cmExit + 1, 3), "");
}

TEST_F(KeyGrid, NamesFollowTheLanguage) {
  ApplyLanguage(lcEnglish);
  grid_.Refresh();
  EXPECT_EQ(grid_.GridCell(1, 0), "Load file(s)");
  EXPECT_EQ(grid_.GridCell(0, 1), "Window");
  ApplyLanguage(lcRussian);
  grid_.Refresh();
  EXPECT_EQ(grid_.GridCell(1, 0), "Загрузить файл");
}
