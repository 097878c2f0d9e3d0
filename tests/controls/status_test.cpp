#include <gtest/gtest.h>

#include <QTest>

#include "commands/commandtable.h"
#include "controls/skinlayout.h"
#include "controls/statusbars.h"
#include "controls_support.h"

using namespace SkinLayout;

namespace {

// A skinned control with its glyph origin and size.
template <typename T>
void Place(T& w, QPoint origin, QSize size) {
  w.Skin = &TestSkin();
  w.SkinX = origin.x();
  w.SkinY = origin.y();
  w.resize(size);
}

}  // namespace

TEST(GlyphPlacement, ClockUsesFixedPlacesAndSkipsBlanks) {
  EXPECT_EQ(ClockGlyphs("12:34"),
            (std::vector<TGlyphPlace>{{8, 8, 7}, {16, 16, 7}, {25, 80, 2}, {29, 24, 7}, {37, 32, 7}}));
  // The blinking colon: a blank draws nothing, the digits keep their places.
  EXPECT_EQ(ClockGlyphs("12 34"), (std::vector<TGlyphPlace>{{8, 8, 7}, {16, 16, 7}, {29, 24, 7}, {37, 32, 7}}));
  // Only five characters; slashes are the position display's and show as zero here.
  EXPECT_EQ(ClockGlyphs("1/:45678").size(), 5u);
  EXPECT_EQ(ClockGlyphs("1/").back(), (TGlyphPlace{16, 0, 7}));
  EXPECT_TRUE(ClockGlyphs("").empty());
}

TEST(GlyphPlacement, PositionDisplaySpacesTheSeparator) {
  const auto g = PositionGlyphs("0:00:00/1:23:45");
  ASSERT_EQ(g.size(), 15u);
  const std::vector<int> want = {4, 12, 15, 23, 31, 34, 42, 51, 57, 65, 68, 76, 84, 87, 95};
  for (size_t i = 0; i < g.size(); ++i) EXPECT_EQ(g[i].X, want[i]) << i;
  EXPECT_EQ(g[7], (TGlyphPlace{51, 83, 4}));  // "/" with a pixel of air each side
  EXPECT_EQ(g[8].Offset, 8);  // "1"
  EXPECT_EQ(PositionGlyphs("0:00:00\\0:00:00")[7], (TGlyphPlace{51, 88, 4}));
}

TEST(GlyphPlacement, TenHoursMovesTheSpacingOntoALastDigit) {
  const auto g = PositionGlyphs("10:00:00/12:00:00");
  // Index 7 is now the last "0" of 10:00:00.
  EXPECT_EQ(g[6].X, 4 + 8 + 8 + 3 + 8 + 8 + 3);
  EXPECT_EQ(g[7], (TGlyphPlace{g[6].X + 8 + 1, 0, 7}));
  EXPECT_EQ(g[8], (TGlyphPlace{g[7].X + 8 + 1, 83, 4}));
}

TEST(GlyphPlacement, BlanksAdvanceAndOtherCharactersShowZero) {
  const auto g = PositionGlyphs("1 x");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[1], (TGlyphPlace{4 + 8 + 3, 0, 7}));
}

TEST(DigitBars, PaintFrameAndGlyphsFromTheSkin) {
  TPosBar pos;
  Place(pos, PositionOrigin, {106, 21});
  pos.SetText("1:23:45/2:00:00");
  const QImage painted = Painted(pos);
  EXPECT_EQ(At(painted, 0, 0), QColor(192, 192, 192));
  EXPECT_EQ(At(painted, 105, 20), QColor(Qt::white));
  EXPECT_EQ(At(painted, 1, 1), QColor(Qt::black));
  // "1" at x 4 and "/" at x 51, each copied from below the origin row.
  EXPECT_TRUE(SameBlock(painted, 4, 2, TestSkin(), 727 + 8, 1, 7, 17));
  EXPECT_TRUE(SameBlock(painted, 51, 2, TestSkin(), 810, 1, 4, 17));

  TTimeBar clock;
  Place(clock, ClockOrigin, {53, 21});
  EXPECT_EQ(clock.Text(), "00:00");
  clock.SetText("12:34");
  EXPECT_TRUE(SameBlock(Painted(clock), 25, 2, TestSkin(), 807, 19, 2, 17));
  clock.SetText("12 34");
  const QImage blinking = Painted(clock);
  for (int y = 2; y < 19; ++y)
    for (int x = 24; x < 29; ++x) EXPECT_EQ(At(blinking, x, y), QColor(Qt::black)) << x << "," << y;
  EXPECT_TRUE(SameBlock(blinking, 37, 2, TestSkin(), 727 + 32, 19, 7, 17));
}

