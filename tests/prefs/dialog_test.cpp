// The preferences dialog on a started main window: the command's
// save-load-show-load transaction, the controls' effects, the key map and
// the language.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "commands/keymap.h"
#include "commands/winlirc.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "core/about.h"
#include "tests/support/main_window.h"
#include "core/prefslink.h"
#include "lang/langs.h"
#include "platform/system/profile.h"
#include "prefs/associations.h"
#include "prefs/config.h"
#include "prefs/keygrid.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"
#include "tests/support/tooltip.h"

namespace {

TMainPanels& Panels(TfrMain& main) { return TfrMainTestAccess::Panels(main); }

QString WriteSkin(const QString& dir, const QString& name, QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  const QString path = dir + "/" + name;
  image.save(path, "BMP");
  return path;
}

class Prefs : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(main_.StartUp({})); }
  void TearDown() override { ApplyLanguage(lcRussian); }

  TfrConfig& Dialog() { return PreferencesDialog(main_); }

  // The preferences command as F10 runs it; `act` runs once the dialog is
  // shown and closes it. A dialog left open is cancelled after a deadline
  // so that a failing test cannot hang.
  void WhileShown(const std::function<void(TfrConfig&)>& act) {
    bool ran = false;
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      TfrConfig& d = Dialog();
      if (!d.isVisible()) return;
      if (!ran) {
        ran = true;
        act(d);
      } else if (waited.elapsed() > 10000) {
        d.reject();
      }
    });
    poll.start();
    main_.Commands().ExecuteCommand(cmPreferences);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(Dialog().isVisible());
  }

  TIniFile SavedIni() {
    TIniFile ini;
    EXPECT_TRUE(ini.Load(home_.ConfigDir() + "/kelvar.ini"));
    return ini;
  }

  TPrivateHome home_;
  TFakeDesktop desktop_;
  TfrMain main_;
};

}  // namespace

TEST_F(Prefs, WindowTreeAndPages) {
  TfrConfig& d = Dialog();
  EXPECT_EQ(d.windowTitle(), "Kelvara Configuration");
  EXPECT_EQ(d.size(), QSize(519, 329));
  ASSERT_EQ(d.tvCategory->topLevelItemCount(), 10);
  EXPECT_EQ(d.tvCategory->topLevelItem(2)->text(0), "Всякая всячина");
  EXPECT_EQ(d.btCancel->text(), "Отмена");
  EXPECT_TRUE(d.btOk->isDefault());
  d.tvCategory->setCurrentItem(d.tvCategory->topLevelItem(6));
  EXPECT_EQ(d.nbPages->currentIndex(), 6);
  EXPECT_TRUE(d.sgCommands->isVisibleTo(d.nbPages->currentWidget()));
  EXPECT_EQ(d.clbFileTypes->count(), 27);
  EXPECT_FALSE(d.findChild<QPushButton*>("sbKeysWMP")->isEnabled());
  EXPECT_FALSE(d.findChild<QPushButton*>("sbKeysZoom")->isEnabled());
  // Every control starts from the live settings.
  EXPECT_EQ(d.tbSpeed->value(), 13);
  EXPECT_EQ(d.lbSpeed->text(), "x1,3");
  EXPECT_EQ(d.edKeySeek->text(), "10");
  EXPECT_EQ(d.edAspectRatio->text(), "47 : 20");
  EXPECT_EQ(d.edMicroDVDFPS->text(), "25,00");
  EXPECT_EQ(d.edWIRCport->text(), "8765");
  EXPECT_TRUE(d.cbHints->isChecked());
  EXPECT_EQ(d.pnZoom->text(), "Zoom: 1,00 x 1,00");
  EXPECT_EQ(d.btScrMode->text(), "640 x 480, 16 Bits");
  EXPECT_FALSE(d.btScrMode->isEnabled());
  EXPECT_EQ(d.sbSkinLoad->text(), "Загрузить набор кнопок");
}

