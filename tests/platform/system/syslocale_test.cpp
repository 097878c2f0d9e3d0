#include <gtest/gtest.h>

#include "platform/system/syslocale.h"

TEST(LocaleIdentifier, CommonLocaleNames) {
  struct Case { const char* name; quint32 lcid; };
  const Case cases[] = {
      {"ru_RU.UTF-8", 0x0419}, {"ru_RU", 0x0419}, {"ru", 0x0419}, {"ru-RU", 0x0419},
      {"ru_RU.KOI8-R", 0x0419}, {"RU_ru.utf8", 0x0419}, {"ru_UA.UTF-8", 0x0419},
      {"ru_MD", 0x0819}, {"en_US.UTF-8", 0x0409}, {"en_GB.UTF-8", 0x0809}, {"en", 0x0409},
      {"de_DE@euro", 0x0407}, {"de_AT", 0x0C07}, {"fr_CA", 0x0C0C}, {"pt_BR", 0x0416},
      {"pt_PT", 0x0816}, {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"uk_UA", 0x0422},
      {"be_BY", 0x0423}, {"kk_KZ", 0x043F}, {"es_ES", 0x0C0A}, {"ja_JP.eucJP", 0x0411},
      {"C", 0x0409}, {"POSIX", 0x0409}, {"C.UTF-8", 0x0409}, {"", 0x0409}, {" ru_RU ", 0x0419},
      {"eo", 0x1000}, {"xx_YY", 0x1000},
  };
  for (const Case& c : cases) EXPECT_EQ(LcidFromLocaleName(c.name), c.lcid) << c.name;
}

namespace {

// Sets the three locale variables for one test and puts them back.
class TLocaleEnvironment {
 public:
  TLocaleEnvironment(const char* all, const char* messages, const char* lang) {
    for (int i = 0; i < 3; ++i) {
      saved_[i] = qgetenv(kNames[i]);
      had_[i] = qEnvironmentVariableIsSet(kNames[i]);
    }
    Set(kNames[0], all);
    Set(kNames[1], messages);
    Set(kNames[2], lang);
  }
  ~TLocaleEnvironment() {
    for (int i = 0; i < 3; ++i)
      had_[i] ? qputenv(kNames[i], saved_[i]) : qunsetenv(kNames[i]);
  }

 private:
  static void Set(const char* name, const char* value) {
    value ? qputenv(name, value) : qunsetenv(name);
  }
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  QByteArray saved_[3];
  bool had_[3] = {};
};

}  // namespace

TEST(LocaleIdentifier, ProcessLocaleFollowsVariablePrecedence) {
  {
    TLocaleEnvironment env("en_US.UTF-8", "de_DE.UTF-8", "ru_RU.UTF-8");
    EXPECT_EQ(GetSystemDefaultLCID(), 0x0409u);
  }
  {
    TLocaleEnvironment env("", "de_DE.UTF-8", "ru_RU.UTF-8");
    EXPECT_EQ(GetSystemDefaultLCID(), 0x0407u);
  }
  {
    TLocaleEnvironment env(nullptr, nullptr, "ru_RU.UTF-8");
    EXPECT_EQ(SystemLocaleName(), "ru_RU.UTF-8");
    EXPECT_EQ(GetSystemDefaultLCID(), LcidRussian);
  }
}
