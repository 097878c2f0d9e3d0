#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "core/settings.h"
#include "platform/system/exceptions.h"
#include "platform/system/windir.h"
#include "tests/core/fake_settings_host.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/file_bytes.h"

namespace {

// Each test gets its own stand-in for the Windows directory, a record in its
// built-in state and a host whose controls are as the window creates them.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(config_.isValid());
    oldConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_CONFIG_HOME", oldConfig_); }

  QString IniPath() const { return TSettingsFile::Path(); }
  void WriteIni(const QByteArray& text) { WriteFileBytes(IniPath(), text); }

  QTemporaryDir config_;
  QByteArray oldConfig_;
  TFakeMessageBoxes boxes;
  TSettings settings = TSettings::BuiltIn();
  TFakeSettingsHost host{settings};
  TSettingsFile file{settings, host};
};

QByteArray ExpectedFirstRunFile() {
  const QString home = DefaultFolder();
  QString t =
      "[Common]\r\nKVVer=1.9 Beta\r\nVideoDir=" + home + "\r\nScreenShotDir=" + home +
      "\r\nSkinDir=\r\nWindowPos=D0000000BA0000004F0200009D010000\r\nRepeat=1\r\nTree=0\r\n"
      "Mute=0\r\nStayOnTop=0\r\n"
      "[Video]\r\nSpeedMultiplier=13\r\nKeyFrameSeek=1\r\nForceOverlay=0\r\nReversePlayTime=0\r\n"
      "FullScrMode=0\r\nScrWidth=640\r\nScrHeight=480\r\nScrDepth=16\r\nKeySeek=10\r\n"
      "CustomAspectRatio=47 : 20\r\n"
      "[Audio]\r\nVolumeControl=0\r\nSoundFreq=3\r\nVolume=100\r\n"
      "[Misc]\r\nHints=1\r\nHighPriority=0\r\nShowBookmarks=1\r\nResizeLimit=1\r\nMultiInstance=0\r\n"
      "[Subtitles]\r\nSubtitlesFontName=Arial\r\nSubtitlesFontCharset=204\r\nSubtitlesFontSize=20\r\n"
      "SubtitlesFontColor=16776960\r\nSubtitlesAutoLoad=1\r\nSetMicroDVDFPS=0\r\nMicroDVDFPS=25,00\r\n"
      "[Events]\r\nOnOpenClosePanels=0\r\nOnOpenResize=1\r\nOnOpenFullScreen=0\r\nOnOpenPlay=1\r\n"
      "OnStop=1\r\nOnStopRewind=1\r\nOnErrors=0\r\n"
      "[WinLIRC]\r\nWIRCenable=0\r\nWIRCserver=127.0.0.1\r\nWIRCport=8765\r\n"
      "[Commands]\r\nMultiKeys=0\r\n"
      "[Interface]\r\nSkin=Загрузить набор кнопок\r\nWndCaption=1\r\nNoFullScrCaption=0\r\n"
      "[Mouse]\r\nMouseLeft=0\r\nMouseMiddle=0\r\nMouseWheel=0\r\n"
      "[PlayList]\r\nLastPlayed=-1\r\n"
      "[CommandMap]\r\n";
  const char* hex = "0123456789ABCDEF";
  for (int id = 0; id < 61; ++id) {
    const QString n = QString("0") + hex[id / 16] + hex[id % 16];
    const QString w = id == 0 ? "Ctrl+O" : id == 5 ? "Space" : id == 60 ? "Alt+F4" : "";
    const QString f = id == 0 ? "Ctrl+O" : id == 5 ? "Space" : "";
    const QString r = id == 5 ? "play" : id == 60 ? "power" : "";
    t += "Wind_" + n + "=" + w + "\r\nFScr_" + n + "=" + f + "\r\nWIRC_" + n + "=" + r + "\r\n";
  }
  return t.toUtf8();
}

}  // namespace

// ------------------------------------------------------------------ hex