TEST_F(Prefs, CancelBringsSavedSettingsBackAndKeepsRuntimeValues) {
  main_.show();
  THoverButton* stop = Panels(main_).ButtonFor(cmStop);
  ASSERT_EQ(TipShownFor(stop), "Стоп");
  WhileShown([&](TfrConfig& d) {
    d.cbHints->click();
    EXPECT_EQ(TipShownFor(stop), "");  // at the click
    d.cbHighPriority->click();
    EXPECT_EQ(desktop_.priority.requested.back(), TPriorityClass::High);
    d.cbShowBookmarks->click();
    EXPECT_FALSE(Panels(main_).tbSeek->ShowMarks());
    d.tbZoomX->setValue(30);
    EXPECT_EQ(d.pnZoom->text(), "Zoom: 1,30 x 1,00");
    d.findChild<QGroupBox*>("rgAspectRatio")->findChildren<QRadioButton*>()[2]->click();
    d.tbSTOfs->setValue(-65);
    d.edKeySeek->setText("x");
    emit d.edKeySeek->textEdited("x");
    d.sgCommands->SetCurrentGridCell(cmRepeatPlaylist + 1, 1);
    QTest::keyClick(d.sgCommands, Qt::Key_F11);
    d.btCancel->click();
  });
  EXPECT_TRUE(main_.Settings().Hints);
  EXPECT_EQ(TipShownFor(stop), "Стоп");
  EXPECT_FALSE(main_.Settings().HighPriority);
  EXPECT_EQ(desktop_.priority.requested.back(), TPriorityClass::Normal);
  EXPECT_TRUE(Panels(main_).tbSeek->ShowMarks());
  EXPECT_EQ(main_.Settings().KeySeek, "10");
  EXPECT_EQ(main_.KeyMap().Cell(cmRepeatPlaylist, TKeyColumn::Window), "R");
  // Not saved settings: they keep what was set.
  EXPECT_EQ(main_.Geometry().Framing().ZoomX, 30);
  EXPECT_EQ(main_.Geometry().Framing().AspectMode, 2);
  EXPECT_EQ(main_.Playback().SubtitleOffset, -65);
  EXPECT_EQ(SavedIni().ReadInteger("Misc", "Hints", 0), 1);
}

TEST_F(Prefs, OkSavesAndACapturedKeyRunsAtOnce) {
  WhileShown([&](TfrConfig& d) {
    d.cbHints->click();
    d.tvCategory->setCurrentItem(d.tvCategory->topLevelItem(6));
    d.sgCommands->SetCurrentGridCell(cmRepeatPlaylist + 1, 1);
    QTest::keyClick(d.sgCommands, Qt::Key_F11);
    d.btOk->click();
  });
  EXPECT_FALSE(main_.Settings().Hints);
  EXPECT_EQ(main_.KeyMap().Cell(cmRepeatPlaylist, TKeyColumn::Window), "F11");
  const TIniFile ini = SavedIni();
  EXPECT_EQ(ini.ReadInteger("Misc", "Hints", 1), 0);
  EXPECT_EQ(ini.ReadString("CommandMap", "Wind_01A", ""), "F11");

  QSignalSpy ran(&main_.Commands(), &TCommandDispatch::CommandExecuted);
  const bool repeat = main_.Playback().RepeatPlaylist();
  QTest::keyClick(&main_, Qt::Key_F11);
  QTRY_VERIFY_WITH_TIMEOUT(!ran.isEmpty(), 5000);
  EXPECT_EQ(ran.first().first().toInt(), cmRepeatPlaylist);
  EXPECT_NE(main_.Playback().RepeatPlaylist(), repeat);
}

TEST_F(Prefs, PresetsClearAndEveryCellSurvivesSaveAndLoad) {
  TfrConfig& d = Dialog();
  auto click = [&](const char* name) { d.findChild<QPushButton*>(name)->click(); };
  click("sbKeysBSp");
  EXPECT_EQ(main_.KeyMap().Cell(cmLoadFiles, TKeyColumn::Window), "L");
  EXPECT_EQ(main_.KeyMap().Cell(cmLoadFiles, TKeyColumn::FullScreen), "L");
  QStringList remotes;
  for (int id = 0; id < CommandCount; ++id)
    if (!main_.KeyMap().Cell(id, TKeyColumn::Remote).isEmpty()) remotes << main_.KeyMap().Cell(id, TKeyColumn::Remote);
  EXPECT_EQ(remotes, (QStringList{"stop", "play", "tv", "p-", "p+", "frev", "ffor", "mute", "v+", "v-", "pwr"}));
  EXPECT_EQ(d.sgCommands->GridCell(cmStop + 1, 3), "stop");

  click("sbKeysSasami");
  for (int id = 0; id < CommandCount; ++id) EXPECT_EQ(main_.KeyMap().Cell(id, TKeyColumn::Remote), "");
  EXPECT_EQ(main_.KeyMap().Cell(cmFullScreen, TKeyColumn::Window), "Alt+Enter");

  click("sbDefaultKeys");
  TKeyMap standard;
  standard.ApplyPreset(TKeyPreset::Default);
  EXPECT_EQ(main_.KeyMap(), standard);

  click("sbClearKeys");
  EXPECT_EQ(main_.KeyMap(), TKeyMap());
  EXPECT_EQ(d.sgCommands->GridCell(1, 1), "");

  // Long texts, one-character keys and empty cells all come back as written.
  main_.KeyMap().ApplyPreset(TKeyPreset::Default);
  main_.KeyMap().SetCell(cmStop, TKeyColumn::Window, "=");
  main_.KeyMap().SetCell(cmStop, TKeyColumn::FullScreen, ";");
  main_.KeyMap().SetCell(cmPlay, TKeyColumn::Remote, "Ctrl+Alt+Shift+Del");
  main_.KeyMap().SetCell(cmExit, TKeyColumn::Window, "");
  const TKeyMap before = main_.KeyMap();
  main_.SettingsFile().SaveSettings();
  main_.KeyMap().ClearAll();
  main_.SettingsFile().LoadSettings();
  for (int id = 0; id < CommandCount; ++id)
    for (int c = 0; c < KeyColumnCount; ++c)
      EXPECT_EQ(main_.KeyMap().Cell(id, TKeyColumn(c)), before.Cell(id, TKeyColumn(c))) << id << " " << c;
}

