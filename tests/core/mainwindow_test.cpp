#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "core/geometry.h"
#include "core/dispatch.h"
#include "core/playback.h"
#include "core/windowgeom.h"
#include "platform/system/profile.h"
#include "playlist/playlist.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/main_window.h"
#include "tests/support/tempenv.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Touch(const QString& dir, const QString& name) {
  QDir().mkpath(dir);
  QFile f(dir + "/" + name);
  f.open(QIODevice::WriteOnly);
  return f.fileName();
}

void WriteSettings(const TPrivateHome& home, const QByteArray& text) {
  QDir().mkpath(home.ConfigDir());
  QFile f(home.ConfigDir() + "/kelvar.ini");
  f.open(QIODevice::WriteOnly);
  f.write(text);
}

// Asks a control for its tooltip as the pointer resting on it would.
QString TipShownFor(QWidget* w) {
  QHelpEvent e(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(w, &e);
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace

TEST(StartUp, WrongSystemLanguageAsksAndEndsWithoutSaving) {
  TPrivateHome home;
  home.env.Set("LC_ALL", "de_DE.UTF-8");
  TFakeDesktop desktop;
  auto& boxes = desktop.boxes;
  {
    TfrMain main;
    EXPECT_FALSE(main.StartUp({}));
    EXPECT_FALSE(main.isVisible());
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "Wrong system language");
  EXPECT_EQ(boxes.shown[0].buttons, TMsgButtons::YesNo);
  EXPECT_TRUE(boxes.shown[0].text.startsWith("This is non-english version of player.\r\n\r\n"));
  EXPECT_FALSE(QFile::exists(home.ConfigDir() + "/kelvar.ini"));
  EXPECT_FALSE(QFile::exists(home.ConfigDir() + "/kelvar.kpl"));
}

TEST(StartUp, FirstRunWritesSettingsCentresWindowAndSetsTitles) {
  TPrivateHome home;
  TFakeDesktop desktop;
  auto& boxes = desktop.boxes;
  TfrMain main;
  EXPECT_EQ(main.windowTitle(), "Kelvara");
  EXPECT_EQ(main.objectName(), "TfrMain");
  ASSERT_TRUE(main.StartUp({}));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(main.MainTitle(), "Kelvara 1.9 Beta");
  EXPECT_EQ(main.windowTitle(), "Kelvara 1.9 Beta");
  EXPECT_TRUE(main.Playback().Timer().isActive());
  EXPECT_EQ(main.Playback().Timer().interval(), 300);

  TIniFile ini;
  ASSERT_TRUE(ini.Load(home.ConfigDir() + "/kelvar.ini"));
  EXPECT_EQ(ini.ReadString("Common", "KVVer", ""), "1.9 Beta");
  EXPECT_EQ(ini.ReadInteger("PlayList", "LastPlayed", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Common", "Repeat", 0), 1);
  EXPECT_EQ(ini.ReadInteger("Audio", "Volume", 0), 100);
  EXPECT_EQ(ini.ReadString("CommandMap", "Wind_000", ""), "F3");

  // The first save stores the window as it stands, so a first run keeps the
  // built-in bounds.
  const TMovieRect r = main.Geometry().GetMovieRect();
  // The movie area of the built-in window below the caption bar and above
  // the control panel; the window is as high as the size limit allows.
  EXPECT_EQ(r, (TMovieRect{200, 126, 577, 277}));
  EXPECT_EQ(ini.ReadString("Common", "WindowPos", ""), "C80000007E0000004102000015010000");
  EXPECT_EQ(main.height(), 250);
}

TEST(StartUp, EmptyWindowPosCentresTheBuiltInWindow) {
  TPrivateHome home;
  TFakeDesktop desktop;
  QDir().mkpath(home.ConfigDir());
  QFile f(home.ConfigDir() + "/kelvar.ini");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Common]\r\nWindowPos=\r\n");
  f.close();
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const TMovieRect r = main.Geometry().GetMovieRect();
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  EXPECT_EQ(w, 377);
  EXPECT_EQ(h, 250 - kCaptionHeight - kControlHeight);
  EXPECT_EQ(r.Left, (screen.width() - w) / 2);
  EXPECT_EQ(r.Top, (screen.height() - h) / 2);
}

TEST(StartUp, CommandLineReplacesPlaylistSetsFolderAndPostsPlay) {
  TPrivateHome home;
  TFakeDesktop desktop;
  const QString dir = home.config.path() + "/My Movies";
  const QString a = Touch(dir, "a.avi"), b = Touch(dir, "b.avi");
  TfrMain main;
  QSignalSpy posted(&main.Commands(), &TCommandDispatch::CommandExecuted);
  ASSERT_TRUE(main.StartUp({a, b}));
  ASSERT_EQ(main.PlayList()->Count(), 2);
  EXPECT_EQ(main.PlayList()->Item(0).FileName, a);
  EXPECT_EQ(main.PlayList()->Item(1).FileName, b);
  EXPECT_EQ(main.Settings().VideoDir, dir + "/");
  QCoreApplication::processEvents();
  ASSERT_EQ(posted.count(), 1);
  EXPECT_EQ(posted.at(0).at(0).toInt(), 5);
}

TEST(StartUp, StoredSettingsAndDefaultPlaylistAreRead) {
  TPrivateHome home;
  TFakeDesktop desktop;
  const QString a = Touch(home.config.path() + "/m", "a.avi");
  {
    TfrMain first;
    ASSERT_TRUE(first.StartUp({a}));
    first.Settings().OnOpenPlay = false;
    first.close();
  }
  // Written on close: the default playlist beside the settings.
  EXPECT_TRUE(ReadAll(home.ConfigDir() + "/kelvar.kpl").contains("a.avi"));
  TfrMain second;
  QSignalSpy posted(&second.Commands(), &TCommandDispatch::CommandExecuted);
  ASSERT_TRUE(second.StartUp({}));
  EXPECT_FALSE(second.Settings().OnOpenPlay);
  ASSERT_EQ(second.PlayList()->Count(), 1);
  EXPECT_EQ(second.PlayList()->Item(0).FileName, a);
  QCoreApplication::processEvents();
  EXPECT_EQ(posted.count(), 0);
}

TEST(StartUp, HandedOverCommandLineReplacesPlaylist) {
  TPrivateHome home;
  TFakeDesktop desktop;
  const QString a = Touch(home.config.path(), "a.avi");
  const QString b = Touch(home.config.path() + "/My Movies", "b.avi");
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  main.OnCopyData("/usr/bin/kelvara " + a + " \"" + b + "\"");
  ASSERT_EQ(main.PlayList()->Count(), 2);
  EXPECT_EQ(main.PlayList()->Item(1).FileName, b);
  // Only the program path: the playlist stays as it is.
  main.OnCopyData("/usr/bin/kelvara");
  EXPECT_EQ(main.PlayList()->Count(), 2);
}

TEST(ShutDown, UnwritableSettingsFolderReachesTheErrorHandler) {
  TPrivateHome home;
  TFakeDesktop desktop;
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  // Put a plain file where the settings folder must be.
  QDir(home.ConfigDir()).removeRecursively();
  Touch(home.config.path(), "kelvara");
  EXPECT_ANY_THROW(main.SettingsFile().SaveSettings());
}

TEST(StartUp, HintsOffHoldsForEveryTooltipOfTheWindowWheneverItIsGiven) {
  TPrivateHome home;
  TFakeDesktop desktop;
  WriteSettings(home, "[Misc]\r\nHints=0\r\n");
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  main.show();
  // The buttons are named after the settings are read; they stay quiet.
  EXPECT_EQ(TfrMainTestAccess::Panels(main).Button(btLoadFiles)->toolTip(), "Загрузить файл");
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).Button(btLoadFiles)), "");
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).Button(btExit)), "");
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).tbVolume), "");
  TfrMainTestAccess::Panels(main).pbPosition->setToolTip("Позже");
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).pbPosition), "");
  // Switched on, every tooltip is back with its own text.
  main.SettingsHost().ShowHints(true);
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).Button(btLoadFiles)), "Загрузить файл");
  EXPECT_EQ(TipShownFor(TfrMainTestAccess::Panels(main).tbVolume), "Громкость");
  // Switched off again, the tip on show goes away.
  main.SettingsHost().ShowHints(false);
  EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 5000));
}

