#pragma once
#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>

// Keeps the screensaver and monitor power-down away while the player runs.
// When the session will not hold them off (no such service, request refused)
// or the screensaver starts anyway, the owner is told through its callback so
// that it can say so on the info panel.
class TScreenSaverService {
 public:
  virtual ~TScreenSaverService() = default;
  // Asks once; `onActivation` runs on the UI thread for every failure to
  // hold the screensaver off, now or later. A new call replaces the callback.
  virtual void Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) = 0;
  // Gives the request back; also done when the application quits.
  virtual void UnInhibit() = 0;
  // True while the session holds the screensaver off for us.
  virtual bool IsInhibited() const = 0;
};

// The service in use: org.freedesktop.ScreenSaver on the session bus unless a
// test installed another.
TScreenSaverService& ScreenSaverService();
// Installs a service (nullptr restores the session-bus one). The caller keeps ownership.
void SetScreenSaverService(TScreenSaverService* service);

// The freedesktop.org screensaver interface on a bus. The request is sent
// without waiting, so a slow or missing service never holds up start-up.
class TDBusScreenSaver : public QObject, public TScreenSaverService {
  Q_OBJECT

 public:
  explicit TDBusScreenSaver(const QDBusConnection& bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
  ~TDBusScreenSaver() override;
  void Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) override;
  void UnInhibit() override;
  bool IsInhibited() const override { return cookie_ != 0; }

 private slots:
  void OnActiveChanged(bool active);

 private:
  void Report();
  void Watch();

  QDBusConnection bus_;
  std::function<void()> onActivation_;
  uint cookie_ = 0;
  bool pending_ = false;
  bool wanted_ = false;
  bool watching_ = false;
};