// The check list shows the associations' marks: read back from the desktop
// by the settings load, changed by the group buttons for whole MIME types,
// and given to the desktop by OK.
TEST_F(Prefs, FileTypePageShowsAndAppliesTheAssociations) {
  TFileAssociations& types = main_.FileTypes();
  TfrConfig& d = Dialog();
  auto shown = [&](int i) { return d.clbFileTypes->item(i)->checkState() == Qt::Checked; };
  // Every item shows its type's mark: items of one type alike, items
  // without a type clear and not checkable.
  auto expectWholeTypes = [&](const char* when) {
    for (int i = 0; i < FileTypeCount; ++i) {
      EXPECT_EQ(shown(i), types.Checked(i)) << when << " " << i;
      if (!types.Associable(i)) {
        EXPECT_FALSE(shown(i)) << when << " " << i;
        EXPECT_FALSE(d.clbFileTypes->item(i)->flags() & Qt::ItemIsUserCheckable) << when << " " << i;
      }
      for (int j = 0; j < FileTypeCount; ++j)
        if (types.Associable(i) && types.MimeType(i) == types.MimeType(j))
          EXPECT_EQ(shown(i), shown(j)) << when << " " << i << " " << j;
    }
  };
  const int avi = 2, mp3 = 23;
  ASSERT_TRUE(types.Associable(avi));
  ASSERT_TRUE(types.Associable(mp3));

  // Refresh: the desktop holds AVI, the marks in memory say nothing; the
  // load reads them back and the dialog shows them.
  types.SetChecked(avi, true);
  types.Apply();
  types.SetMarks(TFileTypeMarks());
  main_.SettingsFile().LoadSettings();
  d.ReadControls();
  EXPECT_TRUE(shown(avi));
  EXPECT_FALSE(shown(mp3));
  expectWholeTypes("refresh");

  // The group buttons, and OK gives the audio group to the desktop and takes AVI back.
  WhileShown([&](TfrConfig& d) {
    d.findChild<QPushButton*>("sbVideo")->click();
    for (int i : {0, 1, 2, 9, 10, 11})
      if (types.Associable(i)) EXPECT_TRUE(shown(i)) << i;
    EXPECT_FALSE(shown(mp3));
    expectWholeTypes("video");
    d.findChild<QPushButton*>("sbAll")->click();
    for (int i = 0; i < FileTypeCount; ++i) EXPECT_EQ(shown(i), types.Associable(i)) << i;
    d.findChild<QPushButton*>("sbNone")->click();
    for (int i = 0; i < FileTypeCount; ++i) EXPECT_FALSE(shown(i)) << i;
    d.findChild<QPushButton*>("sbAudio")->click();
    expectWholeTypes("audio");
    d.btOk->click();
  });
  EXPECT_TRUE(types.IsRegistered(types.MimeType(mp3)));
  EXPECT_FALSE(types.IsRegistered(types.MimeType(avi)));
  EXPECT_TRUE(shown(mp3));
  EXPECT_FALSE(shown(avi));

  // A click on one item marks its whole type, and Cancel's reload undoes it.
  WhileShown([&](TfrConfig& d) {
    d.clbFileTypes->item(avi)->setCheckState(Qt::Checked);
    expectWholeTypes("click");
    d.reject();
  });
  d.ReadControls();
  EXPECT_FALSE(shown(avi));
  EXPECT_FALSE(types.IsRegistered(types.MimeType(avi)));
}

