// Paints the built-in skin bitmap and writes it as a 16-colour BMP.
// Usage: kelvara_skingen <output.bmp> [preview.png]
// Run at build time; the bitmap is then compiled into the program.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <array>
#include <cstdio>
#include <initializer_list>

#include "controls/skinlayout.h"

namespace {

using namespace SkinLayout;

// The sixteen colours of the bitmap.
const std::array<QRgb, 16> Palette = {
    qRgb(0, 0, 0),       qRgb(255, 255, 255), qRgb(192, 192, 192), qRgb(127, 127, 127),
    qRgb(0, 0, 255),     qRgb(0, 128, 0),     qRgb(128, 0, 0),     qRgb(255, 255, 0),
    qRgb(0, 255, 255),   qRgb(255, 0, 0),     qRgb(0, 0, 127),     qRgb(64, 64, 64),
    qRgb(96, 96, 96),    qRgb(160, 160, 160), qRgb(224, 224, 224), qRgb(32, 32, 32),
};
const QColor Black(0, 0, 0), White(255, 255, 255), Silver(192, 192, 192), Grey(127, 127, 127),
    Blue(0, 0, 255), Green(0, 128, 0), DarkRed(128, 0, 0), Yellow(255, 255, 0), Aqua(0, 255, 255),
    Red(255, 0, 0), DarkBlue(0, 0, 127);
const std::array<QColor, 4> Ramp = {QColor(64, 64, 64), QColor(96, 96, 96), QColor(160, 160, 160),
                                    QColor(224, 224, 224)};

using TArt = std::initializer_list<const char*>;

// Large-cell glyphs, 11 x 11, in cell order.
const TArt LargeGlyphs[LargeColumns] = {
    // eject
    {".....#.....", "....###....", "...#####...", "..#######..", ".#########.", "###########",
     "...........", "###########", "###########", "...........", "..........."},
    // stop square
    {"...........", "...........", "..#######..", "..#######..", "..#######..", "..#######..",
     "..#######..", "..#######..", "..#######..", "...........", "..........."},
    // frame step: bar and triangle
    {".##.#......", ".##.##.....", ".##.###....", ".##.####...", ".##.#####..", ".##.######.",
     ".##.#####..", ".##.####...", ".##.###....", ".##.##.....", ".##.#......"},
    // play triangle
    {"..#........", "..##.......", "..###......", "..####.....", "..#####....", "..######...",
     "..#####....", "..####.....", "..###......", "..##.......", "..#........"},
    // double triangle
    {"...........", "#....#.....", "##...##....", "###..###...", "####.####..", "##########.",
     "####.####..", "###..###...", "##...##....", "#....#.....", "..........."},
    // full-screen frame
    {"###########", "#.........#", "#.###.###.#", "#.#.....#.#", "#.........#", "#.........#",
     "#.........#", "#.#.....#.#", "#.###.###.#", "#.........#", "###########"},
    // small square in a frame
    {"###########", "#.........#", "#.........#", "#.........#", "#...###...#", "#...###...#",
     "#...###...#", "#.........#", "#.........#", "#.........#", "###########"},
    // previous: bar and left triangle
    {".##......#.", ".##.....##.", ".##....###.", ".##...####.", ".##..#####.", ".##.######.",
     ".##..#####.", ".##...####.", ".##....###.", ".##.....##.", ".##......#."},
    // list
    {"...........", "##.#######.", "...........", "##.#######.", "...........", "##.#######.",
     "...........", "##.#######.", "...........", "##.#######.", "..........."},
    // next: right triangle and bar
    {".#......##.", ".##.....##.", ".###....##.", ".####...##.", ".#####..##.", ".######.##.",
     ".#####..##.", ".####...##.", ".###....##.", ".##.....##.", ".#......##."},
    // loudspeaker
    {"......#....", ".....##....", "....###.#..", "#######..#.", "#######..#.", "#######..#.",
     "#######..#.", "#######..#.", "....###.#..", ".....##....", "......#...."},
    // boxed loudspeaker
    {"###########", "#.........#", "#.....#...#", "#....##...#", "#.#####.#.#", "#.#####.#.#",
     "#.#####.#.#", "#....##...#", "#.....#...#", "#.........#", "###########"},
    // monitor
    {"###########", "#.........#", "#.........#", "#.........#", "#.........#", "#.........#",
     "#.........#", "###########", ".....#.....", "...#####...", "..........."},
    // camera
    {"...........", "...###.....", ".#########.", ".#...#...#.", ".#..#.#..#.", ".#.#...#.#.",
     ".#..#.#..#.", ".#...#...#.", ".#########.", "...........", "..........."},
    // four-way arrow
    {".....#.....", "....###....", "...#.#.#...", ".....#.....", ".#...#...#.", "###########",
     ".#...#...#.", ".....#.....", "...#.#.#...", "....###....", ".....#....."},
    // boxed letter S
    {"###########", "#.........#", "#..#####..#", "#.##...##.#", "#.##......#", "#..#####..#",
     "#......##.#", "#.##...##.#", "#..#####..#", "#.........#", "###########"},
    // letter F in a diamond
    {".....#.....", "....#.#....", "...#...#...", "..#.###.#..", ".#..#....#.", "#...##....#",
     ".#..#....#.", "..#.#...#..", "...#...#...", "....#.#....", ".....#....."},
    // letter i
    {".....##....", ".....##....", "...........", "....###....", ".....##....", ".....##....",
     ".....##....", ".....##....", ".....##....", "....####...", "..........."},
    // wrench
    {".......#..#", "......##..#", "......#####", ".....#####.", "....###....", "...###.....",
     "..###......", ".###.......", "###........", "##.........", "..........."},
    // play triangle
    {"..#........", "..##.......", "..###......", "..####.....", "..#####....", "..######...",
     "..#####....", "..####.....", "..###......", "..##.......", "..#........"},
    // letter R
    {"...........", "..######...", "..##...##..", "..##...##..", "..##...##..", "..######...",
     "..####.....", "..##.##....", "..##..##...", "..##...##..", "..........."},
    // plus
    {"...........", "....###....", "....###....", "....###....", ".#########.", ".#########.",
     ".#########.", "....###....", "....###....", "....###....", "..........."},
    // plus with folder
    {"........#..", ".......###.", "........#..", ".###.......", "#...#####..", "#.......#..",
     "#.......#..", "#.......#..", "#.......#..", "#########..", "..........."},
    // minus
    {"...........", "...........", "...........", "...........", ".#########.", ".#########.",
     ".#########.", "...........", "...........", "...........", "..........."},
    // list with bar
    {"........##.", "##.####.##.", "........##.", "##.####.##.", "........##.", "##.####.##.",
     "........##.", "##.####.##.", "........##.", "##.####.##.", "........##."},
    // up triangle
    {"...........", "...........", ".....#.....", "....###....", "...#####...", "..#######..",
     ".#########.", "###########", "...........", "...........", "..........."},
    // down triangle
    {"...........", "...........", "...........", "###########", ".#########.", "..#######..",
     "...#####...", "....###....", ".....#.....", "...........", "..........."},
    // up-down arrow with list
    {"..#........", ".###.......", "#####.####.", "..#........", "..#..#####.", "..#........",
     "..#..#####.", "..#........", "#####.####.", ".###.......", "..#........"},
    // question mark with list
    {".####......", "##..##.....", "....##.####", "...##......", "..##...####", "..##.......",
     ".......####", "..##.......", "..##...####", "...........", "..........."},
    // tree list
    {"##..#######", "##.........", ".#.........", ".###.######", ".#.........", ".#.........",
     ".###.######", ".#.........", ".#.........", ".###.######", "..........."},
    // floppy disk with arrow
    {".........#.", ".........#.", "........###", "######...#.", "#.##.##....", "#.##..#....",
     "#.....#....", "#.###.#....", "#.#.#.#....", "#.###.#....", "#######...."},
};

// Small-cell glyphs, 7 x 7.
const TArt SmallGlyphs[SmallColumns] = {
    // question mark
    {"..###..", ".#...#.", ".....#.", "....#..", "...#...", ".......", "...#..."},
    // up triangle
    {".......", "...#...", "..###..", ".#####.", "#######", ".......", "......."},
    // underscore
    {".......", ".......", ".......", ".......", ".......", "#######", "#######"},
    // window frame
    {"#######", "#######", "#.....#", "#.....#", "#.....#", "#.....#", "#######"},
    // cross
    {"##...##", ".##.##.", "..###..", "...#...", "..###..", ".##.##.", "##...##"},
};

void Art(QImage& img, int x, int y, const TArt& art, const QColor& c) {
  int row = 0;
  for (const char* line : art) {
    for (int col = 0; line[col]; ++col)
      if (line[col] == '#') img.setPixel(x + col, y + row, c.rgb());
    ++row;
  }
}

void Frame3D(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.left(), r.top(), r.right(), r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom());
  p.setPen(bottomRight);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

// The glyph colour of a state row; an invalid colour means embossed.
QColor GlyphColour(int row, int column, bool large) {
  if (row == RowDisabled || row == RowDisabledDown) return {};
  const bool lit = row == RowHover || row == RowDown || row == RowDownHover;
  if (large && lit) {
    if (column == 3 || column == 19) return Green;  // play triangles
    if (column == 1) return DarkRed;                // stop square
    if (column == 4) return Yellow;                 // fast forward
  }
  return (row == RowHover || row == RowDownHover) ? Blue : Black;
}

void PaintCells(QImage& img, int x0, int size, int column, bool large, const TArt& art, int glyphSize) {
  for (int row = 0; row < StateRows; ++row) {
    const QRect cell(x0, row * size, size, size);
    {
      QPainter p(&img);
      p.fillRect(cell, Silver);
      const bool sunken = row >= RowDown;
      Frame3D(p, cell, sunken ? Black : White, sunken ? White : Black);
    }
    // A pressed button's glyph moves one pixel down and right.
    const int shift = row >= RowDown ? 1 : 0;
    const int gx = x0 + (size - glyphSize) / 2 + shift, gy = row * size + (size - glyphSize) / 2 + shift;
    const QColor c = GlyphColour(row, column, large);
    if (c.isValid()) {
      Art(img, gx, gy, art, c);
    } else {
      Art(img, gx + 1, gy + 1, art, White);
      Art(img, gx, gy, art, Grey);
    }
  }
}

// Block digits for the position display and the clock, 7 x 13 inside the
// 17-pixel glyph row. Segments a..g as on a seven-segment display.
void PaintDigit(QPainter& p, int x, int y, int d, const QColor& c) {
  static const char* const segments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                            "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
  const int top = y + 2;
  for (const char* s = segments[d]; *s; ++s) {
    switch (*s) {
      case 'a': p.fillRect(x, top, 7, 2, c); break;
      case 'b': p.fillRect(x + 5, top, 2, 7, c); break;
      case 'c': p.fillRect(x + 5, top + 6, 2, 7, c); break;
      case 'd': p.fillRect(x, top + 11, 7, 2, c); break;
      case 'e': p.fillRect(x, top + 6, 2, 7, c); break;
      case 'f': p.fillRect(x, top, 2, 7, c); break;
      case 'g': p.fillRect(x, top + 6, 7, 1, c); break;
    }
  }
}

void PaintDigitRow(QImage& img, QPoint origin, const QColor& c, bool slashes) {
  QPainter p(&img);
  p.fillRect(origin.x(), origin.y(), Width - origin.x(), GlyphHeight + 1, Black);
  const int y = origin.y() + 1, gx = origin.x() + 1;
  auto separator = [&](int x) { p.fillRect(x, y, 1, GlyphHeight, Red); };
  for (int d = 0; d < 10; ++d) {
    PaintDigit(p, gx + DigitStride * d, y, d, c);
    separator(gx + DigitStride * d + DigitWidth);
  }
  p.fillRect(gx + ColonOffset, y + 5, 2, 2, c);
  p.fillRect(gx + ColonOffset, y + 10, 2, 2, c);
  separator(gx + ColonOffset + ColonWidth);
  if (!slashes) return;
  for (int row = 0; row < 13; ++row) {
    const int step = row * SlashWidth / 13;
    p.fillRect(gx + SlashOffset + SlashWidth - 1 - step, y + 2 + row, 1, 1, c);
    p.fillRect(gx + BackslashOffset + step, y + 2 + row, 1, 1, c);
  }
  separator(gx + SlashOffset + SlashWidth);
  separator(gx + BackslashOffset + BackslashWidth);
}

// The caption and panel colours: one-pixel bands between red lines.
void PaintSwatches(QImage& img) {
  QPainter p(&img);
  const int x = ActiveCaptionPixel.x(), w = Width - x;
  p.fillRect(x, ActiveCaptionPixel.y() - 1, w, 7, Red);
  p.fillRect(x, ActiveCaptionPixel.y(), w, 1, DarkBlue);
  p.fillRect(x, InactiveCaptionPixel.y(), w, 1, Grey);
  p.fillRect(x, PanelPixel.y(), w, 1, Grey);
}

void PaintVolume(QImage& img) {
  QPainter p(&img);
  const QRect bg = VolumeBackground;
  // A wedge rising to the right, lighter towards full volume.
  for (int i = 0; i < bg.width(); ++i) {
    const int h = 2 + i * (bg.height() - 4) / (bg.width() - 1);
    p.fillRect(bg.left() + i, bg.bottom() - 1 - h, 1, h, Ramp[i * 4 / bg.width()]);
  }
  p.fillRect(bg.left(), bg.bottom() - 1, bg.width(), 1, Black);
  const QRect t = VolumeThumb;
  p.fillRect(t, Silver);
  Frame3D(p, t, White, Black);
}

void PaintCpuMeter(QImage& img) {
  QPainter p(&img);
  for (int lit = 0; lit < 2; ++lit) {
    const QRect r(CpuMeterOrigin.x() + lit * CpuLitShift, CpuMeterOrigin.y(), CpuMeterWidth, CpuMeterHeight);
    p.fillRect(r, lit ? DarkRed : Green);
    // Dark gaps make the meter read as a column of segments.
    for (int y = r.top() + 3; y < r.bottom(); y += 3) p.fillRect(r.left() + 1, y, r.width() - 2, 1, Black);
    Frame3D(p, r, White, Black);
  }
}

void PaintSeekThumb(QImage& img) {
  QPainter p(&img);
  const QRect r = SeekThumb;
  p.fillRect(r, Grey);
  const int cx = 8, cy = 8;
  for (int y = 0; y < r.height(); ++y)
    for (int x = 0; x < r.width(); ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d2 <= 36) p.fillRect(r.left() + x, r.top() + y, 1, 1, Silver);
      else if (d2 <= 56) p.fillRect(r.left() + x, r.top() + y, 1, 1, Black);
    }
}

