// The windows the main window's commands open, on a started main window
// with a real clip: which command opens what, the report's return to the
// play state it found, and the about window's facts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include "commands/commandtable.h"
#include "core/MainUnit.h"
#include "core/playback.h"
#include "core/about.h"
#include "core/dialogs.h"
#include "base/identity.h"
#include "lang/langs.h"
#include "media/DShowHlp.h"
#include "platform/media/gstversion.h"
#include "playlist/playlist.h"
#include "playlist/report.h"
#include "tests/support/wait.h"
#include "tests/support/main_window.h"

namespace {

class MainDialogs : public TMainWindowTest {
 protected:
  // Runs a command whose window is modal, and closes that window as soon as
  // it shows; answers the caption it had, empty when none showed.
  QString CaptionOfCommand(int id) {
    QString caption;
    QTimer::singleShot(0, [&] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        caption = w->windowTitle();
        w->close();
      }
    });
    Execute(id);
    QCoreApplication::processEvents();
    return caption;
  }
  double Rate() {
    double rate = 0;
    Playback().Engine().MediaSeeking->GetRate(rate);
    return rate;
  }
};

TEST_F(MainDialogs, CommandsOpenTheirWindowsAndTheFileOnesOnlyWithAFile) {
  EXPECT_EQ(CaptionOfCommand(cmFilters), QString());
  EXPECT_EQ(CaptionOfCommand(cmAudioProperties), QString());
  EXPECT_EQ(CaptionOfCommand(cmAbout), QStringLiteral("О программе"));
  EXPECT_EQ(CaptionOfCommand(cmGenerateReport), QStringLiteral("Report"));
  Open(Clips().Avi);
  EXPECT_TRUE(CaptionOfCommand(cmFilters).startsWith("FilterGraph GV:"));
  EXPECT_EQ(CaptionOfCommand(cmAudioProperties), QStringLiteral("Audio: 2 stream(s)"));
}

TEST_F(MainDialogs, ReportInspectsThePlaylistAndRestoresEachPlayState) {
  Open(Clips().Avi);
  main_->PlayList()->AddFiles({Clips().NotMedia}, false);
  TfrReport& report = ReportWindow(*main_, Playback(), *main_->PlayList());
  EXPECT_EQ(&ReportWindow(*main_, Playback(), *main_->PlayList()), &report);  // made once, kept

  Playback().Play();
  report.BuildReport();
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
  EXPECT_DOUBLE_EQ(Rate(), 1.0);
  const int64_t from = Playback().Engine().GetPosition();
  EXPECT_TRUE(PumpUntil([&] { return Playback().Engine().GetPosition() > from; }));

  const QStringList lines = report.mmReport->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("  1.video_2audio.avi ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(", 320x240x")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].contains(", ---x---x--            , ---")) << lines[1].toStdString();

  Playback().PauseMovie();
  report.BuildReport();
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);

  Playback().SpeedPlay();
  report.BuildReport();
  EXPECT_EQ(Playback().PlayState(), TPlayState::SpeedPlay);
  EXPECT_NEAR(Rate(), Settings().SpeedMultiplier / 10.0, 1e-9);
}

TEST_F(MainDialogs, AboutNamesTheProgramItsPlatformLicenceAndAddressInBothLanguages) {
  QString texts[2];
  for (int code : {lcRussian, lcEnglish}) {
    ApplyLanguage(code);
    TfrAbout w;
    const QString text = w.Text();
    texts[code] = text;
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8(AboutTexts(code).Caption));
    EXPECT_TRUE(text.startsWith(Identity::AppTitle));
    EXPECT_TRUE(text.contains(QString::fromLatin1(qVersion())));
    EXPECT_TRUE(text.contains(MediaFrameworkVersion()));
    EXPECT_TRUE(text.contains(Identity::Licence));
    EXPECT_TRUE(text.contains(Identity::ReportAddress));
  }
  ApplyLanguage(lcRussian);
  EXPECT_NE(texts[0], texts[1]);
}

}  // namespace
