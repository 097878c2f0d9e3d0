#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The settings file in INI form. Section and key names compare
// case-insensitively, values are trimmed, the first match wins. Writing keeps the order of first writes (a key written again is
// replaced in place), which is how a file deleted and written key by key
// comes out. Files are text in the locale's encoding with CR LF line ends.
class TIniFile {
 public:
  TIniFile() = default;
  // Reads the whole file. A missing file gives an empty store and false.
  bool Load(const QString& path);
  // Parses text already in memory (the same rules as Load).
  void Parse(const QByteArray& data);
  QByteArray Serialize() const;
  // Writes the complete new file beside the old one and renames it over it,
  // so a failed write never loses the previous file. False on failure, with
  // the reason in *error when given.
  bool Save(const QString& path, QString* error = nullptr) const;

  bool HasKey(const QString& section, const QString& key) const;
  // Absent key: def. Present key: its trimmed value, empty included.
  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  // Absent, empty or not a decimal integer: def.
  int ReadInteger(const QString& section, const QString& key, int def) const;
  // Read as an integer; any non-zero value is true.
  bool ReadBool(const QString& section, const QString& key, bool def) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  void WriteBool(const QString& section, const QString& key, bool value);

  QStringList Sections() const;
  QStringList Keys(const QString& section) const;  // in file order
  void Clear() { sections_.clear(); }

 private:
  struct Entry { QString key; QString value; };
  struct Section { QString name; std::vector<Entry> entries; };
  const Entry* Find(const QString& section, const QString& key) const;
  std::vector<Section> sections_;
};
