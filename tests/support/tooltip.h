#pragma once
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

// Asks a control for its tooltip as the pointer resting on it would; empty
// when none shows.
inline QString TipShownFor(QWidget* w) {
  QHelpEvent e(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(w, &e);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}
