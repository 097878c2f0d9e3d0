#include "media/escdialog.h"

#include <QKeyEvent>

void TEscDialog::showEvent(QShowEvent* e) {
  for (QWidget* w : findChildren<QWidget*>()) {
    w->removeEventFilter(this);
    w->installEventFilter(this);
  }
  QDialog::showEvent(e);
}

bool TEscDialog::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Escape) {
      if (e->type() == QEvent::KeyRelease && !k->isAutoRepeat()) close();
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void TEscDialog::keyPressEvent(QKeyEvent* e) {
  // The press is swallowed; the release closes.
  if (e->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(e);
}

void TEscDialog::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && !e->isAutoRepeat()) {
    close();
    return;
  }
  QDialog::keyReleaseEvent(e);
}
