#include "platform/system/sysfacts.h"

#include <sys/utsname.h>

#include <QFile>

namespace {

// os-release values follow shell rules: one level of double or single quotes,
// backslash escapes inside double quotes.
QString UnquoteShellValue(QByteArrayView raw) {
  QByteArray out;
  if (raw.size() >= 2 && raw.front() == '\'' && raw.back() == '\'') {
    out = raw.sliced(1, raw.size() - 2).toByteArray();
  } else if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
    const QByteArrayView inner = raw.sliced(1, raw.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
      if (inner[i] == '\\' && i + 1 < inner.size()) ++i;
      out.append(inner[i]);
    }
  } else {
    out = raw.toByteArray();
  }
  return QString::fromUtf8(out);
}

}  // namespace

TKernelVersion ParseKernelRelease(const QString& release) {
  TKernelVersion v;
  int* parts[] = {&v.Major, &v.Minor, &v.Patch};
  qsizetype i = 0;
  for (int* part : parts) {
    if (i >= release.size() || !release[i].isDigit()) break;
    long long n = 0;
    while (i < release.size() && release[i].isDigit()) {
      n = std::min<long long>(n * 10 + release[i].digitValue(), 0x7fffffff);
      ++i;
    }
    *part = int(n);
    if (i >= release.size() || release[i] != '.') break;
    ++i;
  }
  return v;
}

QString OsReleasePrettyName(QByteArrayView osRelease) {
  QString name;
  for (QByteArrayView line : QByteArray(osRelease.toByteArray()).split('\n')) {
    line = line.trimmed();
    if (!line.startsWith("PRETTY_NAME=")) continue;
    // The last assignment wins, as it would when the file is sourced.
    name = UnquoteShellValue(line.sliced(12));
  }
  return name;
}

TSystemFacts ReadSystemFacts() {
  TSystemFacts facts;
  utsname u{};
  if (uname(&u) == 0) {
    facts.Known = true;
    facts.KernelName = QString::fromUtf8(u.sysname);
    facts.KernelRelease = QString::fromUtf8(u.release);
  }
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    QFile f(QString::fromLatin1(path));
    if (!f.open(QIODevice::ReadOnly)) continue;
    facts.Distribution = OsReleasePrettyName(f.read(64 * 1024));
    break;
  }
  return facts;
}
