#pragma once
// Where everything sits in the skin bitmap. The built-in skin's generator and
// every skinned control read these figures, so a user's bitmap of the same
// layout fits all of them. Rectangles are left, top, width, height.
#include <QPoint>
#include <QRect>

namespace SkinLayout {

inline constexpr int Width = 820;
inline constexpr int Height = 126;

// Button cells: one column per button, six state rows of one cell each.
inline constexpr int StateRows = 6;
inline constexpr int LargeCell = 21;
inline constexpr int LargeColumns = 31;
inline constexpr int SmallCell = 15;
inline constexpr int SmallColumns = 5;
inline constexpr int SmallCellsX = LargeCell * LargeColumns;  // 651
inline constexpr int LargeCellX(int k) { return LargeCell * k; }
inline constexpr int SmallCellX(int k) { return SmallCellsX + SmallCell * k; }

// State rows, counted from the top of the bitmap.
enum TStateRow : int {
  RowNormal = 0,
  RowHover = 1,
  RowDisabled = 2,
  RowDown = 3,
  RowDownHover = 4,
  RowDisabledDown = 5,
};

// Digit rows of the position display and the clock. A glyph at offset o and
// width w is the rectangle (origin.x + 1 + o, origin.y + 1, w, GlyphHeight);
// the column after each glyph is a separator that is never copied.
inline constexpr QPoint PositionOrigin{726, 0};
inline constexpr QPoint ClockOrigin{726, 18};
inline constexpr int GlyphHeight = 17;
inline constexpr int DigitWidth = 7;
inline constexpr int DigitStride = 8;
inline constexpr int ColonOffset = 80;
inline constexpr int ColonWidth = 2;
inline constexpr int SlashOffset = 83;
inline constexpr int SlashWidth = 4;
inline constexpr int BackslashOffset = 88;
inline constexpr int BackslashWidth = 4;

// Single colour pixels.
inline constexpr QPoint ActiveCaptionPixel{810, 19};
inline constexpr QPoint InactiveCaptionPixel{810, 21};
inline constexpr QPoint PanelPixel{810, 23};

inline constexpr QRect VolumeBackground{727, 37, 60, 17};
inline constexpr QRect VolumeThumb{788, 37, 5, 17};
inline constexpr QPoint CpuMeterOrigin{652, 91};
inline constexpr int CpuMeterWidth = 9;
inline constexpr int CpuMeterHeight = 21;
inline constexpr int CpuLitShift = 10;  // the lit meter sits this far right of the unlit one
inline constexpr QRect SeekThumb{672, 91, 17, 17};
inline constexpr QRect BookmarkGlyph{652, 113, 11, 11};

}  // namespace SkinLayout
