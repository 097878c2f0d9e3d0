// Paints the player's themed icons: the program, its playlist file, a video
// file and an audio file, at every size the hicolor theme lists.
// Usage: kelvara_icongen <folder>   (writes <folder>/hicolor/NxN/...)
// Run at build time; the icons are installed, not compiled in.
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

const QColor Navy(16, 32, 74), Blue(42, 95, 208), Aqua(0, 255, 255), Yellow(255, 220, 0),
    Paper(250, 250, 246), Edge(120, 120, 120), Ink(40, 40, 40);

// The play mark: a triangle pointing right inside the box.
void PlayMark(QPainter& p, const QRectF& box, const QColor& colour) {
  QPainterPath tri;
  tri.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.12);
  tri.lineTo(box.right() - box.width() * 0.08, box.center().y());
  tri.lineTo(box.left() + box.width() * 0.22, box.bottom() - box.height() * 0.12);
  tri.closeSubpath();
  p.fillPath(tri, colour);
}

// The program: a blue tile with an aqua ring and a yellow play mark.
void Program(QPainter& p, double s) {
  QLinearGradient g(0, 0, 0, s);
  g.setColorAt(0, Blue);
  g.setColorAt(1, Navy);
  QPainterPath tile;
  tile.addRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
  p.fillPath(tile, g);
  p.setPen(QPen(Aqua, qMax(1.0, s * 0.07)));
  p.drawEllipse(QRectF(s * 0.2, s * 0.2, s * 0.6, s * 0.6));
  p.setPen(Qt::NoPen);
  PlayMark(p, QRectF(s * 0.33, s * 0.3, s * 0.4, s * 0.4), Yellow);
}

// A document with a folded corner; the badge is drawn on its lower part.
void Sheet(QPainter& p, double s, const std::function<void(const QRectF&)>& badge) {
  const double l = s * 0.16, t = s * 0.04, r = s * 0.84, b = s * 0.96, fold = s * 0.22;
  QPainterPath page;
  page.moveTo(l, t);
  page.lineTo(r - fold, t);
  page.lineTo(r, t + fold);
  page.lineTo(r, b);
  page.lineTo(l, b);
  page.closeSubpath();
  p.setPen(QPen(Edge, qMax(1.0, s / 32)));
  p.setBrush(Paper);
  p.drawPath(page);
  QPainterPath corner;
  corner.moveTo(r - fold, t);
  corner.lineTo(r - fold, t + fold);
  corner.lineTo(r, t + fold);
  p.setBrush(QColor(210, 210, 205));
  p.drawPath(corner);
  p.setPen(Qt::NoPen);
  badge(QRectF(l + s * 0.08, t + fold + s * 0.06, r - l - s * 0.16, b - t - fold - s * 0.14));
}

void Playlist(QPainter& p, double s) {
  Sheet(p, s, [&](const QRectF& box) {
    const double h = box.height() / 5;
    for (int i = 0; i < 3; ++i)
      p.fillRect(QRectF(box.left() + box.width() * 0.4, box.top() + h * (2 * i), box.width() * 0.6,
                        qMax(1.0, h * 0.8)),
                 Ink);
    PlayMark(p, QRectF(box.left() - box.width() * 0.1, box.top(), box.width() * 0.45, box.height() * 0.9), Blue);
  });
}

void Video(QPainter& p, double s) {
  Sheet(p, s, [&](const QRectF& box) {
    p.fillRect(box, Navy);
    const double hole = box.width() / 9;
    for (int i = 0; i < 4; ++i) {
      const double y = box.top() + box.height() * (0.1 + 0.22 * i);
      p.fillRect(QRectF(box.left() + hole * 0.3, y, hole * 0.6, hole * 0.6), Paper);
      p.fillRect(QRectF(box.right() - hole * 0.9, y, hole * 0.6, hole * 0.6), Paper);
    }
    PlayMark(p, box.adjusted(box.width() * 0.25, box.height() * 0.15, -box.width() * 0.2, -box.height() * 0.15), Yellow);
  });
}

void Audio(QPainter& p, double s) {
  Sheet(p, s, [&](const QRectF& box) {
    const double w = box.width();
    const QRectF head(box.left() + w * 0.12, box.bottom() - w * 0.36, w * 0.42, w * 0.32);
    p.setBrush(Blue);
    p.drawEllipse(head);
    const double stemX = head.right() - w * 0.08;
    p.fillRect(QRectF(stemX, box.top(), qMax(1.0, w * 0.1), head.center().y() - box.top()), Blue);
    QPainterPath flag;
    flag.moveTo(stemX, box.top());
    flag.cubicTo(stemX + w * 0.35, box.top() + w * 0.1, stemX + w * 0.45, box.top() + w * 0.3,
                 stemX + w * 0.3, box.top() + w * 0.5);
    flag.lineTo(stemX + w * 0.1, box.top() + w * 0.25);
    flag.closeSubpath();
    p.fillPath(flag, Blue);
  });
}

struct TIcon {
  const char* Context;
  const char* Name;
  void (*Paint)(QPainter&, double);
};

const TIcon Icons[] = {
    {"apps", "kelvara", Program},
    {"mimetypes", "application-x-kelvara-playlist", Playlist},
    {"mimetypes", "kelvara-video-file", Video},
    {"mimetypes", "kelvara-audio-file", Audio},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    for (const TIcon& icon : Icons) {
      const QString dir = QStringLiteral("%1/hicolor/%2x%2/%3").arg(QString::fromLocal8Bit(argv[1])).arg(size).arg(icon.Context);
      QDir().mkpath(dir);
      QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        icon.Paint(p, size);
      }
      const QString path = dir + QLatin1Char('/') + QLatin1String(icon.Name) + QStringLiteral(".png");
      if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
      }
    }
  }
  return 0;
}
