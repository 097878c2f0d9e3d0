#include "platform/system/power.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QtGlobal>

namespace {

class TLogindPower : public TPowerService {
 public:
  bool PowerOff() override {
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
                           QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"),
                           QDBusConnection::systemBus());
    if (!manager.isValid()) {
      qWarning("Power off: logind is not reachable: %s", qPrintable(manager.lastError().message()));
      return false;
    }
    // Not interactive: a policy that wants a password refuses instead of
    // leaving an authentication prompt behind a full-screen movie.
    manager.setTimeout(10000);
    const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), false);
    if (!reply.isValid()) {
      qWarning("Power off refused: %s", qPrintable(reply.error().message()));
      return false;
    }
    return true;
  }
};

TPowerService* g_service = nullptr;

}  // namespace

TPowerService& PowerService() {
  static TLogindPower logind;
  return g_service ? *g_service : logind;
}

void SetPowerService(TPowerService* service) { g_service = service; }