TEST(SettingsHex, EncodeAndDecode) {
  const uint8_t bytes[] = {0x00, 0x0F, 0xA5, 0xFF};
  EXPECT_EQ(EncodeHex(bytes, 4), "000FA5FF");
  uint8_t out[4] = {1, 2, 3, 4};
  EXPECT_EQ(DecodeHex("0a0BfF", out, 4), 3);
  EXPECT_EQ(out[0], 0x0A);
  EXPECT_EQ(out[1], 0x0B);
  EXPECT_EQ(out[2], 0xFF);
  EXPECT_EQ(out[3], 4);  // beyond the pairs given
  // Odd last character ignored; never past the destination; stops at a bad pair.
  uint8_t two[2] = {7, 7};
  EXPECT_EQ(DecodeHex("1", two, 2), 0);
  EXPECT_EQ(DecodeHex("123", two, 2), 1);
  EXPECT_EQ(two[0], 0x12);
  EXPECT_EQ(DecodeHex("AABBCCDD", two, 2), 2);
  EXPECT_EQ(two[1], 0xBB);
  EXPECT_EQ(DecodeHex("01G203", two, 2), 1);
  EXPECT_EQ(two[1], 0xBB);
  EXPECT_EQ(DecodeHex("+1", two, 2), 0);
}

TEST(SettingsHex, MovieRectForms) {
  TMovieRect r{1, 2, 3, 4};
  MovieRectFromHex("D0000000BA0000004F0200009D010000", r);
  EXPECT_EQ(r, (TMovieRect{208, 186, 591, 413}));
  EXPECT_EQ(MovieRectToHex(r), "D0000000BA0000004F0200009D010000");

  const TMovieRect negative{-1, -300, 0, 2147483647};
  EXPECT_EQ(MovieRectToHex(negative), "FFFFFFFFD4FEFFFF00000000FFFFFF7F");
  TMovieRect back;
  MovieRectFromHex(MovieRectToHex(negative), back);
  EXPECT_EQ(back, negative);

  TMovieRect start{100, 200, 300, 400};
  TMovieRect r2 = start;
  MovieRectFromHex("", r2);
  EXPECT_EQ(r2, start);
  MovieRectFromHex("0A000", r2);  // two complete pairs, odd digit ignored
  EXPECT_EQ(r2, (TMovieRect{10, 200, 300, 400}));
  r2 = start;
  MovieRectFromHex("0A00000ZBA000000", r2);  // not hexadecimal: ignored whole
  EXPECT_EQ(r2, start);
  // More than 32 digits: only the 16 bytes of the rectangle are taken.
  MovieRectFromHex("D0000000BA0000004F0200009D010000FFFFFFFF", r2);
  EXPECT_EQ(r2, (TMovieRect{208, 186, 591, 413}));
}

// ------------------------------------------------------------------ first run

TEST_F(SettingsTest, FirstRunWritesTheBuiltInStateInFileOrder) {
  ASSERT_EQ(QLocale::system().decimalPoint(), ",") << "run under ru_RU.UTF-8";
  file.LoadSettings();
  EXPECT_EQ(ReadFileBytes(IniPath()), ExpectedFirstRunFile());
  EXPECT_TRUE(boxes.shown.empty());  // Russian: no help question
  // Preset before the save; the save applies first and stores the playlist
  // after LastPlayed; the reading then refreshes and applies at its end.
  ASSERT_GE(host.log.size(), 4);
  EXPECT_EQ(host.log[0], "preset");
  EXPECT_EQ(host.log[1], "apply");
  EXPECT_EQ(host.log[2], "playlist=" + WindowsDirectory() + "/kelvar.kpl");
  EXPECT_EQ(host.log.mid(host.log.size() - 2), QStringList({"fileTypes", "apply"}));
  // Reading back what was just written changes nothing.
  EXPECT_EQ(settings.Skin, "Загрузить набор кнопок");
  EXPECT_EQ(settings.LastPlayed, -1);
  EXPECT_EQ(host.playlistIndex, -1);
  EXPECT_EQ(host.keyMap.Cell(5, TKeyColumn::Remote), "play");
  EXPECT_EQ(host.movieRect, (TMovieRect{208, 186, 591, 413}));
}

TEST_F(SettingsTest, FirstRunAsksAboutHelpOnlyInEnglish) {
  host.english = true;
  boxes.answer = TMsgResult::Yes;
  file.LoadSettings();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "Kelvara 1.9 Beta");
  EXPECT_EQ(boxes.shown[0].text, "Would you like to read help before using player ?");
  EXPECT_EQ(boxes.shown[0].buttons, TMsgButtons::YesNo);
  EXPECT_TRUE(host.log.contains("help"));

  // Not on a later start, and No opens nothing.
  host.log.clear();
  file.LoadSettings();
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_FALSE(host.log.contains("help"));
  EXPECT_FALSE(host.log.contains("preset"));
}

