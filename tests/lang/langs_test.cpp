#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTreeWidget>
#include <memory>
#include <set>
#include <vector>

#include "commands/commandtable.h"
#include "base/identity.h"
#include "lang/langs.h"

namespace {

// Puts Russian back whatever a test switched to.
struct TRussianAfter {
  ~TRussianAfter() { ApplyLanguage(lcRussian); }
};

}  // namespace

TEST(LanguageFromEnvironment, FirstEntryDecides) {
  struct {
    const char* value;
    int code;
  } cases[] = {{"en", lcEnglish},         {"en_GB:ru", lcEnglish}, {"en_US.UTF-8", lcEnglish},
               {"en@quot", lcEnglish},    {" en ", lcEnglish},     {"ru:en", lcRussian},
               {"", lcRussian},           {"de", lcRussian},       {"eng", lcRussian},
               {"ru_RU:en_GB", lcRussian}, {":en", lcRussian}};
  for (const auto& c : cases) EXPECT_EQ(LanguageFromEnvironment(c.value), c.code) << c.value;
}

TEST(ApplyLanguage, SwitchesTextsNamesAndRunsListenersInOrder) {
  TRussianAfter restore;
  EXPECT_EQ(LanguageFlag(), lcRussian);
  EXPECT_EQ(RunTimeTexts().sError, "Ошибка");
  EXPECT_EQ(CommandName(cmStop), "Стоп");

  std::vector<int> ran;
  const int a = AddLanguageListener([&] { ran.push_back(1); });
  const int b = AddLanguageListener([&] { ran.push_back(2); });
  ApplyLanguage(lcEnglish);
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_TRUE(IsEnglishLanguage());
  EXPECT_EQ(RunTimeTexts().sError, "Error");
  EXPECT_EQ(RunTimeTexts().sSubtitlesOffset, "Subtitles offset");
  EXPECT_EQ(CommandName(cmStop), "Stop");
  EXPECT_EQ(CommandName(cmPowerOff), "Power Off");
  EXPECT_EQ(CommandName(61), "");

  RemoveLanguageListener(a);
  ran.clear();
  ApplyLanguage(7);  // anything but English is Russian
  EXPECT_EQ(ran, (std::vector<int>{2}));
  EXPECT_EQ(LanguageFlag(), lcRussian);
  RemoveLanguageListener(b);
}

TEST(ApplyLanguage, WindowListenerGoesWithItsWindow) {
  TRussianAfter restore;
  int runs = 0;
  {
    QObject window;
    OnLanguageChange(&window, [&] { ++runs; });
    ApplyLanguage(lcEnglish);
    EXPECT_EQ(runs, 1);
  }
  ApplyLanguage(lcRussian);
  EXPECT_EQ(runs, 1);
}

// Each of the texts the table switches has an English text of its own; one
// left Russian would be a text the switch forgot.
TEST(RunTimeTexts, EveryTextHasBothLanguages) {
  const TRunTimeTexts& ru = TRunTimeTexts::Russian();
  const TRunTimeTexts& en = TRunTimeTexts::English();
  const std::vector<QString TRunTimeTexts::*> switched = {
      &TRunTimeTexts::sLocation,     &TRunTimeTexts::sStream,          &TRunTimeTexts::sTypeVideo,
      &TRunTimeTexts::sTypeAudio,    &TRunTimeTexts::sTypeText,        &TRunTimeTexts::sDuration,
      &TRunTimeTexts::sSize,         &TRunTimeTexts::sColorDepth,      &TRunTimeTexts::sFrameRate,
      &TRunTimeTexts::sFormat,       &TRunTimeTexts::sMono,            &TRunTimeTexts::sStereo,
      &TRunTimeTexts::sChannels,     &TRunTimeTexts::sKBitSec,         &TRunTimeTexts::sBits,
      &TRunTimeTexts::sHz,           &TRunTimeTexts::sFileSize,        &TRunTimeTexts::sHours,
      &TRunTimeTexts::sMinutes,      &TRunTimeTexts::sSeconds,         &TRunTimeTexts::sFileInformation,
      &TRunTimeTexts::sNoProperties, &TRunTimeTexts::sBrightness,      &TRunTimeTexts::sContrast,
      &TRunTimeTexts::sSaturation,   &TRunTimeTexts::sError,           &TRunTimeTexts::sFileLoadingError,
      &TRunTimeTexts::sApplicationError, &TRunTimeTexts::sErrorAdvice, &TRunTimeTexts::sWarning,
      &TRunTimeTexts::sOldDirectX,   &TRunTimeTexts::sSubtitlesOffset, &TRunTimeTexts::sScale,
      &TRunTimeTexts::sHintVolume,   &TRunTimeTexts::sHintPosition,    &TRunTimeTexts::sHintClock,
      &TRunTimeTexts::sHintCPU};
  EXPECT_EQ(switched.size(), 33u + 4u);
  for (auto field : switched) {
    EXPECT_FALSE((ru.*field).isEmpty());
    EXPECT_NE(ru.*field, en.*field) << (ru.*field).toStdString();
  }
  EXPECT_TRUE(ru.sErrorAdvice.contains("ОБЯЗАТЕЛЬНО"));
  EXPECT_TRUE(en.sErrorAdvice.contains("OBLIGATORY"));
  // The address is the one the build was given, in both languages.
  EXPECT_TRUE(ru.sErrorAdvice.contains(QLatin1String(Identity::ReportAddress)));
  EXPECT_TRUE(en.sErrorAdvice.contains(QLatin1String(Identity::ReportAddress)));
  EXPECT_TRUE(en.sOldDirectX.startsWith("You have old version of DirectX.") && en.sOldDirectX.contains("\r\n"));
}

TEST(EnglishControlTexts, ReachCaptionsRadioItemsAndTreeNodes) {
  QWidget form;
  auto* tree = new QTreeWidget(&form);
  tree->setObjectName("tvCategory");
  for (int i = 0; i < 10; ++i) new QTreeWidgetItem(tree, QStringList("узел"));
  auto* group = new QGroupBox("группа", &form);
  group->setObjectName("rgAspectRatio");
  std::vector<QRadioButton*> items;
  for (const char* t : {"как есть", "16 : 9", "4 : 3", "по ширине", "по высоте", "другие:"})
    items.push_back(new QRadioButton(QString::fromUtf8(t), group));
  auto* check = new QCheckBox("Показывать подсказки", &form);
  check->setObjectName("cbHints");

  const int found = ApplyEnglishControlTexts(&form, "TfrConfig");
  EXPECT_EQ(found, 10 + 5 + 1);  // the tree, the group and its four English items, the box
  EXPECT_EQ(tree->topLevelItem(2)->text(0), "Miscellaneous");
  EXPECT_EQ(tree->topLevelItem(9)->text(0), "Mouse");
  EXPECT_EQ(group->title(), " Aspect ratio ");
  EXPECT_EQ(items[0]->text(), "As is");
  EXPECT_EQ(items[1]->text(), "16 : 9");  // the same in both languages
  EXPECT_EQ(items[5]->text(), "Custom:");
  EXPECT_EQ(check->text(), "Show hints");
  // Another form's names are not touched.
  EXPECT_EQ(ApplyEnglishControlTexts(&form, "TfrReport"), 0);
}
