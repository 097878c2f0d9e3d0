#include "platform/system/screensaver.h"

#include "platform/system/xscreensaver.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

TScreenSaverService* g_service = nullptr;

}  // namespace

TDBusScreenSaver::TDBusScreenSaver(const QDBusConnection& bus, QObject* parent) : QObject(parent), bus_(bus) {
  if (auto* app = QCoreApplication::instance())
    connect(app, &QCoreApplication::aboutToQuit, this, &TDBusScreenSaver::UnInhibit);
}

TDBusScreenSaver::~TDBusScreenSaver() {
  // Without an application the bus is already gone; the session drops the
  // request of a client that left anyway.
  if (QCoreApplication::instance()) UnInhibit();
}

void TDBusScreenSaver::Report() {
  if (onActivation_) onActivation_();
}

void TDBusScreenSaver::Watch() {
  if (watching_ || !bus_.isConnected()) return;
  watching_ = bus_.connect(kService, kPath, kInterface, QStringLiteral("ActiveChanged"), this,
                           SLOT(OnActiveChanged(bool)));
}

void TDBusScreenSaver::OnActiveChanged(bool active) {
  if (active) Report();
}

void TDBusScreenSaver::Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) {
  onActivation_ = std::move(onActivation);
  wanted_ = true;
  if (cookie_ || pending_) return;
  // A session without the service (plain X) has nothing that could start;
  // only a screensaver that really starts is reported.
  if (!bus_.isConnected()) return;
  Watch();
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
  call << app << reason;
  // A session without the service must answer "no" at once, not start one.
  call.setAutoStartService(false);
  pending_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    w->deleteLater();
    pending_ = false;
    const QDBusPendingReply<uint> reply = *w;
    if (reply.isError()) {
      qInfo("Screensaver inhibit refused: %s", qPrintable(reply.error().message()));
      return;
    }
    cookie_ = reply.value();
    // Given back while the answer was on its way.
    if (!wanted_) UnInhibit();
  });
}

void TDBusScreenSaver::UnInhibit() {
  wanted_ = false;
  if (!cookie_) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("UnInhibit"));
  call << cookie_;
  cookie_ = 0;
  // Waited for, briefly: at quit there is no event loop left to send it later.
  bus_.call(call, QDBus::Block, 2000);
}

TScreenSaverService& ScreenSaverService() {
  if (g_service) return *g_service;
  // Owned by the application, so that they go while the bus and the display
  // connection are still there.
  static QPointer<TDBusScreenSaver> session;
  static QPointer<TXScreenSaver> x;
  if (!session) session = new TDBusScreenSaver(QDBusConnection::sessionBus(), QCoreApplication::instance());
  if (!x) x = new TXScreenSaver(QByteArray(), QCoreApplication::instance());
  static std::optional<TSessionScreenSavers> both;
  both.emplace(*session, *x);
  return *both;
}

void SetScreenSaverService(TScreenSaverService* service) { g_service = service; }