void PaintBookmark(QImage& img) {
  const QRect r = BookmarkGlyph;
  {
    QPainter p(&img);
    p.fillRect(r, Grey);
  }
  Art(img, r.left(), r.top(),
      {"...........", ".#########.", ".#########.", "..#######..", "..#######..", "...#####...",
       "...#####...", "....###....", "....###....", ".....#.....", "..........."},
      Blue);
}

QImage PaintSkin() {
  QImage img(Width, Height, QImage::Format_RGB32);
  img.fill(Grey);
  for (int k = 0; k < LargeColumns; ++k) PaintCells(img, LargeCellX(k), LargeCell, k, true, LargeGlyphs[k], 11);
  for (int k = 0; k < SmallColumns; ++k) PaintCells(img, SmallCellX(k), SmallCell, k, false, SmallGlyphs[k], 7);
  PaintDigitRow(img, PositionOrigin, Aqua, true);
  PaintDigitRow(img, ClockOrigin, Yellow, false);
  PaintSwatches(img);
  PaintVolume(img);
  PaintCpuMeter(img);
  PaintSeekThumb(img);
  PaintBookmark(img);
  return img;
}

int PaletteIndex(QRgb c) {
  for (int i = 0; i < 16; ++i)
    if (qRed(Palette[i]) == qRed(c) && qGreen(Palette[i]) == qGreen(c) && qBlue(Palette[i]) == qBlue(c)) return i;
  return -1;
}