// ------------------------------------------------------------------ reading

TEST_F(SettingsTest, AbsentKeysReadAsDefaults) {
  WriteIni("[Common]\r\n");
  host.movieRect = {1, 2, 3, 4};
  host.keyMap.SetCell(3, TKeyColumn::FullScreen, "F3");
  file.LoadSettings();
  EXPECT_TRUE(boxes.shown.empty());
  TSettings expected;
  expected.Skin = "Загрузить набор кнопок";  // an absent Skin leaves the text alone
  EXPECT_EQ(settings, expected);
  EXPECT_EQ(host.movieRect, (TMovieRect{208, 186, 591, 413}));
  EXPECT_EQ(host.toggles, (std::array<bool, 4>{false, true, false, false}));
  EXPECT_EQ(host.volume, 31);
  EXPECT_EQ(host.playlistIndex, 0);
  EXPECT_EQ(host.keyMap.Cell(3, TKeyColumn::FullScreen), "");  // an absent command key unbinds
}

TEST_F(SettingsTest, SideEffectsHappenInReadingOrder) {
  host.keyMap.ApplyPreset(TKeyPreset::Default);
  WriteIni(
      "[Common]\r\nRepeat=0\r\nTree=1\r\nMute=1\r\nStayOnTop=1\r\n"
      "[Video]\r\nFullScrMode=1\r\nScrWidth=1024\r\nScrHeight=768\r\nScrDepth=32\r\n"
      "[Audio]\r\nSoundFreq=1\r\nVolume=70\r\n"
      "[Misc]\r\nHints=0\r\nHighPriority=1\r\nShowBookmarks=0\r\n"
      "[Subtitles]\r\nSubtitlesFontName=Verdana\r\nSubtitlesFontCharset=1\r\n"
      "SubtitlesFontSize=30\r\nSubtitlesFontColor=255\r\n"
      "[PlayList]\r\nLastPlayed=4\r\n");
  file.LoadSettings();
  EXPECT_EQ(host.log, QStringList({
                          "toggle0=0", "toggle1=1", "treeMode=1", "toggle2=1", "toggle3=1",
                          "stayOnTop=1", "modeButton=1", "modeCaption=1024 x 768, 32 Bits",
                          "volume=70 freq=3", "hints=0", "priority=1", "bookmarks=0",
                          "font=Verdana,1,30,255", "index=4", "fileTypes", "apply"}));
  EXPECT_EQ(settings.SoundFreq, 1);
  // The key map is read last, and a file without [CommandMap] unbinds every cell.
  EXPECT_EQ(host.keyMap, TKeyMap());
}

TEST_F(SettingsTest, MalformedValuesReadAsDefaults) {
  WriteIni(
      "[audio]\r\nvolume=abc\r\nVolumeControl=2\r\nSoundFreq=-1\r\n"
      "[Common]\r\nVideoDir=\r\nTree=\r\nRepeat=yes\r\nMute=  7  \r\n"
      "[Video]\r\nSpeedMultiplier=50\r\nScrWidth=12x\r\nScrHeight=2147483648\r\nKeySeek= 15 \r\n"
      "[Events]\r\nOnStop=4\r\nOnErrors=1\r\n"
      "[Mouse]\r\nMouseWheel=1\r\nMouseLeft=2\r\n");
  file.LoadSettings();
  EXPECT_EQ(settings.Volume, 31);
  EXPECT_EQ(settings.VolumeControl, 0);
  EXPECT_EQ(settings.SoundFreq, 3);
  EXPECT_EQ(settings.VideoDir, "");  // a present empty string stays empty
  EXPECT_TRUE(settings.Tree);
  EXPECT_FALSE(settings.Repeat);
  EXPECT_TRUE(settings.Mute);
  EXPECT_EQ(settings.SpeedMultiplier, 20);
  EXPECT_EQ(settings.ScrWidth, 640);
  EXPECT_EQ(settings.ScrHeight, 480);
  EXPECT_EQ(settings.KeySeek, "15");
  EXPECT_EQ(settings.OnStop, 1);
  EXPECT_EQ(settings.OnErrors, 1);
  EXPECT_EQ(settings.MouseWheel, 1);
  EXPECT_EQ(settings.MouseLeft, 0);
  EXPECT_TRUE(boxes.shown.empty());

  WriteIni("[Video]\r\nSpeedMultiplier=0\r\n");
  file.LoadSettings();
  EXPECT_EQ(settings.SpeedMultiplier, 1);
}

