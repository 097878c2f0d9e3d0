#include "platform/system/filetypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/system/exceptions.h"

namespace {

constexpr const char* kDefaultGroup = "[Default Applications]";

QString ConfigHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }
QString DataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }
QString MimeAppsList() { return ConfigHome() + QStringLiteral("/mimeapps.list"); }

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file only once the new one is completely written.
void WriteFile(const QString& path, const QByteArray& data) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
    throw Exception(QStringLiteral("Cannot write %1: %2").arg(path, f.errorString()));
}

bool IsGroupLine(const QByteArray& line) { return line.trimmed().startsWith('['); }

// The key of a "key=value" line, blanks around it ignored.
QByteArray KeyOf(const QByteArray& line) {
  const qsizetype eq = line.indexOf('=');
  return eq < 0 ? QByteArray() : line.first(eq).trimmed();
}

// Undoes the key file's escapes: \\s, \\n, \\t, \\r and \\\\.
QString Unescape(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const QChar c = value[++i];
    out += c == QLatin1Char('s') ? QChar(' ') : c == QLatin1Char('n') ? QChar('\n')
         : c == QLatin1Char('t') ? QChar('\t') : c == QLatin1Char('r') ? QChar('\r') : c;
  }
  return out;
}

class TXdgFileTypes : public TFileTypeService {
 public:
  QStringList MimeTypesOfExtension(const QString& extension) const override {
    QStringList names;
    const QString file = QStringLiteral("file.") + extension.toLower();
    for (const QMimeType& t : db_.mimeTypesForFileName(file)) names << t.name();
    return names;
  }

  QString DefaultApplications(const QString& mimeType) const override {
    const QList<QByteArray> lines = ReadFile(MimeAppsList()).split('\n');
    bool inGroup = false;
    for (const QByteArray& line : lines) {
      if (IsGroupLine(line)) inGroup = line.trimmed() == kDefaultGroup;
      else if (inGroup && KeyOf(line) == mimeType.toUtf8())
        return QString::fromUtf8(line.sliced(line.indexOf('=') + 1).trimmed());
    }
    return {};
  }

  void SetDefaultApplications(const QString& mimeType, const QString& value) override {
    // Edited line by line, so every other line of the user's file stays as it was.
    QByteArray text = ReadFile(MimeAppsList());
    if (text.endsWith('\n')) text.chop(1);
    QList<QByteArray> lines = text.isEmpty() ? QList<QByteArray>() : text.split('\n');
    const QByteArray key = mimeType.toUtf8();
    const QByteArray line = key + '=' + value.toUtf8();
    qsizetype group = -1, at = -1, end = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (IsGroupLine(lines[i])) {
        if (group >= 0 && end == lines.size()) end = i;
        if (lines[i].trimmed() == kDefaultGroup && group < 0) group = i;
      } else if (group >= 0 && end == lines.size() && at < 0 && KeyOf(lines[i]) == key) {
        at = i;
      }
    }
    if (at >= 0) {
      if (value.isEmpty()) lines.removeAt(at);
      else lines[at] = line;
    } else if (!value.isEmpty()) {
      if (group < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines.append(QByteArray());
        lines.append(kDefaultGroup);
        lines.append(line);
      } else {
        // After the group's last entry, before the blank lines that part it from the next.
        qsizetype i = end;
        while (i > group + 1 && lines[i - 1].trimmed().isEmpty()) --i;
        lines.insert(i, line);
      }
    } else {
      return;
    }
    WriteFile(MimeAppsList(), lines.join('\n') + '\n');
  }

  QByteArray UserDesktopEntry(const QString& desktopId) const override {
    return ReadFile(DataHome() + QStringLiteral("/applications/") + desktopId);
  }

  void WriteUserDesktopEntry(const QString& desktopId, const QByteArray& contents) override {
    WriteFile(DataHome() + QStringLiteral("/applications/") + desktopId, contents);
  }

  void InstallUserMimePackage(const QString& fileName, const QByteArray& xml) override {
    const QString mime = DataHome() + QStringLiteral("/mime");
    const QString path = mime + QStringLiteral("/packages/") + fileName;
    if (ReadFile(path) == xml && QFileInfo::exists(mime + QStringLiteral("/mime.cache"))) return;
    WriteFile(path, xml);
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {mime});
    if (!update.waitForFinished(60000) || update.exitStatus() != QProcess::NormalExit || update.exitCode() != 0)
      throw Exception(QStringLiteral("update-mime-database %1 failed: %2")
                          .arg(mime, update.error() == QProcess::FailedToStart
                                         ? update.errorString()
                                         : QString::fromLocal8Bit(update.readAllStandardError())));
  }

 private:
  QMimeDatabase db_;
};

TFileTypeService* g_service = nullptr;

}  // namespace

TFileTypeService& FileTypeService() {
  static TXdgFileTypes xdg;
  return g_service ? *g_service : xdg;
}

void SetFileTypeService(TFileTypeService* service) { g_service = service; }

QString FirstDesktopId(const QString& value) {
  for (const QString& id : value.split(QLatin1Char(';')))
    if (!id.trimmed().isEmpty()) return id.trimmed();
  return {};
}

QString ExecProgram(const QString& exec) {
  const QString s = exec.trimmed();
  QString program;
  if (!s.startsWith(QLatin1Char('"'))) {
    program = s.section(QLatin1Char(' '), 0, 0);
  } else {
    qsizetype i = 1;
    for (; i < s.size() && s[i] != QLatin1Char('"'); ++i) {
      if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) ++i;
      program += s[i];
    }
    if (i == s.size()) return {};  // no closing quote: no program
  }
  return program.replace(QLatin1String("%%"), QLatin1String("%"));
}

QString ExecLine(const QString& program) {
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
  bool quote = false;
  for (QChar c : program) quote = quote || reserved.contains(c);
  QString exec = program;
  if (quote) {
    exec.clear();
    for (QChar c : program) {
      if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
        exec += QLatin1Char('\\');
      exec += c;
    }
    exec = QLatin1Char('"') + exec + QLatin1Char('"');
  }
  // A percent sign is a field code unless doubled; the key file itself
  // escapes the backslash once more.
  exec.replace(QLatin1String("%"), QLatin1String("%%"));
  exec.replace(QLatin1String("\\"), QLatin1String("\\\\"));
  return exec + QStringLiteral(" %F");
}

QString DesktopEntryValue(const QByteArray& entry, const QString& key) {
  bool inGroup = false;
  for (const QByteArray& line : entry.split('\n')) {
    if (IsGroupLine(line)) inGroup = line.trimmed() == "[Desktop Entry]";
    else if (inGroup && KeyOf(line) == key.toUtf8())
      return Unescape(QString::fromUtf8(line.sliced(line.indexOf('=') + 1).trimmed()));
  }
  return {};
}