template <typename T>
void Put(QByteArray& out, T v) {
  const T le = qToLittleEndian(v);
  out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// A 4-bit uncompressed bitmap, rows bottom-up, each padded to four bytes.
bool WriteBmp16(const QImage& img, const QString& path) {
  const int stride = ((img.width() + 1) / 2 + 3) & ~3;
  const quint32 offset = 14 + 40 + 16 * 4, size = offset + stride * img.height();
  QByteArray out;
  out.append("BM");
  Put<quint32>(out, size);
  Put<quint32>(out, 0);
  Put<quint32>(out, offset);
  Put<quint32>(out, 40);
  Put<qint32>(out, img.width());
  Put<qint32>(out, img.height());
  Put<quint16>(out, 1);
  Put<quint16>(out, 4);
  Put<quint32>(out, 0);
  Put<quint32>(out, stride * img.height());
  Put<qint32>(out, 2835);
  Put<qint32>(out, 2835);
  Put<quint32>(out, 16);
  Put<quint32>(out, 0);
  for (QRgb c : Palette) {
    out.append(char(qBlue(c)));
    out.append(char(qGreen(c)));
    out.append(char(qRed(c)));
    out.append('\0');
  }
  for (int y = img.height() - 1; y >= 0; --y) {
    QByteArray row(stride, '\0');
    for (int x = 0; x < img.width(); ++x) {
      const int i = PaletteIndex(img.pixel(x, y));
      if (i < 0) {
        std::fprintf(stderr, "skingen: colour %08x at %d,%d is not in the palette\n", img.pixel(x, y), x, y);
        return false;
      }
      row[x / 2] = char(row[x / 2] | (x % 2 ? i : i << 4));
    }
    out.append(row);
  }
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output.bmp> [preview.png]\n", argv[0]);
    return 2;
  }
  const QImage skin = PaintSkin();
  if (!WriteBmp16(skin, QString::fromLocal8Bit(argv[1]))) return 1;
  if (argc > 2 && !skin.save(QString::fromLocal8Bit(argv[2]))) return 1;
  return 0;
}
