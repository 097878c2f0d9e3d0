#include <gtest/gtest.h>

#include <QPainter>
#include <set>

#include "controls/skinlayout.h"
#include "controls_support.h"

using namespace SkinLayout;

namespace {

const QColor White(255, 255, 255), Black(0, 0, 0), Blue(0, 0, 255), Green(0, 128, 0), DarkRed(128, 0, 0),
    Yellow(255, 255, 0), Aqua(0, 255, 255), Red(255, 0, 0), Silver(192, 192, 192), Grey(127, 127, 127);

// The colours found inside a cell, border excluded.
std::set<QRgb> CellColours(const QImage& skin, int x, int row, int size) {
  std::set<QRgb> out;
  for (int y = row * size + 1; y < row * size + size - 1; ++y)
    for (int i = x + 1; i < x + size - 1; ++i) out.insert(skin.pixel(i, y) | 0xff000000);
  return out;
}

bool Has(const std::set<QRgb>& s, const QColor& c) { return s.count(c.rgb()) > 0; }

QImage CellImage(const QImage& skin, int x, int row, int size) { return skin.copy(x, row * size, size, size); }

}  // namespace

TEST(BuiltInSkin, HasTheLayoutSizeAndSixteenColoursAtMost) {
  const QImage& skin = TestSkin();
  ASSERT_FALSE(skin.isNull());
  EXPECT_EQ(skin.size(), QSize(Width, Height));
  std::set<QRgb> colours;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) colours.insert(skin.pixel(x, y));
  EXPECT_LE(colours.size(), 16u);
}

TEST(BuiltInSkin, CellBordersAreRaisedAboveAndSunkenBelow) {
  const QImage& skin = TestSkin();
  auto check = [&](int x, int size) {
    for (int row = 0; row < StateRows; ++row) {
      const bool sunken = row >= RowDown;
      const int top = row * size;
      SCOPED_TRACE(testing::Message() << "cell x " << x << " row " << row);
      EXPECT_EQ(At(skin, x + size / 2, top), sunken ? Black : White);
      EXPECT_EQ(At(skin, x, top + size / 2), sunken ? Black : White);
      EXPECT_EQ(At(skin, x + size / 2, top + size - 1), sunken ? White : Black);
      EXPECT_EQ(At(skin, x + size - 1, top + size / 2), sunken ? White : Black);
      EXPECT_EQ(At(skin, x + 1, top + 1), Silver);
    }
  };
  for (int k = 0; k < LargeColumns; ++k) check(LargeCellX(k), LargeCell);
  for (int k = 0; k < SmallColumns; ++k) check(SmallCellX(k), SmallCell);
}

TEST(BuiltInSkin, GlyphColoursFollowTheStateRows) {
  const QImage& skin = TestSkin();
  auto glyphColour = [](int k, int row) -> QColor {
    const bool lit = row == RowHover || row == RowDown || row == RowDownHover;
    if (lit && (k == 3 || k == 19)) return Green;
    if (lit && k == 1) return DarkRed;
    if (lit && k == 4) return Yellow;
    return row == RowHover || row == RowDownHover ? Blue : Black;
  };
  for (int k = 0; k < LargeColumns + SmallColumns; ++k) {
    const bool large = k < LargeColumns;
    const int x = large ? LargeCellX(k) : SmallCellX(k - LargeColumns), size = large ? LargeCell : SmallCell;
    for (int row = 0; row < StateRows; ++row) {
      SCOPED_TRACE(testing::Message() << "cell " << k << " row " << row);
      const auto colours = CellColours(skin, x, row, size);
      if (row == RowDisabled || row == RowDisabledDown) {
        // Embossed: grey with a white highlight, nothing of the live colours.
        EXPECT_TRUE(Has(colours, Grey));
        EXPECT_TRUE(Has(colours, White));
        EXPECT_FALSE(Has(colours, Black) || Has(colours, Blue));
      } else {
        EXPECT_TRUE(Has(colours, large ? glyphColour(k, row) : (row == RowHover || row == RowDownHover ? Blue : Black)));
        EXPECT_EQ(colours.size(), 2u);  // the cell face and the glyph
      }
    }
  }
}

TEST(BuiltInSkin, EveryCellHasItsOwnGlyphExceptTheTwoPlayTriangles) {
  const QImage& skin = TestSkin();
  std::vector<QImage> cells;
  for (int k = 0; k < LargeColumns; ++k) cells.push_back(CellImage(skin, LargeCellX(k), RowNormal, LargeCell));
  for (size_t a = 0; a < cells.size(); ++a)
    for (size_t b = a + 1; b < cells.size(); ++b) {
      SCOPED_TRACE(testing::Message() << a << " vs " << b);
      EXPECT_EQ(cells[a] == cells[b], a == 3 && b == 19);
    }
}