TEST(DigitBars, PositionClickReports) {
  TPosBar pos;
  pos.resize(106, 21);
  int clicks = 0;
  pos.OnClick = [&] { ++clicks; };
  QTest::mouseClick(&pos, Qt::LeftButton, {}, QPoint(50, 10));
  QTest::mouseClick(&pos, Qt::RightButton, {}, QPoint(50, 10));
  QTest::mousePress(&pos, Qt::LeftButton, {}, QPoint(50, 10));
  QTest::mouseRelease(&pos, Qt::LeftButton, {}, QPoint(500, 10));
  EXPECT_EQ(clicks, 1);
}

TEST(CpuMeter, LitHeightStaysInsideTheMeter) {
  EXPECT_EQ(CpuLitHeight(21, 250), 20);
  EXPECT_EQ(CpuLitHeight(21, -30), 0);
  EXPECT_EQ(CpuLitHeight(0, 100), 0);
}

TEST(CpuMeter, EmptyAndFull) {
  TCPULoad cpu;
  Place(cpu, CpuMeterOrigin, {9, 21});
  EXPECT_EQ(cpu.Load(), 50);
  cpu.SetLoad(0);
  EXPECT_TRUE(SameBlock(Painted(cpu), 0, 0, TestSkin(), 652, 91, 9, 21));
  cpu.SetLoad(100);
  EXPECT_TRUE(SameBlock(Painted(cpu), 0, 0, TestSkin(), 662, 91, 9, 21));
  cpu.SetLoad(50);
  const QImage half = Painted(cpu);
  EXPECT_TRUE(SameBlock(half, 0, 0, TestSkin(), 652, 91, 9, 10));
  EXPECT_TRUE(SameBlock(half, 0, 10, TestSkin(), 662, 101, 9, 11));
}

class Caption : public testing::Test {
 protected:
  void SetUp() override {
    window.setGeometry(100, 100, 300, 200);
    caption = new TKVCaption(&window);
    caption->Skin = &TestSkin();
    caption->OnCommand = [this](int id) { posted.push_back(id); };
    caption->IsFullScreen = [this] { return fullScreen; };
    for (auto& b : caption->RightButtons) b = new THoverButton(caption);
    caption->setGeometry(0, 0, 300, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QWidget window;
  TKVCaption* caption = nullptr;
  std::vector<int> posted;
  bool fullScreen = false;
};

TEST_F(Caption, LeftDoubleClickPostsOneFullScreenOnRelease) {
  // Press, release, then the second press arriving as a double click.
  QTest::mouseDClick(caption, Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_TRUE(caption->DoubleClicked());
  EXPECT_TRUE(posted.empty());  // not while the button is held
  QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_EQ(posted, std::vector<int>{cmFullScreen});
  EXPECT_FALSE(caption->DoubleClicked());
  QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(50, 5));
  EXPECT_EQ(posted.size(), 1u);
  // The other buttons' double clicks toggle nothing.
  for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
    QTest::mouseClick(caption, b, {}, QPoint(50, 5));
    QTest::mouseDClick(caption, b, {}, QPoint(50, 5));
    QTest::mouseRelease(caption, b, {}, QPoint(50, 5));
    EXPECT_FALSE(caption->DoubleClicked());
  }
  EXPECT_EQ(posted.size(), 1u);
}

TEST_F(Caption, DraggingMovesTheWindowButNotInFullScreen) {
  const QPoint start = window.pos();
  QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(50, 5));
  QTest::mouseMove(caption, QPoint(70, 15));
  QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(70, 15));
  EXPECT_EQ(window.pos(), start + QPoint(20, 10));
  QTest::mouseMove(caption, QPoint(90, 15));  // released: no more moving
  EXPECT_EQ(window.pos(), start + QPoint(20, 10));
  fullScreen = true;
  QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(50, 5));
  QTest::mouseMove(caption, QPoint(80, 5));
  QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(80, 5));
  EXPECT_EQ(window.pos(), start + QPoint(20, 10));
}

TEST_F(Caption, ResizeKeepsTheRightButtonsAtTheRight) {
  caption->resize(500, 20);
  EXPECT_EQ(caption->RightButtons[0]->x(), 449);
  EXPECT_EQ(caption->RightButtons[1]->x(), 466);
  EXPECT_EQ(caption->RightButtons[2]->x(), 483);
}

TEST_F(Caption, ColoursComeFromTheSkin) {
  EXPECT_EQ(caption->Caption(), "Kelvara");
  QImage painted = Painted(*caption);
  EXPECT_EQ(At(painted, 5, 5), At(TestSkin(), 810, 19));
  EXPECT_EQ(At(painted, 150, 19), QColor(192, 192, 192));
  caption->SetActive(false);
  painted = Painted(*caption);
  EXPECT_EQ(At(painted, 5, 5), At(TestSkin(), 810, 21));
  // A skin too small to hold the colour pixels leaves the built-in colour.
  QImage tiny(16, 16, QImage::Format_RGB32);
  tiny.fill(Qt::red);
  caption->Skin = &tiny;
  EXPECT_EQ(At(Painted(*caption), 5, 5), QColor(127, 127, 127));
}
