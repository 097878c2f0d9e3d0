#include "core/sizeframe.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TSizeFrame::TSizeFrame(QWidget* window, int border)
    : QObject(window), window_(window), border_(border) {
  Watch(window);
}

void TSizeFrame::Watch(QObject* o) {
  o->installEventFilter(this);
  if (auto* w = qobject_cast<QWidget*>(o)) w->setMouseTracking(true);
  for (QObject* c : o->children())
    if (c->isWidgetType()) Watch(c);
}

void TSizeFrame::SetEnabled(bool on) {
  enabled_ = on;
  if (!on && cursorSet_) {
    window_->unsetCursor();
    cursorSet_ = false;
  }
}

Qt::Edges TSizeFrame::EdgesAt(const QPoint& p) const {
  Qt::Edges e;
  if (!enabled_) return e;
  if (p.x() < border_) e |= Qt::LeftEdge;
  if (p.x() >= window_->width() - border_) e |= Qt::RightEdge;
  if (p.y() < border_) e |= Qt::TopEdge;
  if (p.y() >= window_->height() - border_) e |= Qt::BottomEdge;
  return e;
}

bool TSizeFrame::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded:
      // Widgets added later (panels, buttons) must report edge hovers too.
      if (auto* ce = static_cast<QChildEvent*>(event); ce->child()->isWidgetType())
        Watch(ce->child());
      break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(event);
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w || w->window() != window_) break;
      const Qt::Edges edges = EdgesAt(window_->mapFromGlobal(me->globalPosition().toPoint()));
      if (event->type() == QEvent::MouseMove && me->buttons() == Qt::NoButton) {
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
          shape = Qt::SizeFDiagCursor;
        else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
          shape = Qt::SizeBDiagCursor;
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
          shape = Qt::SizeHorCursor;
        else if (edges & (Qt::TopEdge | Qt::BottomEdge))
          shape = Qt::SizeVerCursor;
        if (edges) {
          window_->setCursor(shape);
          cursorSet_ = true;
        } else if (cursorSet_) {
          window_->unsetCursor();
          cursorSet_ = false;
        }
      } else if (event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton &&
                 edges && window_->windowHandle()) {
        if (window_->windowHandle()->startSystemResize(edges)) return true;
      }
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
