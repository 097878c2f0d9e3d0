#include <gtest/gtest.h>

#include "tests/playlist/fakes.h"

namespace {

class PlayListOps : public ::testing::Test, public TPlayListFixture {};

TEST_F(PlayListOps, AddFileShowsTheGridAndClearResetsEverything) {
  AddNumbered(3);
  EXPECT_EQ(list.Item(0).Title, QStringLiteral("f0"));
  EXPECT_EQ(grid.rowCount, 3);
  EXPECT_TRUE(grid.visible);

  list.SetCurrentItem(2);
  Select(1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.CurrentItem(), -1);
  EXPECT_EQ(list.SelectedItem(), 0);
  EXPECT_EQ(list.SelectedBookmark(), -1);
  EXPECT_EQ(grid.rowCount, 0);
  EXPECT_FALSE(grid.visible);
}

TEST_F(PlayListOps, CurrentIndexOutsideTheListLeavesNoCurrentEntry) {
  AddNumbered(3);
  list.SetCurrentItem(2);
  EXPECT_EQ(list.CurrentItem(), 2);
  list.SetCurrentItem(3);
  EXPECT_EQ(list.CurrentItem(), -1);
  EXPECT_EQ(list.CurrentTitle(), QString());
  list.SetCurrentItem(-7);
  EXPECT_EQ(list.CurrentItem(), -1);
  // With no current entry the next file is the first one.
  list.PlayNext();
  EXPECT_EQ(owner.opened, QStringList{QStringLiteral("/v/f0.avi")});
}

TEST_F(PlayListOps, PlayNextAndPreviousStopOrWrapAtTheEnds) {
  AddNumbered(3);
  list.SetCurrentItem(2);
  list.PlayNext();
  EXPECT_EQ(list.CurrentItem(), 2);
  EXPECT_TRUE(owner.opened.isEmpty());

  owner.repeat = true;
  list.PlayNext();
  EXPECT_EQ(list.CurrentItem(), 0);
  EXPECT_EQ(owner.opened.last(), QStringLiteral("/v/f0.avi"));
  EXPECT_EQ(owner.played.last(), QStringLiteral("/v/f0.avi"));

  owner.repeat = false;
  owner.opened.clear();
  list.PlayPrevious();
  EXPECT_EQ(list.CurrentItem(), 0);
  EXPECT_TRUE(owner.opened.isEmpty());
  owner.repeat = true;
  list.PlayPrevious();
  EXPECT_EQ(list.CurrentItem(), 2);
  EXPECT_EQ(owner.opened.last(), QStringLiteral("/v/f2.avi"));

  TPlayList empty(&owner);
  empty.PlayNext();
  empty.PlayPrevious();
  EXPECT_EQ(empty.CurrentItem(), -1);
}

TEST_F(PlayListOps, PlayCurrentSeeksToStartAndPlaysOnlyAnOpenFile) {
  AddNumbered(2);
  owner.broken << QStringLiteral("/v/f0.avi");
  list.PlayCurrent();
  EXPECT_EQ(list.CurrentItem(), 0);
  EXPECT_EQ(owner.opened, QStringList{QStringLiteral("/v/f0.avi")});
  EXPECT_TRUE(owner.played.isEmpty());
  // A broken file keeps its entry and stays current.
  EXPECT_EQ(list.Count(), 2);

  list.PlayNext();
  EXPECT_EQ(owner.played, QStringList{QStringLiteral("/v/f1.avi")});
  EXPECT_EQ(owner.positions.back(), 0);
  EXPECT_EQ(list.CurrentTitle(), QStringLiteral("f1"));
}

TEST_F(PlayListOps, PlaySelectedReopensOnlyAnotherEntryAndSeeksToItsBookmark) {
  AddNumbered(2);
  list.SetCurrentItem(1);
  list.PlayCurrent();
  list.AddBookmark(50000000);
  list.AddBookmark(20000000);
  owner.opened.clear();

  // Rows: f0, f1, [2 s], [5 s]; the current file's bookmark seeks without reopening.
  Select(3);
  list.PlaySelected();
  EXPECT_TRUE(owner.opened.isEmpty());
  EXPECT_EQ(owner.positions.back(), 50000000);

  Select(0);
  list.PlaySelected();
  EXPECT_EQ(owner.opened, QStringList{QStringLiteral("/v/f0.avi")});
  EXPECT_EQ(list.CurrentItem(), 0);
  EXPECT_EQ(owner.positions.back(), 0);
  EXPECT_EQ(owner.played.last(), QStringLiteral("/v/f0.avi"));

  // Nothing open: the selected entry is opened even when it is current.
  owner.openFile.clear();
  list.PlaySelected();
  EXPECT_EQ(owner.opened.size(), 2);

  // The list emptied while its file plays on: back to the start of that file.
  list.Clear();
  owner.positions.clear();
  owner.played.clear();
  list.PlaySelected();
  EXPECT_EQ(owner.opened.size(), 2);
  EXPECT_EQ(owner.positions, std::vector<qint64>{0});
  EXPECT_EQ(owner.played, QStringList{QStringLiteral("/v/f0.avi")});
}

TEST_F(PlayListOps, DeleteSelectedKeepsCurrentPointingAtTheSameFile) {
  AddNumbered(4);
  list.SetCurrentItem(2);
  Select(0);
  list.DeleteSelected();
  EXPECT_EQ(list.CurrentItem(), 1);
  EXPECT_EQ(list.Item(1).FileName, QStringLiteral("/v/f2.avi"));

  // Deleting the current entry leaves none; the next file is then the first.
  Select(1);
  list.DeleteSelected();
  EXPECT_EQ(list.CurrentItem(), -1);
  list.PlayNext();
  EXPECT_EQ(owner.opened.last(), QStringLiteral("/v/f1.avi"));

  // Deleting the last row selects the new last row.
  Select(list.Count() - 1);
  list.DeleteSelected();
  EXPECT_EQ(list.SelectedItem(), list.Count() - 1);
  EXPECT_EQ(grid.selectedRow, list.Count() - 1);
}

TEST_F(PlayListOps, DeletingABookmarkSelectsTheLastRemainingOneThenTheEntry) {
  AddNumbered(1);
  list.SetCurrentItem(0);
  for (qint64 t : {30000000LL, 10000000LL, 20000000LL}) list.AddBookmark(t);
  Select(1);  // the earliest bookmark
  list.DeleteSelected();
  ASSERT_EQ(list.Item(0).Bookmarks.size(), 2u);
  EXPECT_EQ(list.Item(0).Bookmarks[0].Time, 20000000);
  EXPECT_EQ(list.SelectedBookmark(), 1);
  EXPECT_EQ(grid.selectedRow, 2);
  list.DeleteSelected();
  list.DeleteSelected();
  EXPECT_EQ(list.SelectedBookmark(), -1);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.Item(0).Bookmarks.empty());
}