TEST(BuiltInSkin, DigitRowsColoursAndSwatches) {
  const QImage& skin = TestSkin();
  for (int d = 0; d < 10; ++d) {
    SCOPED_TRACE(d);
    const int x = 727 + 8 * d;
    // The separator after each glyph is red over the glyph height.
    EXPECT_EQ(At(skin, x + 7, 1), Red);
    EXPECT_EQ(At(skin, x + 7, 17), Red);
    EXPECT_EQ(At(skin, x + 7, 19), Red);
    bool aqua = false, yellow = false;
    for (int y = 1; y <= 17; ++y)
      for (int i = 0; i < 7; ++i) {
        aqua |= At(skin, x + i, y) == Aqua;
        yellow |= At(skin, x + i, y + 18) == Yellow;
      }
    EXPECT_TRUE(aqua && yellow);
  }
  EXPECT_EQ(At(skin, 809, 5), Red);  // after ":"
  EXPECT_EQ(At(skin, 814, 5), Red);  // after "/"
  EXPECT_EQ(At(skin, 819, 5), Red);  // after "\"
  EXPECT_EQ(At(skin, ActiveCaptionPixel.x(), ActiveCaptionPixel.y()), QColor(0, 0, 127));
  EXPECT_EQ(At(skin, InactiveCaptionPixel.x(), InactiveCaptionPixel.y()), Grey);
  EXPECT_EQ(At(skin, PanelPixel.x(), PanelPixel.y()), Grey);
  EXPECT_EQ(At(skin, 810, 20), Red);
  EXPECT_EQ(At(skin, 810, 22), Red);
}

TEST(BuiltInSkin, MetersThumbAndBookmark) {
  const QImage& skin = TestSkin();
  // Frames white above, black below; unlit green, lit dark red inside.
  EXPECT_EQ(At(skin, 652, 91), White);
  EXPECT_EQ(At(skin, 660, 111), Black);
  EXPECT_EQ(At(skin, 655, 92), Green);
  EXPECT_EQ(At(skin, 665, 92), DarkRed);
  EXPECT_EQ(At(skin, 672 + 8, 91 + 8), Silver);  // disc centre
  EXPECT_EQ(At(skin, 672 + 8, 91 + 1), Black);   // its outline
  EXPECT_EQ(At(skin, 652 + 5, 113 + 5), Blue);
  EXPECT_EQ(At(skin, 652, 113), Grey);
}

TEST(SkinCopy, ASmallBitmapDrawsWhatItHasAndNothingElse) {
  QImage small(10, 10, QImage::Format_RGB32);
  small.fill(Qt::red);
  QImage target(10, 10, QImage::Format_RGB32);
  target.fill(Qt::magenta);
  {
    QPainter p(&target);
    CopySkinRect(p, &small, QRect(5, 5, 10, 10), QPoint(0, 0));
    CopySkinRect(p, &small, QRect(50, 0, 10, 10), QPoint(0, 0));  // wholly outside
    CopySkinRect(p, nullptr, QRect(0, 0, 10, 10), QPoint(0, 0));
  }
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(target, x, y), x < 5 && y < 5 ? QColor(Qt::red) : QColor(Qt::magenta));
}

TEST(SkinCopy, ASourceLeftOfTheBitmapLandsShifted) {
  QImage small(4, 4, QImage::Format_Indexed8);
  small.setColorTable({qRgb(0, 255, 0)});
  small.fill(0);
  QImage target(8, 8, QImage::Format_RGB32);
  target.fill(Qt::black);
  {
    QPainter p(&target);
    CopySkinRect(p, &small, QRect(-2, -2, 8, 8), QPoint(0, 0));
  }
  EXPECT_EQ(At(target, 1, 1), QColor(Qt::black));
  EXPECT_EQ(At(target, 2, 2), QColor(0, 255, 0));
  EXPECT_EQ(At(target, 5, 5), QColor(0, 255, 0));
  EXPECT_EQ(At(target, 6, 6), QColor(Qt::black));
}

TEST(SkinCopy, PixelsOutsideTheBitmapGiveTheFallback) {
  QImage small(4, 4, QImage::Format_RGB32);
  small.fill(Qt::red);
  EXPECT_EQ(SkinPixel(&small, QPoint(3, 3), Qt::blue), QColor(Qt::red));
  EXPECT_EQ(SkinPixel(&small, QPoint(810, 19), Qt::blue), QColor(Qt::blue));
  EXPECT_EQ(SkinPixel(nullptr, QPoint(0, 0), Qt::blue), QColor(Qt::blue));
}
