#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <vector>

#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/skinlayout.h"
#include "controls_support.h"

using namespace SkinLayout;

TEST(ButtonStateRow, EveryCombination) {
  struct Row {
    bool enabled, down, pressed, hover;
    int row;
  };
  const Row rows[] = {
      {true, false, false, false, RowNormal},      {true, false, false, true, RowHover},
      {true, true, false, false, RowDown},         {true, true, false, true, RowDownHover},
      {true, false, true, false, RowDown},         {true, false, true, true, RowDownHover},
      {true, true, true, true, RowDownHover},      {false, false, false, false, RowDisabled},
      {false, false, false, true, RowDisabled},    {false, true, false, false, RowDisabledDown},
      {false, true, false, true, RowDisabledDown}, {false, false, true, false, RowDisabledDown},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ButtonStateRow(r.enabled, r.down, r.pressed, r.hover), r.row)
        << r.enabled << r.down << r.pressed << r.hover;
}

class HoverButton : public testing::Test {
 protected:
  void SetUp() override {
    host.resize(100, 60);
    button = new THoverButton(&host);
    button->Skin = &TestSkin();
    button->SkinX = LargeCellX(3);
    button->Command = 5;
    button->setGeometry(10, 10, 21, 21);
    button->OnCommand = [this](int id) { sent.push_back(id); };
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  }
  // The row the button shows, read back from its painted pixels.
  bool Shows(int row) {
    const QImage painted = Painted(*button);
    return SameBlock(painted, 0, 0, TestSkin(), button->SkinX, row * 21, 21, 21);
  }

  QWidget host;
  THoverButton* button = nullptr;
  std::vector<int> sent;
};

TEST_F(HoverButton, ClickOnReleaseInsideSendsTheCommandOnce) {
  QTest::mouseMove(button, QPoint(10, 10));
  EXPECT_TRUE(button->Hover());
  EXPECT_TRUE(Shows(RowHover));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(button->Pressed());
  EXPECT_TRUE(sent.empty());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_EQ(sent, std::vector<int>{5});
  EXPECT_FALSE(button->Pressed());
}

TEST_F(HoverButton, AnyMouseButtonClicks) {
  QTest::mouseClick(button, Qt::RightButton, {}, QPoint(5, 5));
  QTest::mouseClick(button, Qt::MiddleButton, {}, QPoint(5, 5));
  EXPECT_EQ(sent, (std::vector<int>{5, 5}));
}

TEST_F(HoverButton, LeavingWhilePressedCancelsTheClick) {
  QTest::mouseMove(button, QPoint(10, 10));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(button, QPoint(40, 10));  // the held button keeps the moves coming
  EXPECT_FALSE(button->Pressed());
  EXPECT_FALSE(button->Hover());
  QTest::mouseMove(button, QPoint(10, 10));  // coming back does not revive the click
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(sent.empty());
}

TEST_F(HoverButton, ReleaseOutsideWithoutAMoveSendsNothing) {
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(sent.empty());
  EXPECT_FALSE(button->Pressed());
}

TEST_F(HoverButton, LeaveEventClearsHoverAndPressed) {
  QTest::mouseMove(button, QPoint(10, 10));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button, &leave);
  EXPECT_FALSE(button->Hover());
  EXPECT_FALSE(button->Pressed());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(sent.empty());
}

TEST_F(HoverButton, DisabledShowsItsRowsAndIgnoresClicksAlsoWhenHovered) {
  button->SetEnabled(false);
  EXPECT_TRUE(Shows(RowDisabled));
  QTest::mouseMove(button, QPoint(10, 10));
  EXPECT_TRUE(Shows(RowDisabled));
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(sent.empty());
  button->SetDown(true);
  EXPECT_TRUE(Shows(RowDisabledDown));
}

TEST_F(HoverButton, LatchedButtonHoveredThenPressed) {
  button->SetDown(true);
  EXPECT_TRUE(Shows(RowDown));
  QTest::mouseMove(button, QPoint(10, 10));
  EXPECT_TRUE(Shows(RowDownHover));
  // The press takes the hover look away until the pointer moves again.
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Shows(RowDown));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(button->Down());  // latching is the owner's business
  EXPECT_EQ(sent, std::vector<int>{5});
}

TEST_F(HoverButton, ANewSkinShowsAtTheNextRepaint) {
  QImage skin = TestSkin();
  button->Skin = &skin;
  EXPECT_EQ(At(Painted(*button), 10, 10), At(TestSkin(), LargeCellX(3) + 10, 10));
  skin.fill(Qt::magenta);
  button->update();
  EXPECT_EQ(At(Painted(*button), 10, 10), QColor(Qt::magenta));
}

TEST(ButtonTable, IndexesAndCellsFollowCreationOrder) {
  std::vector<bool> seen(MainButtonCount, false);
  for (int n = 0; n < MainButtonCount; ++n) {
    const TButtonSpec& b = MainButtons[n];
    ASSERT_GE(b.Index, 0);
    ASSERT_LT(b.Index, MainButtonCount);
    EXPECT_FALSE(seen[b.Index]);
    seen[b.Index] = true;
    // Large cells first, then the small ones, each button its own column.
    EXPECT_EQ(ButtonSkinX(n), n < LargeColumns ? LargeCellX(n) : SmallCellX(n - LargeColumns)) << n;
    EXPECT_EQ(b.Size, n < LargeColumns ? LargeCell : SmallCell);
    EXPECT_EQ(b.Parent == TButtonParent::CaptionBar, n >= LargeColumns);
  }
  // Creation order differs from the array index only for 17 and 18.
  EXPECT_EQ(MainButtons[17].Index, 18);
  EXPECT_EQ(MainButtons[17].Command, cmFileInformation);
  EXPECT_EQ(MainButtons[18].Index, 17);
  EXPECT_EQ(ButtonSkinX(MainButtonCount - 1), 711);
  EXPECT_EQ(MainButtons[35].Command, cmExit);
  EXPECT_EQ(MainButtons[35].RightOffset, 17);
}
