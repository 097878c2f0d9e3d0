#include "platform/system/xscreensaver.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

TXScreenSaver::TXScreenSaver(const QByteArray& display, QObject* parent) : QObject(parent) {
  display_ = XOpenDisplay(display.isEmpty() ? nullptr : display.constData());
  if (!display_) return;
  int errorBase = 0;
  if (!XScreenSaverQueryExtension(display_, &eventBase_, &errorBase)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return;
  }
  notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadEvents(); });
  if (auto* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &TXScreenSaver::UnInhibit);
}

TXScreenSaver::~TXScreenSaver() {
  if (!display_) return;
  UnInhibit();
  XCloseDisplay(display_);
}

void TXScreenSaver::Inhibit(const QString&, const QString&, std::function<void()> onActivation) {
  onActivation_ = std::move(onActivation);
  if (!display_ || suspended_) return;
  XScreenSaverSuspend(display_, True);
  XScreenSaverSelectInput(display_, DefaultRootWindow(display_), ScreenSaverNotifyMask);
  XFlush(display_);
  suspended_ = true;
}

void TXScreenSaver::UnInhibit() {
  if (!display_ || !suspended_) return;
  suspended_ = false;
  XScreenSaverSuspend(display_, False);
  XScreenSaverSelectInput(display_, DefaultRootWindow(display_), 0);
  XFlush(display_);
}

void TXScreenSaver::ReadEvents() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != eventBase_ + ScreenSaverNotify) continue;
    const auto& notice = reinterpret_cast<const XScreenSaverNotifyEvent&>(event);
    // Blanking forced by someone else while we hold it off: that is news.
    if (notice.state == ScreenSaverOn && suspended_ && onActivation_) onActivation_();
  }
}
