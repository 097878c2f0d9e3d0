#include <gtest/gtest.h>

#include "controls/brandtb.h"
#include "controls/skinlayout.h"
#include "controls/statusbars.h"
#include "controls_support.h"

using namespace SkinLayout;

// Every control reads the owner's one image at paint time: replacing its
// content shows at the next repaint, with nothing to restart or re-wire.
TEST(SkinSwap, EveryControlFollowsTheImageItWasGiven) {
  QImage skin = TestSkin();
  TTimeTrackBar seek;
  seek.Skin = &skin;
  seek.resize(400, 21);
  seek.SetDuration(90 * MediaMinute);
  seek.ShowPosition(7 * MediaMinute + 30 * MediaSecond);  // thumb at x 48
  TVolumeTrackBar volume;
  volume.Skin = &skin;
  volume.resize(65, 17);
  TPosBar pos;
  pos.Skin = &skin;
  pos.SkinX = PositionOrigin.x();
  pos.resize(106, 21);
  TKVCaption caption;
  caption.Skin = &skin;
  caption.resize(200, 20);

  QImage other = TestSkin();
  other.invertPixels();
  skin = other;
  EXPECT_TRUE(SameBlock(Painted(seek), 40, 0, other, 672, 91, 17, 9));
  EXPECT_TRUE(SameBlock(Painted(volume), 8, 0, other, 732, 37, 55, 17));
  EXPECT_TRUE(SameBlock(Painted(pos), 4, 2, other, 727, 1, 7, 17));
  EXPECT_EQ(At(Painted(caption), 5, 5), At(other, 810, 19));
}

TEST(SkinSwap, AShortBitmapDrawsTheGlyphRowsItHas) {
  // Wide enough for the digits, but only 10 rows high.
  QImage skin = TestSkin().copy(0, 0, Width, 10);
  TPosBar pos;
  pos.Skin = &skin;
  pos.SkinX = PositionOrigin.x();
  pos.resize(106, 21);
  pos.SetText("8");
  const QImage painted = Painted(pos);
  // Rows 1..9 of the glyph land on control rows 2..10; below stays black.
  EXPECT_TRUE(SameBlock(painted, 4, 2, TestSkin(), 727 + 64, 1, 7, 9));
  for (int y = 11; y < 19; ++y)
    for (int x = 4; x < 11; ++x) EXPECT_EQ(At(painted, x, y), QColor(Qt::black)) << x << "," << y;
}
