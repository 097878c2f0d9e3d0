#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>

// What ffprobe says about a file, as its JSON output: an independent second
// opinion for tests that read media themselves. Empty object when ffprobe fails.
QJsonObject Ffprobe(const QString& path, const QStringList& extraArgs = {});

// Presentation times (seconds) of the key-frame packets of the first video stream.
QList<double> FfprobeVideoKeyFrameTimes(const QString& path);
