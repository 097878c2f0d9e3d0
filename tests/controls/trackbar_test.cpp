#include <gtest/gtest.h>

#include <QTest>

#include "controls/brandtb.h"
#include "controls/skinlayout.h"
#include "controls_support.h"

namespace {

// Counts the paints a widget receives.
class TPaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

const QColor Aqua(0, 255, 255), PanelGrey(127, 127, 127);

}  // namespace

class SeekBar : public testing::Test {
 protected:
  void SetUp() override {
    QPalette pal = bar.palette();
    pal.setColor(QPalette::Window, PanelGrey);
    bar.setPalette(pal);
    bar.Skin = &TestSkin();
    bar.resize(400, 21);
    bar.OnChange = [this] { changes.push_back(bar.Position()); };
  }
  TTimeTrackBar bar;
  std::vector<qint64> changes;
};

TEST_F(SeekBar, ClickAndDragSeekWhileTheButtonIsHeld) {
  const qint64 d = 90 * MediaMinute;
  bar.SetDuration(d);
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_TRUE(bar.Dragging());
  QTest::mouseMove(&bar, QPoint(-50, 10));   // left of the track
  QTest::mouseMove(&bar, QPoint(900, 10));   // right of it
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(900, 10));
  EXPECT_FALSE(bar.Dragging());
  QTest::mouseMove(&bar, QPoint(100, 10));   // no longer dragging
  EXPECT_EQ(changes, (std::vector<qint64>{d * 182 / 364, 0, d}));
}

TEST_F(SeekBar, OtherButtonsDoNothing) {
  bar.SetDuration(MediaMinute);
  QTest::mousePress(&bar, Qt::RightButton, {}, QPoint(200, 10));
  QTest::mouseMove(&bar, QPoint(300, 10));
  EXPECT_TRUE(changes.empty());
  EXPECT_FALSE(bar.Dragging());
}

TEST_F(SeekBar, ZeroDurationClicksGiveZeroAndStillReport) {
  bar.SetDuration(0);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(300, 10));
  EXPECT_EQ(changes, std::vector<qint64>{0});
}

TEST_F(SeekBar, NarrowerThanItsMarginsMapsEveryClickToZero) {
  bar.resize(30, 21);
  bar.SetDuration(90 * MediaMinute);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(25, 10));
  EXPECT_EQ(changes, std::vector<qint64>{0});
  const QImage painted = Painted(bar);  // must not divide by zero
  // Not even a track right of the thumb (drawn at x 0 without a track).
  for (int x = 9; x < 30; ++x) EXPECT_EQ(At(painted, x, 12), PanelGrey) << x;
}

TEST_F(SeekBar, Bookmarks) {
  EXPECT_EQ(bar.GetBookmark(9), 0);
  bar.SetBookmark(99, 7);
  bar.SetBookmark(100, 8);
  bar.SetBookmark(-1, 9);
  EXPECT_EQ(bar.GetBookmark(99), 7);
  EXPECT_EQ(bar.GetBookmark(100), 0);
  EXPECT_EQ(bar.GetBookmark(-1), 0);
  bar.ClearBookmarks();
  EXPECT_EQ(bar.GetBookmark(99), 0);
}

TEST_F(SeekBar, ShowPositionRepaintsOnlyWhenThePointerMovesAPixel) {
  bar.SetDuration(364 * MediaSecond);  // one pixel per second
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  TPaintCounter counter;
  bar.installEventFilter(&counter);
  bar.ShowPosition(10 * MediaSecond);
  QCoreApplication::processEvents();
  const int afterMove = counter.Paints;
  EXPECT_EQ(bar.ThumbX(), 28);
  bar.ShowPosition(10 * MediaSecond + MediaSecond / 2);  // same pixel
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Paints, afterMove);
  bar.ShowPosition(11 * MediaSecond);
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Paints, afterMove + 1);
  EXPECT_TRUE(changes.empty());  // the timer's updates are not user changes
}

