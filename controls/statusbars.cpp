#include "controls/statusbars.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "controls/buttontable.h"
#include "controls/skin.h"
#include "controls/skinlayout.h"

namespace {

using namespace SkinLayout;

struct TGlyphSource {
  int Offset, Width;
};

// Any character other than digits, the colon and (on the position display)
// the slashes shows as a zero.
TGlyphSource GlyphOf(QChar c, bool slashes) {
  if (c >= u'0' && c <= u'9') return {DigitStride * (c.unicode() - u'0'), DigitWidth};
  if (c == u':') return {ColonOffset, ColonWidth};
  if (slashes && c == u'/') return {SlashOffset, SlashWidth};
  if (slashes && c == u'\\') return {BackslashOffset, BackslashWidth};
  return {0, DigitWidth};
}

void PaintDigitBox(QPainter& p, const QRect& r) {
  p.fillRect(r, Qt::black);
  p.setPen(QColor(192, 192, 192));
  p.drawLine(r.left(), r.top(), r.right(), r.top());
  p.drawLine(r.left(), r.top(), r.left(), r.bottom());
  p.setPen(Qt::white);
  p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

}  // namespace

std::vector<TGlyphPlace> ClockGlyphs(const QString& text) {
  static constexpr int Places[5] = {8, 16, 25, 29, 37};
  std::vector<TGlyphPlace> out;
  for (int i = 0; i < 5 && i < text.size(); ++i) {
    if (text[i] == u' ') continue;
    const TGlyphSource g = GlyphOf(text[i], false);
    out.push_back({Places[i], g.Offset, g.Width});
  }
  return out;
}

std::vector<TGlyphPlace> PositionGlyphs(const QString& text) {
  std::vector<TGlyphPlace> out;
  int x = 4;
  for (int i = 0; i < text.size(); ++i) {
    const int air = i == 7 ? 1 : 0;
    x += air;
    if (text[i] == u' ') {
      x += 2 + 1;
    } else {
      const TGlyphSource g = GlyphOf(text[i], true);
      out.push_back({x, g.Offset, g.Width});
      x += g.Width + 1;
    }
    x += air;
  }
  return out;
}

// ---- TKVCaption

TKVCaption::TKVCaption(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TKVCaption::SetCaption(const QString& text) {
  caption_ = text;
  update();
}

void TKVCaption::SetActive(bool active) {
  if (active_ == active) return;
  active_ = active;
  update();
}

void TKVCaption::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor fill = active_ ? SkinPixel(Skin, ActiveCaptionPixel, QColor(0, 0, 127))
                              : SkinPixel(Skin, InactiveCaptionPixel, QColor(127, 127, 127));
  p.fillRect(rect(), fill);
  p.setPen(QColor(192, 192, 192));
  p.drawLine(0, height() - 1, width() - 1, height() - 1);
  QFont f = font();
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(36, 3 + p.fontMetrics().ascent(), caption_);
}

void TKVCaption::PlaceRightButtons() {
  for (size_t i = 0; i < RightButtons.size(); ++i)
    if (RightButtons[i]) RightButtons[i]->move(width() - CaptionRightOffsets[i], RightButtons[i]->y());
}

void TKVCaption::resizeEvent(QResizeEvent*) { PlaceRightButtons(); }

void TKVCaption::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  captured_ = true;
  const QPoint at = e->position().toPoint();
  downX_ = at.x();
  downY_ = at.y();
}

void TKVCaption::mouseMoveEvent(QMouseEvent* e) {
  if (!captured_ || (IsFullScreen && IsFullScreen())) return;
  // The caption moves with the window, so the grab point stays under the pointer.
  const QPoint at = e->position().toPoint();
  QWidget* w = window();
  w->move(w->pos() + QPoint(at.x() - downX_, at.y() - downY_));
}

void TKVCaption::mouseDoubleClickEvent(QMouseEvent* e) {
  // Only the left button's double click means full screen.
  if (e->button() == Qt::LeftButton) doubleClicked_ = true;
  mousePressEvent(e);
}

void TKVCaption::mouseReleaseEvent(QMouseEvent* e) {
  captured_ = false;
  if (!doubleClicked_ || e->button() != Qt::LeftButton) return;
  // Full screen waits for the release, so the window never changes under a held button.
  doubleClicked_ = false;
  if (OnCommand) OnCommand(cmFullScreen);
}

// ---- TDigitBar, TTimeBar, TPosBar

TDigitBar::TDigitBar(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDigitBar::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void TDigitBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintDigitBox(p, rect());
  for (const TGlyphPlace& g : Glyphs())
    CopySkinRect(p, Skin, QRect(SkinX + 1 + g.Offset, SkinY + 1, g.Width, GlyphHeight), QPoint(g.X, 2));
}

void TPosBar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && OnClick) OnClick();
}

// ---- TCPULoad

int CpuLitHeight(int height, int load) {
  // A load outside 0..100 would reach past the meter into its neighbours.
  return std::clamp((height - 1) * std::clamp(load, 0, 100) / 100, 0, std::max(height - 1, 0));
}

TCPULoad::TCPULoad(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TCPULoad::SetLoad(int percent) {
  if (percent == load_) return;
  // The meter has a step per pixel of height, far fewer than the hundred
  // percents: a load that stays on the same step leaves the picture as it is.
  const bool redraw = CpuLitHeight(height(), percent) != CpuLitHeight(height(), load_);
  load_ = percent;
  if (redraw) update();
}

void TCPULoad::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  p.fillRect(rect(), palette().window());
  CopySkinRect(p, Skin, QRect(SkinX, SkinY, w, h), QPoint(0, 0));
  const int lit = CpuLitHeight(h, load_);
  if (lit > 0)
    CopySkinRect(p, Skin, QRect(SkinX + CpuLitShift, SkinY + h - lit - 1, w, lit + 1), QPoint(0, h - lit - 1));
}