TEST_F(SettingsTest, WindowPosEdgeCases) {
  const TMovieRect centred{300, 250, 683, 477};
  for (const auto& [value, expected] : std::vector<std::pair<QByteArray, TMovieRect>>{
           {"", centred},
           {"64000000", {100, 250, 683, 477}},
           {"6400000", {100, 250, 683, 477}},
           {"nonsense", centred},
           {"9CFFFFFF9CFFFFFF00000000000000001234", {-100, -100, 0, 0}}}) {
    host.movieRect = centred;
    WriteIni("[Common]\r\nWindowPos=" + value + "\r\n");
    file.LoadSettings();
    EXPECT_EQ(host.movieRect, expected) << value.constData();
  }
}

// ------------------------------------------------------------------ skin and failures

TEST_F(SettingsTest, SkinValues) {
  const QString skinFile = config_.filePath("skin.bmp");
  WriteFileBytes(skinFile, "BM");
  // Empty: nothing loaded, the button keeps its text, which the next save writes.
  WriteIni("[Interface]\r\nSkin=\r\n");
  file.LoadSettings();
  EXPECT_EQ(settings.Skin, "Загрузить набор кнопок");
  // A name of no existing file: kept as the text, not loaded, written back.
  WriteIni("[Interface]\r\nSkin=/no/such/skin.bmp\r\n");
  file.LoadSettings();
  EXPECT_EQ(settings.Skin, "/no/such/skin.bmp");
  // An existing file is loaded.
  WriteIni(("[Interface]\r\nSkin=" + skinFile + "\r\n").toUtf8());
  file.LoadSettings();
  EXPECT_EQ(settings.Skin, skinFile);
  EXPECT_FALSE(host.log.filter("skin=").isEmpty());
  EXPECT_TRUE(boxes.shown.empty());
  WriteIni("[Interface]\r\nSkin=/no/such/skin.bmp\r\n");
  file.LoadSettings();
  file.SaveSettings();
  EXPECT_TRUE(ReadFileBytes(IniPath()).contains("\r\nSkin=/no/such/skin.bmp\r\n"));
  EXPECT_EQ(host.log.filter("skin=").size(), 1);
}

TEST_F(SettingsTest, LoadingErrorEndsTheReadingAtTheFailingKey) {
  const QString skinFile = config_.filePath("broken.bmp");
  WriteFileBytes(skinFile, "not a bitmap");
  host.skinLoads = false;
  settings.NoFullScrCaption = true;
  settings.MouseWheel = 1;
  host.playlistIndex = 7;
  host.keyMap.SetCell(1, TKeyColumn::Window, "Ctrl+P");
  WriteIni(("[Commands]\r\nMultiKeys=1\r\n[Interface]\r\nSkin=" + skinFile +
            "\r\nNoFullScrCaption=0\r\n[Mouse]\r\nMouseWheel=0\r\n[PlayList]\r\nLastPlayed=2\r\n"
            "[CommandMap]\r\nWind_001=F1\r\n")
               .toUtf8());
  file.LoadSettings();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "Kelvara 1.9 Beta fault");
  EXPECT_EQ(boxes.shown[0].text, "Error loading preferences");
  EXPECT_EQ(boxes.shown[0].icon, TMsgIcon::Error);
  EXPECT_TRUE(settings.MultiKeys);  // read before the failure
  EXPECT_EQ(settings.Skin, skinFile);
  EXPECT_TRUE(settings.NoFullScrCaption);  // the rest keep their values
  EXPECT_EQ(settings.MouseWheel, 1);
  EXPECT_EQ(host.playlistIndex, 7);
  EXPECT_EQ(host.keyMap.Cell(1, TKeyColumn::Window), "Ctrl+P");
  EXPECT_EQ(host.log.mid(host.log.size() - 2), QStringList({"fileTypes", "apply"}));
}

TEST_F(SettingsTest, UnreadableFileKeepsTheSettingsInMemory) {
  QDir().mkpath(IniPath());  // a folder where the file should be
  settings.OnStop = 3;
  file.LoadSettings();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Error loading preferences");
  EXPECT_EQ(settings.OnStop, 3);
  EXPECT_FALSE(host.log.contains("preset"));  // not a first run either
  EXPECT_EQ(host.log.mid(host.log.size() - 2), QStringList({"fileTypes", "apply"}));
}

