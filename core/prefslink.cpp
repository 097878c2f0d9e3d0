#include "core/prefslink.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

#include "commands/commandtable.h"
#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "lang/langs.h"
#include "platform/system/msgbox.h"
#include "prefs/config.h"
#include "prefs/prefshost.h"

namespace {

// The main window as the dialog sees it.
class TMainPrefsHost : public QObject, public TPrefsHost {
 public:
  explicit TMainPrefsHost(TfrMain& main) : QObject(&main), main_(main) { setObjectName("prefsHost"); }

  TSettings& Settings() override { return main_.Settings; }
  TSettingsHost& SettingsHost() override { return main_; }
  TKeyMap& KeyMap() override { return main_.KeyMap; }
  const QImage& SkinImage() const override { return main_.Skin; }
  void SaveSettings() override { main_.SettingsFile().SaveSettings(); }
  int ZoomX() const override { return main_.ZoomX; }
  int ZoomY() const override { return main_.ZoomY; }
  void SetZoom(int x, int y) override {
    main_.ZoomX = x;
    main_.ZoomY = y;
    main_.PlaceVideo();
  }
  int AspectMode() const override { return main_.AspectMode; }
  void SetAspectMode(int mode) override {
    main_.AspectMode = mode;
    main_.PlaceVideo();
  }
  int SubtitleOffset() const override { return main_.SubtitleOffset; }
  void SetSubtitleOffset(int seconds) override { main_.SubtitleOffset = seconds; }
  void SpeedChanged() override {
    if (main_.PlayState == TPlayState::SpeedPlay) main_.SpeedPlay();
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

void FollowLanguage(TfrMain& main) {
  auto relabel = [&main] {
    const TRunTimeTexts& t = RunTimeTexts();
    main.tbVolume->setToolTip(t.sHintVolume);
    main.pbPosition->setToolTip(t.sHintPosition);
    main.tbClock->setToolTip(t.sHintClock);
    main.cpuLoad->setToolTip(t.sHintCPU);
    for (int i = 0; i < MainButtonCount; ++i)
      if (THoverButton* b = main.Button(i)) b->setToolTip(CommandName(b->Command));
  };
  OnLanguageChange(&main, relabel);
  relabel();
}

void OpenHelpFile() {
  const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/kelvar.html");
  QString problem;
  if (!QFileInfo(path).isFile())
    problem = QStringLiteral("The help file %1 is missing.").arg(path);
  else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    problem = QStringLiteral("No program is set to open %1.").arg(path);
  if (!problem.isEmpty())
    MessageBoxes().Show(QStringLiteral("Kelvara"), problem, TMsgIcon::Warning, TMsgButtons::Ok, nullptr);
}