TEST_F(SeekBar, PaintsThumbTrackMarksAndPointer) {
  bar.SetDuration(90 * MediaMinute);
  bar.ShowPosition(7 * MediaMinute + 30 * MediaSecond);  // x 48, clear of the labels
  bar.SetBookmark(0, 50 * MediaMinute);                  // x 220
  bar.SetBookmark(1, 0);                                 // empty slot
  QImage painted = Painted(bar);
  ASSERT_EQ(bar.ThumbX(), 48);
  // The thumb glyph's upper rows, above the pointer.
  EXPECT_TRUE(SameBlock(painted, 40, 0, TestSkin(), 672, 91, 17, 9));
  EXPECT_EQ(At(painted, 100, 12), QColor(Qt::white));
  EXPECT_EQ(At(painted, 100, 13), QColor(Qt::black));
  EXPECT_EQ(At(painted, 100, 18), PanelGrey);
  EXPECT_EQ(At(painted, 220, 15), Aqua);
  EXPECT_EQ(At(painted, 18, 15), PanelGrey);  // nothing for the empty slot at time 0
  EXPECT_EQ(At(painted, 48 + 1, 15), QColor(192, 192, 192));  // pointer body
  EXPECT_EQ(At(painted, 48, 17), QColor(Qt::black));          // its bottom edge
  bar.SetShowMarks(false);
  painted = Painted(bar);
  EXPECT_EQ(At(painted, 220, 15), PanelGrey);
}

TEST_F(SeekBar, DisabledDrawsOnlyBackgroundAndTrack) {
  bar.SetDuration(90 * MediaMinute);
  bar.SetBookmark(0, 50 * MediaMinute);
  bar.setEnabled(false);
  const QImage painted = Painted(bar);
  for (int x = 0; x < 400; ++x) {
    for (int y = 0; y < 21; ++y) {
      const bool track = x >= 18 && x < 382 && (y == 12 || y == 13);
      const QColor want = !track ? PanelGrey : y == 12 ? QColor(Qt::white) : QColor(Qt::black);
      ASSERT_EQ(At(painted, x, y), want) << x << "," << y;
    }
  }
}

TEST(VolumeBar, SetVolumeClampsAndAlwaysReports) {
  TVolumeTrackBar bar;
  bar.resize(65, 17);
  int changes = 0;
  bar.OnChange = [&] { ++changes; };
  bar.SetVolume(105);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetVolume(100);
  EXPECT_EQ(changes, 2);  // also when nothing changed
  bar.SetVolume(-5);
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.ThumbX(), 5);
  bar.SetVolume(50);
  EXPECT_EQ(bar.ThumbX(), 5 + 55 * 50 / 100);
}

TEST(VolumeBar, PointerMapping) {
  EXPECT_EQ(VolumeFromX(5, 100, 65, 5), 0);
  EXPECT_EQ(VolumeFromX(60, 100, 65, 5), 100);
  EXPECT_EQ(VolumeFromX(32, 100, 65, 5), 27 * 100 / 55);
  EXPECT_EQ(VolumeFromX(-20, 100, 65, 5), 0);
  EXPECT_EQ(VolumeFromX(200, 100, 65, 5), 100);
  EXPECT_EQ(VolumeFromX(3, 100, 10, 5), 0);  // no usable track
  EXPECT_EQ(VolumeThumbX(10, 0, 65, 5), 0);
}

TEST(VolumeBar, DragSetsTheValueAndPaintsFromTheSkin) {
  TVolumeTrackBar bar;
  bar.Skin = &TestSkin();
  bar.resize(65, 17);
  std::vector<int> seen;
  bar.OnChange = [&] { seen.push_back(bar.Position()); };
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(60, 8));
  QTest::mouseMove(&bar, QPoint(-10, 8));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-10, 8));
  QTest::mouseMove(&bar, QPoint(30, 8));
  EXPECT_EQ(seen, (std::vector<int>{100, 0}));
  const QImage painted = Painted(bar);
  // Background at x 3.., thumb centred on x 5 (from x 3).
  EXPECT_TRUE(SameBlock(painted, 8, 0, TestSkin(), 727 + 5, 37, 55, 17));
  EXPECT_TRUE(SameBlock(painted, 3, 0, TestSkin(), 788, 37, 5, 17));
}
