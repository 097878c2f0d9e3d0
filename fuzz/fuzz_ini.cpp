// Arbitrary bytes as an INI file: parsing must end, what it serializes must
// parse back to the same text, and a written value must read back as the
// reader trims it, without forging other lines.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/system/profile.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Upper and lower case of ASCII names; other letters can change length
// ("ß" becomes "SS"), which no case-blind lookup is expected to bridge.
QString Folded(const QString& name, bool upper) {
  for (QChar c : name)
    if (c.unicode() > 0x7F) return name;
  return upper ? name.toUpper() : name.toLower();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TIniFile ini;
  ini.Parse(bytes);
  for (const QString& section : ini.Sections())
    for (const QString& key : ini.Keys(section)) {
      Check(ini.HasKey(Folded(section, true), Folded(key, false)));
      ini.ReadInteger(section, key, 0);
      ini.ReadBool(section, key, true);
    }
  ini.ReadString(QStringLiteral("Common"), QStringLiteral("WindowPos"), QString());

  const QByteArray once = ini.Serialize();
  TIniFile again;
  again.Parse(once);
  Check(again.Serialize() == once);

  // The input's text, as a value, must come back as one trimmed line.
  const QString value = QString::fromUtf8(bytes.left(200));
  again.WriteString(QStringLiteral("Fuzz"), QStringLiteral("Value"), value);
  TIniFile back;
  back.Parse(again.Serialize());
  QString expected = value;
  expected.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  Check(back.ReadString(QStringLiteral("fuzz"), QStringLiteral("VALUE"), QStringLiteral("?")) ==
        expected.trimmed());
  Check(back.Sections().size() == again.Sections().size());
  return 0;
}
