#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs a command-line tool (xdotool, import) and returns its standard
// output; empty when it does not finish within 20 seconds.
inline QByteArray RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(20000)) return {};
  return p.readAllStandardOutput();
}
