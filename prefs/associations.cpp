#include "prefs/associations.h"

#include <QFile>
#include <QMap>
#include <QXmlStreamReader>

#include "platform/system/exceptions.h"
#include "platform/system/filetypes.h"
#include "platform/system/profile.h"
#include "platform/system/windir.h"

namespace {

constexpr const char* kBackupSection = "Backup";

QByteArray ReadResource(const char* path) {
  QFile f(QString::fromLatin1(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The extensions the player's own MIME package defines, with their types:
// the playlist type is ours even before the desktop has read the package.
const QMap<QString, QString>& OwnGlobs() {
  static const QMap<QString, QString> globs = [] {
    QMap<QString, QString> map;
    QXmlStreamReader xml(TFileAssociations::MimePackageXml());
    QString type;
    while (xml.readNextStartElement() || !xml.atEnd()) {
      if (!xml.isStartElement()) continue;
      if (xml.name() == QLatin1String("mime-type")) type = xml.attributes().value("type").toString();
      if (xml.name() == QLatin1String("glob")) {
        const QString pattern = xml.attributes().value("pattern").toString();
        if (pattern.startsWith(QLatin1String("*."))) map.insert(pattern.mid(2).toLower(), type);
      }
    }
    return map;
  }();
  return globs;
}

}  // namespace

TFileAssociations::TFileAssociations(const QString& executable) : executable_(executable) {}

QByteArray TFileAssociations::MimePackageXml() { return ReadResource(":/kelvara/kelvara-mime.xml"); }

QString TFileAssociations::BackupPath() { return WindowsDirectory() + QStringLiteral("/associations.ini"); }

void TFileAssociations::ResolveTypes() const {
  if (resolved_) return;
  resolved_ = true;
  for (int i = 0; i < FileTypeCount; ++i) {
    const QString ext = FileTypeExtension(FileTypes()[size_t(i)]).toLower();
    if (OwnGlobs().contains(ext)) {
      types_[i] = OwnGlobs().value(ext);
      continue;
    }
    // Where the database offers several types (MP2 is audio and video),
    // the one of the item's own kind.
    const QStringList candidates = FileTypeService().MimeTypesOfExtension(ext);
    const QString kind = FileTypeIcon(i) == 5 ? QStringLiteral("audio/") : QStringLiteral("video/");
    types_[i] = candidates.value(0);
    for (const QString& c : candidates)
      if (c.startsWith(kind)) {
        types_[i] = c;
        break;
      }
  }
}

QString TFileAssociations::MimeType(int index) const {
  ResolveTypes();
  return types_.at(index);
}

void TFileAssociations::SetChecked(int index, bool on) {
  const QString type = MimeType(index);
  if (type.isEmpty()) {
    marks_.SetChecked(index, false);
    return;
  }
  for (int i = 0; i < FileTypeCount; ++i)
    if (MimeType(i) == type) marks_.SetChecked(i, on);
}

void TFileAssociations::SetMarks(const TFileTypeMarks& marks) {
  marks_ = TFileTypeMarks();
  for (int i = 0; i < FileTypeCount; ++i)
    if (marks.Checked(i)) SetChecked(i, true);
}

void TFileAssociations::SelectGroup(TFileGroup group) {
  TFileTypeMarks marks;
  marks.ApplyGroup(group);
  SetMarks(marks);
}

bool TFileAssociations::IsRegistered(const QString& mimeType) const {
  TFileTypeService& desktop = FileTypeService();
  if (FirstDesktopId(desktop.DefaultApplications(mimeType)) != QLatin1String(DesktopId)) return false;
  const QByteArray entry = desktop.UserDesktopEntry(QString::fromLatin1(DesktopId));
  return ExecProgram(DesktopEntryValue(entry, QStringLiteral("Exec"))) == executable_;
}

void TFileAssociations::Refresh() {
  for (int i = 0; i < FileTypeCount; ++i) marks_.SetChecked(i, Associable(i) && IsRegistered(MimeType(i)));
}

QByteArray TFileAssociations::DesktopEntry(const QStringList& mimeTypes) const {
  // The installed entry, made to start this executable and to claim only
  // the types the user gave the player.
  QList<QByteArray> lines;
  for (const QByteArray& line : ReadResource(":/kelvara/kelvara.desktop").split('\n')) {
    if (line.startsWith("TryExec=")) continue;
    if (line.startsWith("Exec=")) {
      lines << "Exec=" + ExecLine(executable_).toUtf8();
    } else if (line.startsWith("MimeType=")) {
      if (!mimeTypes.isEmpty()) lines << "MimeType=" + mimeTypes.join(';').toUtf8() + ';';
    } else {
      lines << line;
    }
  }
  return lines.join('\n');
}

void TFileAssociations::Apply() {
  ResolveTypes();
  QStringList types, wanted;
  for (int i = 0; i < FileTypeCount; ++i) {
    if (types_[i].isEmpty()) continue;
    if (!types.contains(types_[i])) types << types_[i];
    if (marks_.Checked(i) && !wanted.contains(types_[i])) wanted << types_[i];
  }
  TFileTypeService& desktop = FileTypeService();
  const QString id = QString::fromLatin1(DesktopId);
  // The user's own copy of the playlist type, so that it holds wherever the
  // player was installed; the desktop ignores the same definition twice.
  if (wanted.contains(QLatin1String(PlaylistMimeType)))
    desktop.InstallUserMimePackage(QString::fromLatin1(MimePackage), MimePackageXml());
  // The entry lists exactly the types the player holds, so that the
  // desktop offers it as a fallback for no type it gave back.
  const QByteArray entry = DesktopEntry(wanted);
  const QByteArray current = desktop.UserDesktopEntry(id);
  if ((!wanted.isEmpty() || !current.isEmpty()) && current != entry) desktop.WriteUserDesktopEntry(id, entry);

  TIniFile backup;
  backup.Load(BackupPath());
  const QString section = QString::fromLatin1(kBackupSection);
  for (const QString& type : types) {
    const QString previous = desktop.DefaultApplications(type);
    const bool ours = FirstDesktopId(previous) == id;
    if (wanted.contains(type)) {
      if (ours) continue;  // the first backup stays
      backup.WriteString(section, type, previous);
      QString error;
      if (!backup.Save(BackupPath(), &error))
        throw Exception(QStringLiteral("Cannot write %1: %2").arg(BackupPath(), error));
      desktop.SetDefaultApplications(type, id);
    } else if (ours) {
      desktop.SetDefaultApplications(type, backup.ReadString(section, type, QString()));
    }
  }
}
