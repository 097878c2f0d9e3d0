#include "platform/media/videowidget.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// A sink reads the window's size from the display server over a connection
// of its own, and the size the toolkit has just asked for may still be on
// its way there. A sink that reads the old size places the picture for the
// old window: after leaving full screen it fell outside the shrunken window
// and the movie stayed black. One round trip on the toolkit's connection
// means the server has carried out the resize before the sink asks.
void CatchUpWithDisplayServer() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return;
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace

TVideoWidget::TVideoWidget(bool nativeOverlay) : nativeOverlay_(nativeOverlay) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  if (nativeOverlay_) {
    // The sink owns the pixels of this window; Qt must not paint over them.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  setMouseTracking(true);
}

quintptr TVideoWidget::OverlayHandle() { return nativeOverlay_ ? quintptr(winId()) : 0; }

void TVideoWidget::SetFrame(const QImage& frame) {
  frame_ = frame;
  ++framesShown_;
  update();
}

QPaintEngine* TVideoWidget::paintEngine() const {
  return nativeOverlay_ ? nullptr : QWidget::paintEngine();
}

// The sink redraws on the graphics thread and waits for it; a window that is
// going away (the player closing, the window hidden) has nothing to show,
// and asking then held the program up for good.
bool TVideoWidget::Showing() const {
  const QWindow* w = window()->windowHandle();
  return OnExpose && isVisible() && w && w->isExposed();
}

void TVideoWidget::paintEvent(QPaintEvent*) {
  if (nativeOverlay_) {
    if (Showing()) OnExpose();
    return;
  }
  QPainter p(this);
  if (frame_.isNull())
    p.fillRect(rect(), Qt::black);
  else
    p.drawImage(rect(), frame_);
}

void TVideoWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!nativeOverlay_ || !Showing()) return;
  CatchUpWithDisplayServer();
  OnExpose();
}

bool TVideoWidget::event(QEvent* e) {
  if (Forward(e)) return true;
  return QWidget::event(e);
}

// Mouse and key input over the picture belongs to the drain: the movie panel
// handles clicks, wheel and keys the same whether or not a film is shown.
bool TVideoWidget::Forward(QEvent* e) {
  QWidget* drain = drain_.data();
  if (!drain) return false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* m = static_cast<QMouseEvent*>(e);
      const QPointF local = drain->mapFromGlobal(m->globalPosition());
      QMouseEvent copy(m->type(), local, m->globalPosition(), m->button(), m->buttons(),
                       m->modifiers());
      QCoreApplication::sendEvent(drain, &copy);
      return true;
    }
    case QEvent::Wheel: {
      auto* w = static_cast<QWheelEvent*>(e);
      const QPointF local = drain->mapFromGlobal(w->globalPosition());
      QWheelEvent copy(local, w->globalPosition(), w->pixelDelta(), w->angleDelta(), w->buttons(),
                       w->modifiers(), w->phase(), w->inverted());
      QCoreApplication::sendEvent(drain, &copy);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* k = static_cast<QKeyEvent*>(e);
      QKeyEvent copy(k->type(), k->key(), k->modifiers(), k->nativeScanCode(),
                     k->nativeVirtualKey(), k->nativeModifiers(), k->text(), k->isAutoRepeat(),
                     k->count());
      QCoreApplication::sendEvent(drain, &copy);
      return true;
    }
    default:
      return false;
  }
}
