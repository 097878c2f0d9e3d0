#include "controls/hoverbt.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/skin.h"
#include "controls/skinlayout.h"

int ButtonStateRow(bool enabled, bool down, bool pressed, bool hover) {
  using namespace SkinLayout;
  if (!enabled) return down || pressed ? RowDisabledDown : RowDisabled;
  return (down || pressed ? RowDown : RowNormal) + (hover ? 1 : 0);
}

THoverButton::THoverButton(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);  // hover comes from plain moves, without a button held
  setAttribute(Qt::WA_OpaquePaintEvent);
}

bool THoverButton::SetAndRepaint(bool& field, bool value) {
  if (field == value) return false;
  field = value;
  update();
  return true;
}

void THoverButton::SetDown(bool down) { SetAndRepaint(down_, down); }
void THoverButton::SetEnabled(bool enabled) { SetAndRepaint(enabled_, enabled); }
void THoverButton::SetHover(bool hover) { SetAndRepaint(hover_, hover); }
void THoverButton::SetPressed(bool pressed) { SetAndRepaint(pressed_, pressed); }

void THoverButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  // What a short skin lacks stays in the panel's colour.
  p.fillRect(rect(), palette().window());
  CopySkinRect(p, Skin, QRect(SkinX, StateRow() * h, w, h), QPoint(0, 0));
}

void THoverButton::Leave() {
  SetHover(false);
  SetPressed(false);
}

void THoverButton::mouseMoveEvent(QMouseEvent* e) {
  // While a button is held the moves keep coming after the pointer has
  // left; leaving then cancels the click just as an ordinary leave does.
  if (rect().contains(e->position().toPoint()))
    SetHover(true);
  else
    Leave();
}

void THoverButton::mousePressEvent(QMouseEvent*) {
  // A press ends the hover look (the pressed row shows without it) until the
  // pointer moves over the button again.
  SetHover(false);
  if (enabled_) SetPressed(true);
}

void THoverButton::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void THoverButton::mouseReleaseEvent(QMouseEvent* e) {
  if (!rect().contains(e->position().toPoint())) {
    Leave();
    return;
  }
  if (enabled_ && pressed_) {
    SetPressed(false);
    if (OnCommand) OnCommand(Command);
  }
}

void THoverButton::leaveEvent(QEvent*) { Leave(); }
