#include <gtest/gtest.h>

#include "core/geometry.h"
#include "core/playmath.h"

namespace {
constexpr int64_t S = UnitsPerSecond;
}

TEST(KeyFrameSnap, NearestKeyFramePlusHalfFrameUnlessAltOrOff) {
  const std::vector<int64_t> keys = {0, 12 * S, 16 * S};
  // 15 s snaps to 16 s + 0.02 s at 25 fps.
  EXPECT_EQ(SnapToKeyFrame(15 * S, keys, 25.0, true, false), 16 * S + 200000);
  EXPECT_EQ(SnapToKeyFrame(15 * S, keys, 25.0, true, true), 15 * S);
  EXPECT_EQ(SnapToKeyFrame(15 * S, keys, 25.0, false, false), 15 * S);
  // Equally near: the earlier in the list wins.
  EXPECT_EQ(SnapToKeyFrame(14 * S, keys, 25.0, true, false), 12 * S + 200000);
  // Nothing within 60 s: unchanged; exactly 60 s away is not near either.
  EXPECT_EQ(SnapToKeyFrame(80 * S, keys, 25.0, true, false), 80 * S);
  EXPECT_EQ(SnapToKeyFrame(76 * S, keys, 25.0, true, false), 76 * S);
  EXPECT_EQ(SnapToKeyFrame(75 * S, keys, 25.0, true, false), 16 * S + 200000);
  // An unknown frame rate adds no half frame.
  EXPECT_EQ(SnapToKeyFrame(15 * S, keys, 0.0, true, false), 16 * S);
  EXPECT_EQ(SnapToKeyFrame(15 * S, {}, 25.0, true, false), 15 * S);
}

TEST(PlaybackFigures, FrameBackJumpTextAndVolume) {
  EXPECT_EQ(FrameBackStep(0.0), 625000);  // 62.5 ms at the assumed 20 fps
  EXPECT_EQ(FrameBackStep(25.0), 500000);
  EXPECT_EQ(ParseKeySeek("10"), 10);
  EXPECT_EQ(ParseKeySeek("abc"), std::nullopt);
  EXPECT_EQ(ParseKeySeek("-5"), -5);

  EXPECT_EQ(FormatTime(3725 * S + 9999999), "1:02:05");
  EXPECT_EQ(PositionText(10 * S, 90 * S, true), "0:01:20\\0:01:30");
  EXPECT_EQ(PositionText(10 * S, 90 * S, false), "0:00:10/0:01:30");
  // A stream of unknown length shows its position alone, either way round.
  EXPECT_EQ(PositionText(10 * S, 0, false), "0:00:10");
  EXPECT_EQ(PositionText(10 * S, 0, true), "0:00:10");
  EXPECT_EQ(ClockText(QTime(9, 5, 2)), "09:05");
  EXPECT_EQ(ClockText(QTime(9, 5, 3)), "09 05");
  EXPECT_EQ(SmoothCPU(0, 100), 33);
  EXPECT_EQ(SmoothCPU(50, 0), 34);  // -50 / 3 truncates toward zero

  EXPECT_EQ(WaveOutVolume(100), 0xFFFFFFFFu);
  EXPECT_EQ(WaveOutVolume(50), 32767u + 32767u * 65536u);
  EXPECT_EQ(MovieVolume(100, 1, false), 0);
  EXPECT_EQ(MovieVolume(1, 1, false), -2970);
  EXPECT_EQ(MovieVolume(0, 1, false), -10000);
  EXPECT_EQ(MovieVolume(40, 0, false), 0);
  EXPECT_EQ(MovieVolume(40, 0, true), -10000);
  EXPECT_EQ(MovieVolume(40, 7, false), 0);
}

TEST(VideoPlacement, AspectModesAndFitting) {
  TVideoPlacementInput in;
  in.VideoWidth = 640;
  in.VideoHeight = 480;
  in.PanelWidth = 800;
  in.PanelHeight = 450;
  EXPECT_EQ(ComputeVideoRect(in), QRect(100, 0, 600, 450));
  in.AspectMode = am16x9;  // equal ratios fit the width
  EXPECT_EQ(ComputeVideoRect(in), QRect(0, 0, 800, 450));
  in.AspectMode = amFitWidth;
  in.VideoHeight = 600;
  EXPECT_EQ(ComputeVideoRect(in), QRect(0, -150, 800, 750));
  in.AspectMode = amFitHeight;
  in.VideoHeight = 100;
  EXPECT_EQ(ComputeVideoRect(in), QRect(-1040, 0, 2880, 450));
  EXPECT_EQ(AspectHeight(720, 576, amCustom, "47 : 20"), 306);
  EXPECT_EQ(AspectHeight(720, 576, amCustom, "0 : 20"), 720);
  EXPECT_EQ(AspectHeight(720, 576, amCustom, "wide"), 720);
  EXPECT_EQ(AspectHeight(720, 576, amCustom, "2,35 : 1"), 306);
}

TEST(VideoPlacement, ZoomPanAndStretch) {
  TVideoPlacementInput in;
  in.VideoWidth = 640;
  in.VideoHeight = 480;
  in.PanelWidth = 800;
  in.PanelHeight = 450;
  in.ZoomX = 50;  // keep-aspect uses the vertical factor for both
  EXPECT_EQ(ComputeVideoRect(in), QRect(100, 0, 600, 450));
  in.ZoomY = 50;
  EXPECT_EQ(ComputeVideoRect(in), QRect(-50, -112, 900, 675));
  in.KeepAspect = false;
  in.ZoomX = 0;
  in.ZoomY = 100;
  in.PanX = 7;
  in.PanY = -3;
  EXPECT_EQ(ComputeVideoRect(in), QRect(7, -3, 800, 450));
}

TEST(VideoPlacement, ZeroSizedPanelOrVideoFails) {
  TVideoPlacementInput in;
  in.VideoWidth = 640;
  in.VideoHeight = 480;
  EXPECT_EQ(ComputeVideoRect(in), std::nullopt);  // panel 0 x 0
  in.PanelWidth = 800;
  in.PanelHeight = 450;
  in.VideoWidth = 0;
  EXPECT_EQ(ComputeVideoRect(in), std::nullopt);
}

TEST(WindowGeometry, NearestMonitorAndSizeLimits) {
  const std::vector<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
  const QRect screen(0, 0, 1920, 1080);
  EXPECT_EQ(NearestMonitorRect(QRect(1830, 500, 200, 100), two, screen), two[1]);
  // Centre exactly on the common edge: a tie, the first monitor wins.
  EXPECT_EQ(NearestMonitorRect(QRect(1820, 500, 200, 100), two, screen), two[0]);
  EXPECT_EQ(NearestMonitorRect(QRect(0, 0, 10, 10), {}, screen), screen);

  EXPECT_EQ(MinimumWindowSize(0), QSize(376, 250));
  EXPECT_EQ(MinimumWindowSize(99), QSize(376, 151));
  EXPECT_EQ(ClampSizingRect(QRect(100, 100, 300, 200), Qt::LeftEdge | Qt::TopEdge, 0),
            QRect(24, 50, 376, 250));
  EXPECT_EQ(ClampSizingRect(QRect(100, 100, 300, 200), Qt::RightEdge | Qt::BottomEdge, 0),
            QRect(100, 100, 376, 250));
  EXPECT_EQ(ZoomText(30, 100), "Zoom: 1,30 x 1,00");
}
