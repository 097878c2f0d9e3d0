#pragma once
#include <QByteArray>
#include <QObject>
#include <functional>

#include "platform/system/screensaver.h"

class QSocketNotifier;
struct _XDisplay;

// The X server's own screen blanking and monitor power-down, held off with
// the screen-saver extension's suspend request over a connection of our own
// (the server drops the request with the connection, so a crash cannot leave
// the display unable to blank). Only a screensaver that really starts is
// reported.
class TXScreenSaver : public QObject, public TScreenSaverService {
 public:
  // `display` as DISPLAY names it; empty means the session's.
  explicit TXScreenSaver(const QByteArray& display = QByteArray(), QObject* parent = nullptr);
  ~TXScreenSaver() override;
  void Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) override;
  void UnInhibit() override;
  bool IsInhibited() const override { return suspended_; }
  // False without an X server or without the extension.
  bool Available() const { return display_ != nullptr; }

 private:
  void ReadEvents();

  _XDisplay* display_ = nullptr;
  int eventBase_ = 0;
  bool suspended_ = false;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> onActivation_;
};

// The session bus's screensaver and the X server's, held off together.
class TSessionScreenSavers : public TScreenSaverService {
 public:
  TSessionScreenSavers(TScreenSaverService& bus, TScreenSaverService& x) : bus_(bus), x_(x) {}
  void Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) override {
    bus_.Inhibit(app, reason, onActivation);
    x_.Inhibit(app, reason, onActivation);
  }
  void UnInhibit() override {
    bus_.UnInhibit();
    x_.UnInhibit();
  }
  bool IsInhibited() const override { return bus_.IsInhibited() || x_.IsInhibited(); }

 private:
  TScreenSaverService& bus_;
  TScreenSaverService& x_;
};
