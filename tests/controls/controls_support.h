#pragma once
#include <QColor>
#include <QImage>
#include <QWidget>

#include "controls/skin.h"

// One built-in skin for every test in the binary.
inline const QImage& TestSkin() {
  static const QImage skin = LoadBuiltInSkin();
  return skin;
}

// What the control paints, as an image.
inline QImage Painted(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QColor At(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

// True when the w x h block at (x, y) of a equals the block at (sx, sy) of b.
inline bool SameBlock(const QImage& a, int x, int y, const QImage& b, int sx, int sy, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (a.pixel(x + i, y + j) != b.pixel(sx + i, sy + j)) return false;
  return true;
}
