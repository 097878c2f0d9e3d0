#include "controls/brandtb.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "controls/skin.h"
#include "controls/skinlayout.h"

namespace {

const QColor Aqua(0, 255, 255), Silver(192, 192, 192);

}  // namespace

// ---- TDragTrackBar

void TDragTrackBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  captured_ = true;
  TrackTo(e->position().toPoint().x());
  dragging_ = true;
}

void TDragTrackBar::mouseMoveEvent(QMouseEvent* e) {
  if (dragging_) TrackTo(e->position().toPoint().x());
}

void TDragTrackBar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragging_ = captured_ = false;
}

// ---- TTimeTrackBar

TTimeTrackBar::TTimeTrackBar(QWidget* parent) : TDragTrackBar(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont f(QStringLiteral("Small Fonts"));
  f.setPointSize(7);
  setFont(f);
}

void TTimeTrackBar::ShowPosition(qint64 t) {
  position_ = t;
  const int x = TimeToX(Track(), position_, duration_);
  if (x == thumbX_) return;
  thumbX_ = x;
  update();
}

void TTimeTrackBar::SetDuration(qint64 t) {
  duration_ = t;
  update();
}

void TTimeTrackBar::SetBookmark(int index, qint64 t) {
  if (index < 0 || index >= MarkCount) return;
  marks_[index] = t;
  update();
}

qint64 TTimeTrackBar::GetBookmark(int index) const {
  return index >= 0 && index < MarkCount ? marks_[index] : 0;
}

void TTimeTrackBar::ClearBookmarks() {
  marks_.fill(0);
  update();
}

void TTimeTrackBar::SetShowMarks(bool show) {
  showMarks_ = show;
  update();
}

void TTimeTrackBar::TrackTo(int x) {
  position_ = XToTime(Track(), x, duration_);
  update();
  if (OnChange) OnChange();
}

void TTimeTrackBar::paintEvent(QPaintEvent*) {
  const TTrack track = Track();
  thumbX_ = TimeToX(track, position_, duration_);
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  if (isEnabled()) CopySkinRect(p, Skin, SkinLayout::SeekThumb, QPoint(thumbX_ - 8, 0));
  if (track.End() > track.Start()) {
    p.fillRect(track.Start(), 12, track.End() - track.Start(), 1, Qt::white);
    p.fillRect(track.Start(), 13, track.End() - track.Start(), 1, Qt::black);
  }
  if (!isEnabled() || duration_ <= 0 || track.Usable() <= 0) return;
  PaintScale(p, track);
  if (showMarks_) {
    p.setPen(Aqua);
    p.setBrush(Aqua);
    for (qint64 t : marks_) {
      if (t <= 0) continue;
      const int x = MarkX(track, t, duration_);
      p.drawPolygon(QPolygon({QPoint(x, 13), QPoint(x + 2, 15), QPoint(x - 2, 15)}));
    }
  }
  const QPoint pointer[4] = {{thumbX_ - 3, 17}, {thumbX_ + 4, 17}, {thumbX_ + 1, 10}, {thumbX_, 10}};
  p.setPen(Silver);
  p.setBrush(Silver);
  p.drawPolygon(pointer, 4);
  p.setPen(Qt::black);
  p.drawLine(pointer[0], pointer[1]);
  p.drawLine(pointer[1], pointer[2]);
  p.drawLine(pointer[2], pointer[3]);
  p.setPen(Qt::white);
  p.drawLine(pointer[3], pointer[0]);
}

void TTimeTrackBar::PaintScale(QPainter& p, const TTrack& track) {
  const TScale scale = BuildScale(track, duration_);
  p.setPen(Qt::white);
  // Ticks span y 10..13, the last row of the track included.
  p.drawLine(scale.EndX, 10, scale.EndX, 13);
  for (int x : scale.MinorTicks) p.drawPoint(x, 11);
  const QFontMetrics fm = p.fontMetrics();
  for (const TScaleLabel& label : scale.Labels) {
    p.drawLine(label.X, 10, label.X, 13);
    const int left = label.X - fm.horizontalAdvance(label.Text) / 2;
    p.drawText(left, fm.ascent(), label.Text);
  }
}

// ---- TVolumeTrackBar

int VolumeThumbX(int position, int max, int width, int margin) {
  if (max <= 0) return 0;
  return margin + (width - 2 * margin) * position / max;
}

int VolumeFromX(int x, int max, int width, int margin) {
  const int usable = width - 2 * margin;
  if (max <= 0 || usable <= 0) return 0;
  return std::clamp((x - margin) * max / usable, 0, max);
}

TVolumeTrackBar::TVolumeTrackBar(QWidget* parent) : TDragTrackBar(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVolumeTrackBar::SetVolume(int v) {
  position_ = max_ > 0 ? std::clamp(v, 0, max_) : 0;
  const int x = VolumeThumbX(position_, max_, width(), margin_);
  if (x != thumbX_) {
    thumbX_ = x;
    update();
  }
  if (OnChange) OnChange();
}

void TVolumeTrackBar::TrackTo(int x) {
  position_ = VolumeFromX(x, max_, width(), margin_);
  thumbX_ = VolumeThumbX(position_, max_, width(), margin_);
  update();
  if (OnChange) OnChange();
}

void TVolumeTrackBar::paintEvent(QPaintEvent*) {
  thumbX_ = VolumeThumbX(position_, max_, width(), margin_);
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  CopySkinRect(p, Skin, SkinLayout::VolumeBackground, QPoint(3, 0));
  CopySkinRect(p, Skin, SkinLayout::VolumeThumb, QPoint(thumbX_ - 2, 0));
}