// The WinLIRC page on a real connection: the panel follows the client,
// and a button pressed while the grid waits on its remote column is learned
// into the key map instead of running.
TEST_F(Prefs, WinLIRCPageFollowsTheClientAndLearnsIntoTheGrid) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  TfrConfig& d = Dialog();
  EXPECT_EQ(d.pnWIRC->text(), "Нет соединения");
  main_.Remote().Connect(true, "127.0.0.1", QString::number(server.serverPort()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return d.pnWIRC->text() == TWinLIRCClient::ConnectedText; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000));
  QTcpSocket* peer = server.nextPendingConnection();
  peer->write("000000037ff07bee 00 Learned RC\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return d.pnWIRC->text() == "000000037ff07bee 00 Learned RC"; }, 5000));
  // The English caption belongs to a client that has said nothing yet.
  ApplyLanguage(lcEnglish);
  EXPECT_EQ(d.pnWIRC->text(), "000000037ff07bee 00 Learned RC");
  ApplyLanguage(lcRussian);

  std::vector<int> ran;
  main_.Remote().PostCommand = [&](int id) { ran.push_back(id); };
  main_.KeyMap().SetCell(cmStop, TKeyColumn::Remote, "Stop");
  WhileShown([&](TfrConfig& d) {
    d.tvCategory->setCurrentItem(d.tvCategory->topLevelItem(6));
    d.sgCommands->setFocus();
    d.sgCommands->SetCurrentGridCell(cmPlay + 1, 3);
    peer->write("000000037ff07bee 00 Learned RC\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return d.sgCommands->GridCell(cmPlay + 1, 3) == "Learned"; }, 5000));
    EXPECT_EQ(main_.KeyMap().Cell(cmPlay, TKeyColumn::Remote), "Learned");
    // On a key column the button runs its commands, the dialog open or not.
    d.sgCommands->SetCurrentGridCell(cmPlay + 1, 1);
    peer->write("000000037ff07bee 00 Stop RC\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ran.empty(); }, 5000));
    d.btOk->click();
  });
  EXPECT_EQ(ran, std::vector<int>{cmStop});
  // Saved by OK: the reload after the dialog keeps it.
  EXPECT_EQ(main_.KeyMap().Cell(cmPlay, TKeyColumn::Remote), "Learned");
  EXPECT_EQ(main_.KeyMap().Cell(cmStop, TKeyColumn::Remote), "Stop");
}

// The about window takes its language from the switch, also while it is open.
TEST_F(Prefs, AboutFollowsTheInterfaceLanguage) {
  TfrAbout about(&main_);
  EXPECT_EQ(about.windowTitle(), "О программе");
  EXPECT_EQ(about.btClose->text(), "Закрыть");
  EXPECT_TRUE(about.Text().contains("Лицензия: "));
  ApplyLanguage(lcEnglish);
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.btClose->text(), "Close");
  EXPECT_TRUE(about.Text().contains("Licence: "));
  EXPECT_FALSE(about.Text().contains("Лицензия"));
  TfrAbout later(&main_);
  EXPECT_EQ(later.Text(), about.Text());
  ApplyLanguage(lcRussian);
  EXPECT_TRUE(about.Text().contains("Лицензия: "));
}

TEST_F(Prefs, OffsetAndSpeedLabels) {
  TfrConfig& d = Dialog();
  const QString ru = "Смещение субтитров относительно видео";
  const struct {
    int at;
    const char* tail;
  } cases[] = {{-65, ": -1:05"}, {300, ": +5:00"}, {-30, ": -0:30"}, {0, ":  0:00"}};
  for (const auto& c : cases) {
    d.tbSTOfs->setValue(c.at);
    EXPECT_EQ(d.lbSTOfs->text(), ru + c.tail);
    EXPECT_EQ(main_.Playback().SubtitleOffset, c.at);
  }
  d.tbSpeed->setValue(1);
  EXPECT_EQ(d.lbSpeed->text(), "x0,1");
  EXPECT_EQ(main_.Settings().SpeedMultiplier, 1);

  ApplyLanguage(lcEnglish);
  EXPECT_EQ(d.lbSTOfs->text(), "Subtitles offset:  0:00");
  for (const auto& c : cases) {
    d.tbSTOfs->setValue(c.at);
    EXPECT_EQ(d.lbSTOfs->text(), "Subtitles offset" + QString(c.tail));
  }
}

TEST_F(Prefs, LanguageSwitchRelabelsWindowMenuGridAndDialog) {
  // After start-up every panel button's hint is its command's Russian name.
  for (int i = 0; i < 36; ++i) {
    THoverButton* b = Panels(main_).Button(i);
    EXPECT_EQ(b->toolTip(), QString::fromUtf8(FindCommand(b->Command)->NameRussian)) << i;
  }
  EXPECT_EQ(Panels(main_).ButtonFor(cmExit)->toolTip(), "Выход");
  EXPECT_EQ(Panels(main_).tbVolume->toolTip(), "Громкость");
  TfrConfig& d = Dialog();

  ApplyLanguage(lcEnglish);
  EXPECT_EQ(Panels(main_).ButtonFor(cmStop)->toolTip(), "Stop");
  EXPECT_EQ(Panels(main_).tbVolume->toolTip(), "Sound volume");
  EXPECT_EQ(Panels(main_).cpuLoad->toolTip(), "CPU Usage");
  QMenu menu;
  main_.Input().BuildPopupMenu(menu);
  ASSERT_FALSE(menu.actions().isEmpty());
  for (QAction* a : menu.actions()) {
    const int id = a->data().toInt();
    EXPECT_TRUE(a->text().startsWith(QString::fromUtf8(FindCommand(id)->NameEnglish) + " ( ")) << id;
  }
  EXPECT_EQ(d.sgCommands->GridCell(cmPreferences + 1, 0), "Preferences");
  EXPECT_EQ(d.sgCommands->GridCell(0, 2), "Full-Scr");
  EXPECT_EQ(d.tvCategory->topLevelItem(6)->text(0), "Control");
  EXPECT_EQ(d.btCancel->text(), "Cancel");
  EXPECT_EQ(d.cbHints->text(), "Show hints");
  EXPECT_EQ(d.findChild<QGroupBox*>("rgOnErrors")->findChildren<QRadioButton*>()[1]->text(),
            "Write to info panel and continue");
  EXPECT_EQ(d.findChild<QPushButton*>("sbDefaultKeys")->text(), "Default");
  EXPECT_EQ(d.sbSkinLoad->text(), "Load bitmap buttons");  // no skin chosen
  // The window captions stay as they are in both languages.
  EXPECT_EQ(d.windowTitle(), "Kelvara Configuration");
}

TEST_F(Prefs, EnglishKeepsAChosenSkinPathOnTheLoadButton) {
  const QString skin = WriteSkin(home_.config.path(), "blue.bmp", {820, 126}, Qt::blue);
  TfrConfig& d = Dialog();
  d.LoadSkinFile(skin);
  ApplyLanguage(lcEnglish);
  EXPECT_EQ(d.sbSkinLoad->text(), skin);
  main_.SettingsFile().SaveSettings();
  EXPECT_EQ(SavedIni().ReadString("Interface", "Skin", ""), skin);
}

TEST_F(Prefs, SkinThatIsNotAStripChangesNothing) {
  TfrConfig& d = Dialog();
  const QImage strip = Panels(main_).Skin();
  const QString skinDir = main_.Settings().SkinDir;
  const QString caption = d.sbSkinLoad->text();
  QFile text(home_.config.path() + "/text.bmp");
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture");
  text.close();
  const QString small = WriteSkin(home_.config.path(), "small.bmp", {10, 10}, Qt::red);
  for (const QString& bad : {text.fileName(), small, home_.config.path() + "/missing.bmp"}) {
    const size_t boxes = desktop_.boxes.shown.size();
    d.LoadSkinFile(bad);
    ASSERT_EQ(desktop_.boxes.shown.size(), boxes + 1) << bad.toStdString();
    EXPECT_TRUE(desktop_.boxes.shown.back().text.contains(bad));
    EXPECT_EQ(Panels(main_).Skin(), strip);
    EXPECT_EQ(main_.Settings().SkinDir, skinDir);
    EXPECT_EQ(main_.Settings().Skin, "Загрузить набор кнопок");
    EXPECT_EQ(d.sbSkinLoad->text(), caption);
  }
  const QString good = WriteSkin(home_.config.path(), "good.bmp", {820, 126}, Qt::green);
  d.LoadSkinFile(good);
  EXPECT_EQ(Panels(main_).Skin().pixelColor(5, 5), QColor(Qt::green));
  EXPECT_EQ(d.sbSkinLoad->text(), good);
  EXPECT_EQ(main_.Settings().SkinDir, home_.config.path() + "/");

  // The default skin forgets the choice and says a restart is needed.
  d.findChild<QPushButton*>("sbDefaultSkin")->click();
  EXPECT_EQ(main_.Settings().Skin, "");
  EXPECT_EQ(desktop_.boxes.shown.back().text, "You have to restart player.");
  EXPECT_EQ(desktop_.boxes.shown.back().caption, "Kelvara");
}

TEST_F(Prefs, DisplayModeMenu) {
  TfrConfig& d = Dialog();
  desktop_.displayModes.current = {1024, 768, 32, 60, true};
  desktop_.displayModes.modes = {{1024, 768, 16, 60, false}, {1024, 768, 32, 60, true}, {800, 600, 32, 60, true}};
  d.FillDisplayModeMenu();
  QList<QAction*> items = d.pmScrModes->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0]->text(), "1024 x 768, 16 Bits");
  EXPECT_FALSE(items[0]->isEnabled());
  EXPECT_TRUE(items[2]->isEnabled());
  items[2]->trigger();
  EXPECT_EQ(d.btScrMode->text(), "800 x 600, 32 Bits");
  EXPECT_EQ(main_.Settings().ScrWidth, 800);
  EXPECT_EQ(main_.Settings().ScrDepth, 32);
  d.FillDisplayModeMenu();
  EXPECT_TRUE(d.pmScrModes->actions()[2]->isChecked());

  // No display-mode service: one disabled item that says why.
  TNoDisplayModes none("No X display to list modes of");
  SetDisplayModes(&none);
  d.FillDisplayModeMenu();
  SetDisplayModes(&desktop_.displayModes);
  items = d.pmScrModes->actions();
  ASSERT_EQ(items.size(), 1);
  EXPECT_EQ(items[0]->text(), "No X display to list modes of");
  EXPECT_FALSE(items[0]->isEnabled());

  d.cbFullScrMode->click();
  EXPECT_TRUE(main_.Settings().FullScrMode);
  EXPECT_TRUE(d.btScrMode->isEnabled());
}

