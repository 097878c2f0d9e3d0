#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include "tests/playlist/fakes.h"

namespace {

class PlayListRows : public ::testing::Test, public TPlayListFixture {
 protected:
  // Entries with 2, 0 and 1 bookmarks: rows e0 b0 b1 e1 e2 b0.
  void Build() {
    list.LoadFromData("/v/a.avi\r\n>B 00:00:01.000 a1\r\n>B 00:00:02.000 a2\r\n"
                      "/v/b.avi\r\n/v/c.avi\r\n>B 00:00:03.000 c1\r\n");
  }
};

TEST_F(PlayListRows, TreeModeMapsRowsBothWays) {
  Build();
  EXPECT_EQ(list.RowCount(), 6);
  const TPlayListRow expected[] = {{0, -1}, {0, 0}, {0, 1}, {1, -1}, {2, -1}, {2, 0}};
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(list.RowToEntry(row), expected[row]) << row;
    Select(row);
    EXPECT_EQ(list.SelectionRow(), row);
  }
  EXPECT_EQ(list.RowToEntry(6), TPlayListRow{});
  EXPECT_EQ(list.RowToEntry(-1), TPlayListRow{});
}

TEST_F(PlayListRows, FlatModeHidesBookmarkRowsAndSelectsEntries) {
  Build();
  Select(2);  // a2
  list.SetShowTree(false);
  EXPECT_EQ(list.RowCount(), 3);
  EXPECT_EQ(grid.rowCount, 3);
  EXPECT_EQ(list.RowToEntry(2), (TPlayListRow{2, -1}));
  EXPECT_EQ(list.SelectedItem(), 0);
  EXPECT_EQ(list.SelectedBookmark(), -1);
  EXPECT_EQ(grid.selectedRow, 0);

  const int repaints = grid.repaints;
  list.SetShowTree(false);  // unchanged: no refresh
  EXPECT_EQ(grid.repaints, repaints);
  list.SetShowTree(true);
  EXPECT_EQ(grid.rowCount, 6);
}

// Paints one cell into an image the size of the row and returns it.
QImage Paint(const TPlayList& list, int row, bool selected) {
  QImage image(200, 15, QImage::Format_RGB32);
  image.fill(Qt::gray);
  QPainter p(&image);
  QFont font;
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);  // exact text colours
  p.setFont(font);
  list.DrawCell(p, 0, row, QRect(1, 1, 199, 14), selected);
  return image;
}

bool HasColour(const QImage& image, QColor colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y) == colour) return true;
  return false;
}

TEST_F(PlayListRows, CellColoursFollowSelectionCurrentAndOpenFile) {
  Build();
  const QImage plain = Paint(list, 3, false);
  EXPECT_EQ(plain.pixelColor(150, 8), QColor(0, 0, 0));
  EXPECT_TRUE(HasColour(plain, QColor(0, 255, 255)));
  EXPECT_EQ(plain.pixelColor(199, 14), QColor(0, 0, 0));  // outline
  EXPECT_EQ(Paint(list, 3, true).pixelColor(150, 8), QColor(0, 0, 255));

  list.SetCurrentItem(1);
  EXPECT_TRUE(HasColour(Paint(list, 3, false), QColor(192, 192, 192)));
  owner.openFile = QStringLiteral("/v/b.avi");
  const QImage open = Paint(list, 3, false);
  EXPECT_TRUE(HasColour(open, QColor(255, 255, 255)));
  EXPECT_FALSE(HasColour(open, QColor(0, 255, 255)));
}

TEST_F(PlayListRows, BookmarkRowsCopyTheSkinGlyph) {
  Build();
  owner.skin = QImage(900, 200, QImage::Format_RGB32);
  owner.skin.fill(Qt::black);
  QPainter(&owner.skin).fillRect(QRect(652, 113, 11, 11), QColor(255, 0, 255));
  const QImage cell = Paint(list, 1, false);
  // Cell rect starts at (1,1); the glyph lands at x 8..18, y 2..13 of the moved rect.
  EXPECT_EQ(cell.pixelColor(8 + 5, 2 + 5), QColor(255, 0, 255));
  EXPECT_EQ(cell.pixelColor(18, 13), QColor(255, 0, 255));
  EXPECT_NE(cell.pixelColor(19, 7), QColor(255, 0, 255));
  EXPECT_FALSE(HasColour(Paint(list, 0, false), QColor(255, 0, 255)));
}

}  // namespace
