#pragma once
// Reading the skin bitmap. The owner keeps one QImage and hands controls a
// pointer to it; replacing the image's content changes every control at its
// next repaint. A bitmap smaller than the layout is never read outside its
// bounds: the part of a glyph it lacks is simply not drawn.
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

// Copies the skin rectangle src so that its top-left lands on dst, clipped
// to what the bitmap holds.
void CopySkinRect(QPainter& painter, const QImage* skin, const QRect& src, const QPoint& dst);

// The skin's colour at p, or fallback when the bitmap does not reach it.
QColor SkinPixel(const QImage* skin, const QPoint& p, const QColor& fallback);

// The skin built into the program, in a format that copies fast.
QImage LoadBuiltInSkin();
