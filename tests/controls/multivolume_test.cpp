#include <gtest/gtest.h>

#include <QTest>

#include "controls/multivolume.h"
#include "controls_support.h"

TEST(MultiVolume, PointerFigures) {
  // Column 0 spans x 5..64; its balance centre is at x offset 32.
  EXPECT_EQ(MultiVolumeHitAt(32, 120, 1), (TMultiVolumeHit{0, true, 0}));
  EXPECT_EQ(MultiVolumeHitAt(5, 130, 1), (TMultiVolumeHit{0, true, -10000}));
  EXPECT_EQ(MultiVolumeHitAt(59, 117, 1), (TMultiVolumeHit{0, true, 10000}));
  EXPECT_FALSE(MultiVolumeHitAt(64, 117, 1));  // x mod 60 < 5: the gap rule wins
  EXPECT_EQ(MultiVolumeHitAt(33, 117, 1), (TMultiVolumeHit{0, true, 500}));
  EXPECT_EQ(MultiVolumeHitAt(32, 12, 1), (TMultiVolumeHit{0, false, 0}));
  EXPECT_EQ(MultiVolumeHitAt(32, 0, 1), (TMultiVolumeHit{0, false, 0}));
  EXPECT_EQ(MultiVolumeHitAt(32, 112, 1), (TMultiVolumeHit{0, false, -3000}));
  EXPECT_EQ(MultiVolumeHitAt(32, 113, 1), (TMultiVolumeHit{0, false, -10000}));
  EXPECT_EQ(MultiVolumeHitAt(32, 62, 1), (TMultiVolumeHit{0, false, -1500}));
  EXPECT_EQ(MultiVolumeHitAt(60 + 32, 113, 2), (TMultiVolumeHit{1, false, -10000}));
}

TEST(MultiVolume, PositionsOutsideTheColumnsAreIgnored) {
  for (int x : {0, 4, 60, 64 - 60 + 60}) EXPECT_FALSE(MultiVolumeHitAt(x, 50, 3)) << x;  // gaps
  EXPECT_FALSE(MultiVolumeHitAt(-30, 50, 3));
  EXPECT_FALSE(MultiVolumeHitAt(-1000, 120, 3));
  EXPECT_FALSE(MultiVolumeHitAt(3 * 60 + 10, 50, 3));    // a fourth column that is not there
  EXPECT_FALSE(MultiVolumeHitAt(10 * 60 + 10, 50, 12));  // never beyond the ten slots
  EXPECT_FALSE(MultiVolumeHitAt(32, 50, 0));
}

TEST(MultiVolume, CountResetAndWidth) {
  TMultiVolumeBar bar;
  EXPECT_EQ(bar.height(), 145);
  EXPECT_EQ(bar.Count(), 0);
  bar.SetCount(12);
  EXPECT_EQ(bar.Count(), 10);
  EXPECT_EQ(bar.width(), 605);
  bar.SetCount(-2);
  EXPECT_EQ(bar.Count(), 0);
  bar.SetCount(2);
  EXPECT_EQ(bar.width(), 125);
  int changes = 0;
  bar.OnChange = [&] { ++changes; };
  bar.Levels[0] = {-2000, 3000};
  bar.Levels[1] = {-10000, -500};
  bar.Levels[2] = {-700, 700};  // beyond Count: left alone
  bar.Reset();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bar.Levels[0].Volume, 0);
  EXPECT_EQ(bar.Levels[1].Balance, 0);
  EXPECT_EQ(bar.Levels[2].Volume, -700);
}

TEST(MultiVolume, MouseSetsTheColumnUnderThePointer) {
  TMultiVolumeBar bar;
  bar.SetCount(2);
  int changes = 0;
  bar.OnChange = [&] { ++changes; };
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(60 + 32, 113));
  EXPECT_EQ(bar.Levels[1].Volume, -10000);
  QTest::mouseMove(&bar, QPoint(60 + 32, 12));
  EXPECT_EQ(bar.Levels[1].Volume, 0);
  QTest::mouseMove(&bar, QPoint(500, 12));  // wandered off the columns
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-20, 130));
  EXPECT_EQ(changes, 2);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(40, 125));
  EXPECT_EQ(bar.Levels[0].Balance, 4000);
}

TEST(MultiVolume, PaintsColumnsAndKnobs) {
  TMultiVolumeBar bar;
  bar.SetCount(1);
  bar.Levels[0] = {0, 0};
  const QImage painted = Painted(bar);
  EXPECT_EQ(At(painted, 0, 0), QColor(Qt::white));
  EXPECT_EQ(At(painted, 64, 144), QColor(64, 64, 64));
  EXPECT_EQ(At(painted, 5, 5), QColor(Qt::white));            // column's raised frame
  EXPECT_EQ(At(painted, 30, 60), QColor(Qt::black));          // volume slot, sunken
  EXPECT_EQ(At(painted, 25, 12), QColor(192, 192, 192));      // knob at the top for full volume
  EXPECT_EQ(At(painted, 20, 10), QColor(Qt::white));
  EXPECT_EQ(At(painted, 32, 127), QColor(192, 192, 192));     // balance knob centred
}
