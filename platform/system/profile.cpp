#include "platform/system/profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringConverter>

namespace {

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line break inside a name or value would end the line early and let the
// rest of the text read back as keys of its own; a blank takes its place.
QString OneLine(const QString& text) {
  QString out = text;
  for (QChar& c : out)
    if (c == u'\r' || c == u'\n') c = u' ';
  return out;
}

// Splits on LF; a CR before the LF belongs to the line end, so CR LF and LF
// files read the same.
template <typename Fn>
void ForEachLine(const QString& text, Fn fn) {
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0) end = text.size();
    qsizetype len = end - start;
    if (len > 0 && text.at(end - 1) == u'\r') --len;
    fn(QStringView(text).mid(start, len));
    start = end + 1;
  }
}

}  // namespace

bool TIniFile::Load(const QString& path) {
  Clear();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  Parse(file.readAll());
  return file.error() == QFileDevice::NoError;
}

void TIniFile::Parse(const QByteArray& data) {
  Clear();
  QStringDecoder decode(QStringConverter::System);
  const QString text = decode(data);
  Section* current = nullptr;
  ForEachLine(text, [&](QStringView raw) {
    const QStringView line = raw.trimmed();
    if (line.startsWith(u'[')) {
      const qsizetype close = line.indexOf(u']');
      if (close > 0) {
        const QString name = line.mid(1, close - 1).trimmed().toString();
        // A section named twice continues the first one, so its keys are
        // still found and the first occurrence of a key still wins.
        current = nullptr;
        for (Section& s : sections_)
          if (SameName(s.name, name)) current = &s;
        if (!current) {
          sections_.push_back({name, {}});
          current = &sections_.back();
        }
        return;
      }
    }
    if (!current) return;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) return;
    current->entries.push_back({line.left(eq).trimmed().toString(),
                                line.mid(eq + 1).trimmed().toString()});
  });
}

QByteArray TIniFile::Serialize() const {
  QString text;
  for (const Section& s : sections_) {
    text += QLatin1Char('[') + s.name + QLatin1String("]\r\n");
    for (const Entry& e : s.entries)
      text += e.key + QLatin1Char('=') + e.value + QLatin1String("\r\n");
  }
  QStringEncoder encode(QStringConverter::System);
  return encode(text);
}

bool TIniFile::Save(const QString& path, QString* error) const {
  QSaveFile file(path);
  // Never write straight into the target: a full disk or a crash halfway
  // must leave the previous file as it was.
  file.setDirectWriteFallback(false);
  const QByteArray data = Serialize();
  // Unbuffered, so a short write is seen at write time and not lost in a
  // flush that commit does not check.
  bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  if (ok) ok = file.write(data) == data.size();
  if (ok) ok = file.commit();
  if (!ok) {
    if (error) *error = file.errorString();
    file.cancelWriting();
  }
  return ok;
}

const TIniFile::Entry* TIniFile::Find(const QString& section, const QString& key) const {
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const Entry& e : s.entries)
      if (SameName(e.key, key)) return &e;
    return nullptr;
  }
  return nullptr;
}

bool TIniFile::HasKey(const QString& section, const QString& key) const {
  return Find(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const Entry* e = Find(section, key);
  return e ? e->value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const Entry* e = Find(section, key);
  if (!e) return def;
  bool ok = false;
  const int value = e->value.toInt(&ok, 10);
  return ok ? value : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString sectionName = OneLine(section);
  const QString keyName = OneLine(key);
  Section* target = nullptr;
  for (Section& s : sections_)
    if (SameName(s.name, sectionName)) {
      target = &s;
      break;
    }
  if (!target) {
    sections_.push_back({sectionName, {}});
    target = &sections_.back();
  }
  for (Entry& e : target->entries)
    if (SameName(e.key, keyName)) {
      e.value = OneLine(value);
      return;
    }
  target->entries.push_back({keyName, OneLine(value)});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TIniFile::Sections() const {
  QStringList out;
  for (const Section& s : sections_) out << s.name;
  return out;
}

QStringList TIniFile::Keys(const QString& section) const {
  QStringList out;
  for (const Section& s : sections_)
    if (SameName(s.name, section)) {
      for (const Entry& e : s.entries) out << e.key;
      break;
    }
  return out;
}
