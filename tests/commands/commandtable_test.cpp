#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

#include "commands/commandtable.h"
#include "commands/keytext.h"

namespace {

// Every text a key press can produce: all 16-bit codes would add only more
// "<n>" forms, which no preset uses.
QSet<QString> ProducibleKeyTexts() {
  QSet<QString> texts;
  const TShiftFlag flags[] = {ssShift, ssAlt, ssCtrl};
  for (unsigned mask = 0; mask < 8; ++mask) {
    TShiftState shift;
    for (int b = 0; b < 3; ++b)
      if (mask & (1u << b)) shift |= flags[b];
    for (int vk = 0; vk < 256; ++vk) texts.insert(KeyText(vk, shift));
  }
  return texts;
}

}  // namespace

TEST(CommandTable, RowsAreInIdentifierOrderWithTheirSymbols) {
  ASSERT_EQ(Commands().size(), 61u);
  for (int id = 0; id < CommandCount; ++id) {
    ASSERT_EQ(Commands()[id].Id, id);
    EXPECT_EQ(FindCommand(id), &Commands()[id]);
  }
  EXPECT_EQ(FindCommand(-1), nullptr);
  EXPECT_EQ(FindCommand(61), nullptr);
  EXPECT_STREQ(FindCommand(cmStopPlay)->Symbol, "cmStopPlay");
  EXPECT_STREQ(FindCommand(cmStopPlay)->NameRussian, "Стоп / Воспроизведение");
  EXPECT_STREQ(FindCommand(cmPowerOff)->NameEnglish, "Power Off");
  EXPECT_EQ(cmPowerOff, 60);
  EXPECT_EQ(cmExit, 59);
  EXPECT_EQ(cmAddFiles, 27);
}

TEST(CommandTable, HexIdentifiers) {
  EXPECT_EQ(CommandHexId(0), "000");
  EXPECT_EQ(CommandHexId(cmExit), "03B");
  EXPECT_EQ(CommandHexId(cmPowerOff), "03C");
}

TEST(CommandTable, EveryPresetKeyIsATextAKeyPressProduces) {
  const QSet<QString> producible = ProducibleKeyTexts();
  for (const TCommandInfo& c : Commands())
    for (const TPresetBinding& b : c.Presets) {
      const QString key = QString::fromUtf8(b.Key);
      if (!key.isEmpty()) {
        EXPECT_TRUE(producible.contains(key)) << c.Symbol << " " << b.Key;
      }
    }
}

TEST(CommandTable, NoPresetBindsOneKeyOrRemoteNameTwice) {
  for (int p = 0; p < KeyPresetCount; ++p) {
    QSet<QString> keys, remotes;
    for (const TCommandInfo& c : Commands()) {
      const QString key = QString::fromUtf8(c.Presets[p].Key);
      const QString remote = QString::fromUtf8(c.Presets[p].Remote);
      EXPECT_TRUE(key.isEmpty() || !keys.contains(key)) << p << " " << c.Symbol;
      EXPECT_TRUE(remote.isEmpty() || !remotes.contains(remote)) << p << " " << c.Symbol;
      keys.insert(key);
      remotes.insert(remote);
    }
  }
}

TEST(CommandTable, RemoteNamesOfThePresets) {
  QStringList bs, sasami, standard;
  for (const TCommandInfo& c : Commands()) {
    const auto collect = [&](QStringList& list, TKeyPreset p) {
      const char* remote = c.Presets[static_cast<int>(p)].Remote;
      if (*remote) list << QString::fromUtf8(remote);
    };
    collect(standard, TKeyPreset::Default);
    collect(bs, TKeyPreset::BSPlayer);
    collect(sasami, TKeyPreset::Sasami);
  }
  EXPECT_EQ(bs, QStringList({"stop", "play", "tv", "p-", "p+", "frev", "ffor", "mute", "v+", "v-", "pwr"}));
  EXPECT_EQ(standard, QStringList({"Stop", "Play", "Mute", "V+", "V-", "Power"}));
  EXPECT_TRUE(sasami.isEmpty());
}
