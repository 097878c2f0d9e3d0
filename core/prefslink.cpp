#include "core/prefslink.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include "core/MainUnit.h"
#include "core/playback.h"
#include "core/windowgeom.h"
#include "platform/system/msgbox.h"
#include "prefs/config.h"
#include "prefs/prefshost.h"

namespace {

// The main window's parts as the dialog sees them.
class TMainPrefsHost : public QObject, public TPrefsHost {
 public:
  explicit TMainPrefsHost(TfrMain& main) : QObject(&main), main_(main) { setObjectName("prefsHost"); }

  TSettings& Settings() override { return main_.Settings(); }
  TSettingsHost& SettingsHost() override { return main_.SettingsHost(); }
  TKeyMap& KeyMap() override { return main_.KeyMap(); }
  TWinLIRCClient& Remote() override { return main_.Remote(); }
  TFileAssociations& FileTypes() override { return main_.FileTypes(); }
  const QImage& SkinImage() const override { return *main_.Playback().SkinBitmap(); }
  void SaveSettings() override { main_.SettingsFile().SaveSettings(); }
  int ZoomX() const override { return main_.Geometry().Framing().ZoomX; }
  int ZoomY() const override { return main_.Geometry().Framing().ZoomY; }
  void SetZoom(int x, int y) override {
    main_.Geometry().Framing().ZoomX = x;
    main_.Geometry().Framing().ZoomY = y;
    main_.Geometry().PlaceVideo();
  }
  int AspectMode() const override { return main_.Geometry().Framing().AspectMode; }
  void SetAspectMode(int mode) override {
    main_.Geometry().Framing().AspectMode = mode;
    main_.Geometry().PlaceVideo();
  }
  int SubtitleOffset() const override { return main_.Playback().SubtitleOffset; }
  void SetSubtitleOffset(int seconds) override { main_.Playback().SubtitleOffset = seconds; }
  void SpeedChanged() override {
    if (main_.Playback().PlayState() == TPlayState::SpeedPlay) main_.Playback().SpeedPlay();
  }
  QRect WindowRect() const override { return main_.frameGeometry(); }
  void ReportError(const Exception& e) override { main_.OnApplicationException(e); }

  QPointer<TfrConfig> Dialog;

 private:
  TfrMain& main_;
};

}  // namespace

TfrConfig& PreferencesDialog(TfrMain& main) {
  auto* host = main.findChild<TMainPrefsHost*>("prefsHost", Qt::FindDirectChildrenOnly);
  if (!host) host = new TMainPrefsHost(main);
  if (!host->Dialog) host->Dialog = new TfrConfig(*host, &main);
  return *host->Dialog;
}

void ShowPreferences(TfrMain& main) {
  TfrConfig& dialog = PreferencesDialog(main);
  main.SettingsFile().Preferences([&dialog] { dialog.exec(); });
}

QString HelpFileIn(const QString& programDir) {
  const QString beside = programDir + QStringLiteral("/kelvar.html");
  if (QFileInfo(beside).isFile()) return beside;
  const QString installed =
      QDir::cleanPath(programDir + QStringLiteral("/" KELVARA_DATA_FROM_BIN "/kelvar.html"));
  if (QFileInfo(installed).isFile()) return installed;
  return {};
}

void OpenHelpFile() { OpenHelpFile(QCoreApplication::applicationDirPath()); }

void OpenHelpFile(const QString& programDir) {
  QString path = HelpFileIn(programDir);
  QString problem;
  if (path.isEmpty()) {
    path = programDir + QStringLiteral("/kelvar.html");
    problem = QStringLiteral("The help file %1 is missing.").arg(path);
  } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    problem = QStringLiteral("No program is set to open %1.").arg(path);
  }
  if (!problem.isEmpty())
    MessageBoxes().Show(QStringLiteral("Kelvara"), problem, TMsgIcon::Warning, TMsgButtons::Ok, nullptr);
}
