#include "controls/multivolume.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int Gap = 5;
const QColor Silver(192, 192, 192), Grey(128, 128, 128), DarkGrey(64, 64, 64);

// A filled box with a one-pixel 3D border; r's right and bottom are exclusive.
void Box(QPainter& p, int left, int top, int right, int bottom, const QColor& topLeft,
         const QColor& bottomRight, const QColor& fill) {
  p.fillRect(left, top, right - left, bottom - top, fill);
  p.setPen(topLeft);
  p.drawLine(left, top, right - 1, top);
  p.drawLine(left, top, left, bottom - 1);
  p.setPen(bottomRight);
  p.drawLine(left, bottom - 1, right - 1, bottom - 1);
  p.drawLine(right - 1, top, right - 1, bottom - 1);
}

void Raised(QPainter& p, int l, int t, int r, int b, const QColor& fill) { Box(p, l, t, r, b, Qt::white, Qt::black, fill); }
void Sunken(QPainter& p, int l, int t, int r, int b) { Box(p, l, t, r, b, Qt::black, Qt::white, Silver); }

}  // namespace

std::optional<TMultiVolumeHit> MultiVolumeHitAt(int x, int y, int count) {
  if (x < 0 || x % MultiVolumeColumnWidth < Gap) return std::nullopt;
  const int k = (x - Gap) / MultiVolumeColumnWidth, r = (x - Gap) % MultiVolumeColumnWidth;
  if (k >= std::min(count, MultiVolumeColumns)) return std::nullopt;
  if (y >= 117) return TMultiVolumeHit{k, true, std::clamp((r - 27) * 500, -10000, 10000)};
  int v = 360 - 30 * y;
  if (v < -3000) v = -10000;
  if (v > 0) v = 0;
  return TMultiVolumeHit{k, false, v};
}

int VolumeKnobTop(int volume) { return 110 - std::max((volume + 3000) / 30, 0); }

int BalanceKnobLeft(int column, int balance) { return MultiVolumeColumnWidth * column + 30 + balance / 500; }

TMultiVolumeBar::TMultiVolumeBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(0, 145);
}

void TMultiVolumeBar::SetCount(int n) {
  count_ = std::clamp(n, 0, MultiVolumeColumns);
  resize(count_ * MultiVolumeColumnWidth + Gap, height());
  update();
}

void TMultiVolumeBar::Reset() {
  for (int i = 0; i < count_; ++i) Levels[i] = {};
  if (OnChange) OnChange();
  update();
}

void TMultiVolumeBar::SetLevelAt(const QPoint& at) {
  const auto hit = MultiVolumeHitAt(at.x(), at.y(), count_);
  if (!hit) return;
  (hit->Balance ? Levels[hit->Column].Balance : Levels[hit->Column].Volume) = hit->Value;
  if (OnChange) OnChange();
  update();
}

// Moves arrive only while a button is held, that is while this control
// holds the mouse; the press and the release belong to the same grab.
void TMultiVolumeBar::mousePressEvent(QMouseEvent* e) { SetLevelAt(e->position().toPoint()); }
void TMultiVolumeBar::mouseMoveEvent(QMouseEvent* e) { SetLevelAt(e->position().toPoint()); }
void TMultiVolumeBar::mouseReleaseEvent(QMouseEvent* e) { SetLevelAt(e->position().toPoint()); }

void TMultiVolumeBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Box(p, 0, 0, width(), height(), Qt::white, DarkGrey, Grey);
  for (int i = 0; i < count_; ++i) {
    const int c = MultiVolumeColumnWidth * i;
    Raised(p, c + 5, 5, c + 60, 140, Grey);
    Sunken(p, c + 30, 10, c + 35, 115);
    const int top = VolumeKnobTop(Levels[i].Volume);
    Raised(p, c + 20, top, c + 45, top + 5, Silver);
    Sunken(p, c + 10, 125, c + 55, 130);
    const int x = BalanceKnobLeft(i, Levels[i].Balance);
    Raised(p, x, 120, x + 5, 135, Silver);
  }
}
