#include "platform/system/windir.h"

#include <QDir>

QString WindowsDirectory() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.config";
  const QString dir = QDir::cleanPath(base + "/kelvara");
  QDir().mkpath(dir);
  return dir;
}

QString DefaultFolder() {
  QString home = QDir::homePath();
  if (!home.endsWith('/')) home += '/';
  return home;
}