// ------------------------------------------------------------------ saving

TEST_F(SettingsTest, SaveAndLoadRoundTrip) {
  settings.VideoDir = "/media/фильмы/";
  settings.KeySeek = "25";
  settings.CustomAspectRatio = "16 : 9";
  settings.SubtitlesFontName = "DejaVu Sans";
  settings.SubtitlesFontColor = 0x0000FF;
  settings.OnStop = 3;
  settings.WIRCserver = "10.0.0.5";
  settings.MicroDVDFPS = "23,976";
  settings.HighPriority = true;
  settings.Skin = "/no/such/skin.bmp";
  host.toggles = {false, true, true, true};
  host.volume = 55;
  host.playlistIndex = 3;
  host.windowRect = {-50, 10, 700, 500};
  host.SetRow(42, {"Ctrl+Right", "Alt+NP+", "<124>"});
  file.SaveSettings();
  const TSettings saved = settings;

  TSettings fresh = TSettings::BuiltIn();
  TFakeSettingsHost other(fresh);
  TSettingsFile(fresh, other).LoadSettings();
  EXPECT_EQ(fresh, saved);
  EXPECT_EQ(other.toggles, host.toggles);
  EXPECT_EQ(other.volume, 55);
  EXPECT_EQ(other.playlistIndex, 3);
  EXPECT_EQ(other.movieRect, (TMovieRect{-50, 10, 700, 500}));
  EXPECT_EQ(other.keyMap, host.keyMap);
}

TEST_F(SettingsTest, FullScreenSaveWritesTheRememberedRectangle) {
  host.fullScreen = true;
  host.movieRect = {208, 186, 591, 413};  // remembered when full screen began
  host.windowRect = {0, 0, 1920, 1080};   // the monitor
  file.SaveSettings();
  EXPECT_TRUE(ReadFileBytes(IniPath()).contains("WindowPos=D0000000BA0000004F0200009D010000\r\n"));
  EXPECT_EQ(host.movieRect, (TMovieRect{208, 186, 591, 413}));

  host.fullScreen = false;
  file.SaveSettings();
  EXPECT_TRUE(ReadFileBytes(IniPath()).contains("WindowPos=00000000000000008007000038040000\r\n"));
  EXPECT_EQ(host.movieRect, (TMovieRect{0, 0, 1920, 1080}));
}

TEST_F(SettingsTest, FailedWriteRaisesAndKeepsTheOldFile) {
  const QByteArray old = "[Audio]\r\nVolume=42\r\n";
  WriteIni(old);
  {
    TFileSizeLimit limit(100);  // far less than a settings file
    EXPECT_THROW(file.SaveSettings(), Exception);
  }
  EXPECT_EQ(ReadFileBytes(IniPath()), old);
  EXPECT_EQ(QDir(WindowsDirectory()).entryList(QDir::Files), QStringList({"kelvar.ini"}));

  // A folder that cannot be made: its parent is a plain file.
  const QString blocker = config_.filePath("blocker");
  WriteFileBytes(blocker, "x");
  qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
  try {
    file.SaveSettings();
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message.contains("kelvar.ini")) << e.Message.toStdString();
  }
}

// ------------------------------------------------------------------ preferences

TEST_F(SettingsTest, PreferencesCancelDiscardsAndOkKeeps) {
  file.LoadSettings();  // first run
  host.log.clear();
  file.Preferences([&] {
    settings.OnStop = 2;
    settings.Hints = false;
    host.toggles[int(TToggle::Mute)] = true;
  });  // Cancel: closes without saving
  EXPECT_EQ(settings.OnStop, 1);
  EXPECT_TRUE(settings.Hints);
  EXPECT_FALSE(host.toggles[int(TToggle::Mute)]);
  // save (apply), load (refresh, apply), dialog, load (refresh, apply)
  EXPECT_EQ(host.log.filter("apply").size(), 3);
  EXPECT_EQ(host.log.filter("fileTypes").size(), 2);

  file.Preferences([&] {
    settings.OnStop = 2;
    settings.Hints = false;
    file.SaveSettings();  // OK
  });
  EXPECT_EQ(settings.OnStop, 2);
  EXPECT_FALSE(settings.Hints);
  EXPECT_TRUE(ReadFileBytes(IniPath()).contains("\r\nOnStop=2\r\n"));
}
