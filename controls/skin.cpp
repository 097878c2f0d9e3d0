#include "controls/skin.h"

#include <QImageReader>
#include <QPainter>

void CopySkinRect(QPainter& painter, const QImage* skin, const QRect& src, const QPoint& dst) {
  if (!skin || skin->isNull()) return;
  const QRect part = src.intersected(skin->rect());
  if (part.isEmpty()) return;
  const QPoint to = dst + (part.topLeft() - src.topLeft());
  const QImage::Format f = skin->format();
  if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied) {
    painter.drawImage(to, *skin, part);
  } else {
    // Indexed and other bitmaps would be converted whole on every copy.
    painter.drawImage(to, skin->copy(part).convertToFormat(QImage::Format_RGB32));
  }
}

QColor SkinPixel(const QImage* skin, const QPoint& p, const QColor& fallback) {
  if (!skin || !skin->valid(p)) return fallback;
  return QColor(skin->pixel(p));
}

QImage LoadBuiltInSkin() {
  // A fixed format keeps the image reader from loading every image plugin
  // on the system (and their libraries) to ask each whether it knows the file.
  QImageReader reader(QStringLiteral(":/skin/default.bmp"), "BMP");
  reader.setAutoDetectImageFormat(false);
  return reader.read().convertToFormat(QImage::Format_RGB32);
}