TEST(PrefsLanguage, EnglishChosenByLanguageVariableAsksTheHelpQuestion) {
  TPrivateHome home;
  home.env.Set("LANGUAGE", "en_GB:ru");
  TFakeDesktop desktop;
  {
    TfrMain main;
    ASSERT_TRUE(main.StartUp({}));
    EXPECT_TRUE(IsEnglishLanguage());
    EXPECT_EQ(Panels(main).ButtonFor(cmStop)->toolTip(), "Stop");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.shown[0].text, "Would you like to read help before using player ?");
    EXPECT_EQ(PreferencesDialog(main).btCancel->text(), "Cancel");
  }
  ApplyLanguage(lcRussian);
  home.env.Set("LANGUAGE", "ru:en");
  TFakeDesktop again;
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  EXPECT_FALSE(IsEnglishLanguage());
  EXPECT_EQ(again.boxes.shown.size(), 0u);  // not a first start, and Russian anyway
}

TEST_F(Prefs, AspectCommandsShowInTheGroupAndSubtitleLookGoesToTheWindow) {
  main_.Commands().ExecuteCommand(cmAspectByHeight);
  WhileShown([&](TfrConfig& d) {
    EXPECT_TRUE(d.findChild<QGroupBox*>("rgAspectRatio")->findChildren<QRadioButton*>()[4]->isChecked());
    d.SetSubtitleColour(QColor(255, 0, 0));
    EXPECT_EQ(main_.Settings().SubtitlesFontColor, 0x0000FF);
    EXPECT_EQ(Panels(main_).lbSubtitles->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(d.lbSTFace->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QFont f("DejaVu Serif");
    f.setPointSize(30);
    d.SetSubtitleFont(f);
    EXPECT_EQ(main_.Settings().SubtitlesFontSize, 30);
    EXPECT_EQ(Panels(main_).lbSubtitles->font().pointSize(), 30);
    d.btOk->click();
  });
  EXPECT_EQ(SavedIni().ReadInteger("Subtitles", "SubtitlesFontColor", 0), 0x0000FF);
  EXPECT_EQ(SavedIni().ReadString("Subtitles", "SubtitlesFontName", ""), "DejaVu Serif");
}
