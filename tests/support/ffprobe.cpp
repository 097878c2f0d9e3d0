#include "tests/support/ffprobe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

QJsonObject Ffprobe(const QString& path, const QStringList& extraArgs) {
  QProcess p;
  p.start("ffprobe", QStringList{"-v", "error", "-of", "json"} + extraArgs + QStringList{path});
  if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return {};
  return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QList<double> FfprobeVideoKeyFrameTimes(const QString& path) {
  const QJsonObject o = Ffprobe(
      path, {"-select_streams", "v:0", "-show_entries", "packet=pts_time,flags"});
  QList<double> times;
  for (const QJsonValue& v : o.value("packets").toArray()) {
    const QJsonObject pkt = v.toObject();
    if (pkt.value("flags").toString().startsWith('K'))
      times << pkt.value("pts_time").toString().toDouble();
  }
  return times;
}