TEST_F(PlayListOps, MovesAndExchangeCarryCurrentAndSelection) {
  AddNumbered(3);
  list.SetCurrentItem(0);
  Select(0);
  list.MoveDown();
  EXPECT_EQ(Files(), (QStringList{"/v/f1.avi", "/v/f0.avi", "/v/f2.avi"}));
  EXPECT_EQ(list.CurrentItem(), 1);
  EXPECT_EQ(list.SelectedItem(), 1);
  list.MoveDown();
  list.MoveDown();  // already last: nothing
  EXPECT_EQ(Files(), (QStringList{"/v/f1.avi", "/v/f2.avi", "/v/f0.avi"}));
  EXPECT_EQ(list.CurrentItem(), 2);
  list.MoveUp();
  EXPECT_EQ(list.SelectedItem(), 1);
  EXPECT_EQ(list.CurrentItem(), 1);

  list.Exchange(0, 3);  // out of range
  list.Exchange(1, 1);
  EXPECT_EQ(Files(), (QStringList{"/v/f1.avi", "/v/f0.avi", "/v/f2.avi"}));
}

TEST_F(PlayListOps, ShuffleIsAPermutationThatKeepsTheCurrentFile) {
  list.AddFile(QStringLiteral("/v/only.avi"));
  list.SetCurrentItem(0);
  list.ShuffleWithKey(1);
  EXPECT_EQ(list.CurrentItem(), 0);

  list.Clear();
  AddNumbered(40);
  list.SetCurrentItem(7);
  Select(12);
  const QStringList before = Files();
  list.ShuffleWithKey(12345);
  QStringList after = Files();
  EXPECT_NE(after, before);
  EXPECT_EQ(list.Item(list.CurrentItem()).FileName, QStringLiteral("/v/f7.avi"));
  EXPECT_EQ(list.Item(list.SelectedItem()).FileName, QStringLiteral("/v/f12.avi"));
  after.sort();
  QStringList sorted = before;
  sorted.sort();
  EXPECT_EQ(after, sorted);
}

TEST_F(PlayListOps, BookmarksAreNamedSortedAndPushedToTheSeekBar) {
  AddNumbered(2);
  list.AddBookmark(10);  // no current entry: ignored
  EXPECT_TRUE(list.Item(0).Bookmarks.empty());

  list.SetCurrentItem(1);
  const qint64 t = (12 * 60 + 7) * 10000000LL + 400000;
  list.AddBookmark(t);
  list.AddBookmark(5);
  list.AddBookmark(t);
  const auto& marks = list.Item(1).Bookmarks;
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(marks[0].Time, 5);
  EXPECT_EQ(marks[1].Name, QStringLiteral("[ 00:12:07 ]"));
  EXPECT_EQ(marks[2].Time, t);  // equal times both stay
  EXPECT_EQ(owner.marks, (std::map<int, qint64>{{0, 5}, {1, t}, {2, t}}));

  // Only the current entry's marks, every one of them in time order: the
  // seek bar, not the playlist, keeps the first hundred.
  list.SetCurrentItem(0);
  for (int i = 119; i >= 0; --i) list.AddBookmark(1000 + i);
  ASSERT_EQ(owner.marks.size(), 120u);
  EXPECT_EQ(owner.marks.begin()->first, 0);
  EXPECT_EQ(owner.marks.at(0), 1000);
  EXPECT_EQ(owner.marks.at(119), 1119);
}

TEST_F(PlayListOps, ExchangeSortOrdersSignedTimesAndMayReorderEqualOnes) {
  list.LoadFromData("/v/a.avi\r\n>B 00:00:05.000 a\r\n>B -1:00:00.000 neg\r\n"
                    ">B 00:00:05.000 b\r\n>B 00:00:01.000 c\r\n");
  list.SortBookmarks(0);
  QStringList names;
  for (const TBookMark& m : list.Item(0).Bookmarks) names << m.Name;
  // "a" is swapped behind "b" by way of "c": equal times keep no fixed order.
  EXPECT_EQ(names, (QStringList{"neg", "c", "b", "a"}));
  list.SortBookmarks(5);  // no such entry
}

}  // namespace
