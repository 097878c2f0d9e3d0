#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include "commands/keymap.h"
#include "platform/system/profile.h"

namespace {

using enum TKeyColumn;

TKeyMap DefaultMap() {
  TKeyMap map;
  map.ApplyPreset(TKeyPreset::Default);
  return map;
}

QStringList CommandMapLines(const TIniFile& ini) {
  const QString text = QString::fromUtf8(ini.Serialize());
  const int start = text.indexOf("[CommandMap]\r\n");
  if (start < 0) return {};
  QStringList lines = text.mid(start).split("\r\n");
  lines.removeFirst();
  if (lines.last().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace

TEST(KeyMapLookup, ByColumnInIdOrderExactAndCaseSensitive) {
  TKeyMap map = DefaultMap();
  map.SetCell(cmStop, Window, "F3");
  map.SetCell(cmPowerOff, Remote, "Power");
  EXPECT_EQ(map.Lookup(Window, "F3"), (std::vector<int>{cmLoadFiles, cmStop}));
  EXPECT_EQ(map.Lookup(FullScreen, "F3"), (std::vector<int>{cmLoadFiles}));
  EXPECT_EQ(map.Lookup(Remote, "Power"), (std::vector<int>{cmExit, cmPowerOff}));
  EXPECT_TRUE(map.Lookup(Remote, "F3").empty());
  EXPECT_TRUE(map.Lookup(Window, "Power").empty());
  EXPECT_TRUE(map.Lookup(Window, "ctrl+right").empty());
  EXPECT_EQ(map.Lookup(Window, "Ctrl+Right"), (std::vector<int>{cmFrameStep}));
  EXPECT_TRUE(map.Lookup(Window, "F").empty());
  // The many unbound cells never match a press.
  EXPECT_TRUE(map.Lookup(Window, "").empty());
  EXPECT_TRUE(map.Lookup(Remote, "").empty());
}

TEST(KeyMapLookup, OutOfRangeIdentifiers) {
  TKeyMap map;
  map.SetCell(-1, Window, "F3");
  map.SetCell(CommandCount, Window, "F3");
  EXPECT_TRUE(map.Lookup(Window, "F3").empty());
  EXPECT_TRUE(map.Cell(CommandCount, Window).isEmpty());
  EXPECT_FALSE(map.CaptureKey(CommandCount, Window, VK_F1 + 2, {}, false));
}

TEST(KeyMapCapture, WithoutMultiKeysTakesTheKeyFromTheSameColumnOnly) {
  TKeyMap map = DefaultMap();
  EXPECT_TRUE(map.CaptureKey(cmStop, Window, VK_F1 + 2, {}, false));
  EXPECT_EQ(map.Cell(cmStop, Window), "F3");
  EXPECT_EQ(map.Cell(cmLoadFiles, Window), "");
  EXPECT_EQ(map.Cell(cmLoadFiles, FullScreen), "F3");
  EXPECT_EQ(map.Lookup(Window, "F3"), (std::vector<int>{cmStop}));
}

TEST(KeyMapCapture, WithMultiKeysBothRowsKeepTheKey) {
  TKeyMap map = DefaultMap();
  map.CaptureKey(cmStop, Window, VK_F1 + 2, {}, true);
  EXPECT_EQ(map.Lookup(Window, KeyText(VK_F1 + 2, {})), (std::vector<int>{cmLoadFiles, cmStop}));
}

TEST(KeyMapCapture, ModifierAloneThenFullPressReplacesTheCell) {
  TKeyMap map;
  map.CaptureKey(cmHelp, FullScreen, VK_CONTROL, ssCtrl, false);
  EXPECT_EQ(map.Cell(cmHelp, FullScreen), "Ctrl+");
  map.CaptureKey(cmHelp, FullScreen, VK_RIGHT, ssCtrl, false);
  EXPECT_EQ(map.Cell(cmHelp, FullScreen), "Ctrl+Right");
  // Recapturing its own key keeps it.
  map.CaptureKey(cmHelp, FullScreen, VK_RIGHT, ssCtrl, false);
  EXPECT_EQ(map.Cell(cmHelp, FullScreen), "Ctrl+Right");
}

TEST(KeyMapCapture, TypingInTheRemoteColumnChangesNothing) {
  const TKeyMap before = DefaultMap();
  TKeyMap map = before;
  EXPECT_FALSE(map.CaptureKey(cmExit, Remote, 'Q', {}, false));
  EXPECT_FALSE(map.CaptureKey(cmStop, Remote, 'Q', {}, true));
  EXPECT_EQ(map, before);
}

TEST(KeyMapPreset, EachPresetEmptiesEveryCellFirst) {
  TKeyMap map = DefaultMap();
  map.SetCell(cmPowerOff, Window, "Q");
  map.ApplyPreset(TKeyPreset::Sasami);
  for (int id = 0; id < CommandCount; ++id) EXPECT_EQ(map.Cell(id, Remote), "") << id;
  EXPECT_EQ(map.Cell(cmPowerOff, Window), "");
  EXPECT_EQ(map.Cell(cmFullScreen, Window), "Alt+Enter");
  EXPECT_EQ(map.Cell(cmFullScreen, FullScreen), "Alt+Enter");
  EXPECT_EQ(map.Cell(cmOriginalSize, Window), "");

  map.ApplyPreset(TKeyPreset::BSPlayer);
  EXPECT_EQ(map.Cell(cmFullScreen, Window), "F");
  EXPECT_EQ(map.Cell(cmFullScreen, Remote), "tv");
  EXPECT_EQ(map.Cell(cmStayOnTop, FullScreen), "Ctrl+A");
  EXPECT_EQ(map.Cell(cmAudioProperties, Window), "");

  map.ApplyPreset(TKeyPreset::Default);
  EXPECT_EQ(map.Cell(cmStop, Window), "");
  EXPECT_EQ(map.Cell(cmStop, Remote), "Stop");
  EXPECT_EQ(map.Cell(cmControlPanel, FullScreen), "`");
  EXPECT_EQ(map.Cell(cmStayOnTop, Window), "");
}

TEST(KeyMapStorage, SavesAllCellsInIdThenColumnOrder) {
  TIniFile ini;
  ini.WriteBool("Commands", "MultiKeys", false);
  DefaultMap().Save(ini);
  const QStringList lines = CommandMapLines(ini);
  ASSERT_EQ(lines.size(), 183);
  EXPECT_EQ(lines.mid(0, 3), QStringList({"Wind_000=F3", "FScr_000=F3", "WIRC_000="}));
  EXPECT_EQ(lines.mid(6, 3), QStringList({"Wind_002=", "FScr_002=", "WIRC_002=Stop"}));
  EXPECT_EQ(lines.mid(177, 3), QStringList({"Wind_03B=Escape", "FScr_03B=Escape", "WIRC_03B=Power"}));
  EXPECT_EQ(lines.mid(180, 3), QStringList({"Wind_03C=", "FScr_03C=", "WIRC_03C="}));
  EXPECT_EQ(ini.Sections().last(), "CommandMap");
}

TEST(KeyMapStorage, EveryCellSurvivesSaveAndLoadThroughAFile) {
  TKeyMap map = DefaultMap();
  map.SetCell(cmPlayFromPlaylist, Window, "=");
  map.SetCell(cmPlayFromPlaylist, FullScreen, ";");
  map.SetCell(cmAddFolder, Window, "Ctrl+Alt+Shift+<200>");
  map.SetCell(cmAddFolder, Remote, "ЖёлтаяКнопка");
  map.SetCell(cmClearPlaylist, Remote, "[x]");
  map.ClearCell(cmLoadFiles, Window);

  const QString path = QDir(KELVARA_TEST_DATA_DIR).filePath("keymap-roundtrip.ini");
  ASSERT_TRUE(QDir().mkpath(KELVARA_TEST_DATA_DIR));
  TIniFile out;
  map.Save(out);
  ASSERT_TRUE(out.Save(path));
  TIniFile in;
  ASSERT_TRUE(in.Load(path));
  TKeyMap loaded = DefaultMap();
  loaded.Load(in);
  EXPECT_EQ(loaded, map);
  EXPECT_EQ(loaded.Cell(cmLoadFiles, Window), "");
  EXPECT_EQ(loaded.Cell(cmLoadFiles, FullScreen), "F3");
}

TEST(KeyMapStorage, MissingKeysUnbindAndTextsAreNotValidated) {
  TIniFile ini;
  ini.Parse("[Commands]\r\nMultiKeys=0\r\n");
  TKeyMap map = DefaultMap();
  map.Load(ini);
  EXPECT_EQ(map, TKeyMap());

  ini.Parse("[CommandMap]\r\nwind_004=ctrl+right\r\nFScr_03C=Nonsense key\r\n");
  map.Load(ini);
  EXPECT_EQ(map.Cell(cmFrameStep, Window), "ctrl+right");
  EXPECT_TRUE(map.Lookup(Window, KeyText(VK_RIGHT, ssCtrl)).empty());
  EXPECT_EQ(map.Cell(cmPowerOff, FullScreen), "Nonsense key");
  EXPECT_EQ(map.Cell(cmPowerOff, Window), "");
}
