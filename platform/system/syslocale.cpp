#include "platform/system/syslocale.h"

#include <QLocale>

namespace {

// LCID = sub-language << 10 | primary language.
constexpr quint32 Lcid(quint32 primary, quint32 sub) { return sub << 10 | primary; }

struct TLanguage {
  const char* language;   // ISO 639-1
  quint32 primary;        // primary language id
};

struct TRegional {
  const char* language;
  const char* country;    // ISO 3166-1 alpha-2
  quint32 sub;            // sub-language id
};

// The default sub-language is 1 for every language listed here.
constexpr TLanguage kLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
    {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
    {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
    {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18},
    {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E},
    {"tr", 0x1F}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25},
    {"lv", 0x26}, {"lt", 0x27}, {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C},
    {"mk", 0x2F}, {"ka", 0x37}, {"hi", 0x39}, {"kk", 0x3F}, {"ky", 0x40}, {"uz", 0x43},
    {"tt", 0x44}, {"mn", 0x50},
};

// Countries whose sub-language is not the language's default.
constexpr TRegional kRegional[] = {
    {"en", "GB", 2}, {"en", "AU", 3}, {"en", "CA", 4}, {"en", "NZ", 5}, {"en", "IE", 6},
    {"en", "ZA", 7}, {"en", "IN", 16},
    {"de", "CH", 2}, {"de", "AT", 3}, {"de", "LU", 4}, {"de", "LI", 5},
    {"fr", "BE", 2}, {"fr", "CA", 3}, {"fr", "CH", 4}, {"fr", "LU", 5},
    {"es", "ES", 3}, {"es", "MX", 2}, {"es", "AR", 11},
    {"it", "CH", 2}, {"nl", "BE", 2}, {"sv", "FI", 2}, {"ru", "MD", 2}, {"ro", "MD", 2},
    {"pt", "PT", 2}, {"zh", "CN", 2}, {"zh", "HK", 3}, {"zh", "SG", 4}, {"zh", "MO", 5},
    {"ar", "IQ", 2}, {"ar", "EG", 3}, {"ko", "KR", 1},
};

}  // namespace

quint32 LcidFromLocaleName(const QString& name) {
  // "ll_CC.codeset@modifier" or "ll-CC": only language and country matter.
  QString base = name.trimmed();
  for (qsizetype i = 0; i < base.size(); ++i) {
    if (base[i] == '.' || base[i] == '@') {
      base.truncate(i);
      break;
    }
  }
  base.replace('-', '_');
  if (base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX"))
    return LcidEnglishUS;
  const QString language = base.section('_', 0, 0).toLower();
  const QString country = base.section('_', 1, 1).toUpper();
  for (const TLanguage& l : kLanguages) {
    if (language != QLatin1String(l.language)) continue;
    for (const TRegional& r : kRegional)
      if (language == QLatin1String(r.language) && country == QLatin1String(r.country))
        return Lcid(l.primary, r.sub);
    return Lcid(l.primary, 1);
  }
  return LcidCustomUnspecified;
}

QString SystemLocaleName() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(var);
    if (!value.isEmpty()) return value;
  }
  return QLocale::system().name();
}

quint32 GetSystemDefaultLCID() { return LcidFromLocaleName(SystemLocaleName()); }