TEST(StartUp, SkinPanelColourFillsEveryRowOfTheControlPanel) {
  TPrivateHome home;
  TFakeDesktop desktop;
  QImage skin(820, 126, QImage::Format_RGB32);
  skin.fill(QColor(192, 192, 192));
  const QColor panel(200, 30, 40);
  skin.setPixelColor(810, 23, panel);
  const QString path = home.config.path() + "/red.bmp";
  ASSERT_TRUE(skin.save(path, "BMP"));
  WriteSettings(home, "[Interface]\r\nSkin=" + path.toLocal8Bit() + "\r\n");
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  auto colourAt = [](QWidget* w, QPoint p) { return w->grab().toImage().pixelColor(p); };
  EXPECT_EQ(colourAt(TfrMainTestAccess::Panels(main).pnAdvanced, QPoint(238, 2)), panel);
  EXPECT_EQ(colourAt(TfrMainTestAccess::Panels(main).pnInfo, QPoint(5, 5)), panel);
  // The seek bar's row, beside the track and under it.
  EXPECT_EQ(colourAt(TfrMainTestAccess::Panels(main).tbSeek, QPoint(1, 1)), panel);
  EXPECT_EQ(colourAt(TfrMainTestAccess::Panels(main).tbSeek, QPoint(TfrMainTestAccess::Panels(main).tbSeek->width() / 2, 18)), panel);
}
