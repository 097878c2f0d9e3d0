#pragma once
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

#include "base/hresult.h"

// What the player knows about one file before playing it. Copied by value.
struct TFileInfo {
  QString VideoSummary;   // "640x480x24, 25,00 Гц" for the last video stream
  QString AudioSummary;   // "128 КБит/сек" for the last audio stream
  QString Text;           // the full description, CR LF lines
  QString AudioDuration;  // length of the last audio stream
  bool Valid = false;     // the detector answered how many streams there are
  double FrameRate = 0;   // of the last video stream
  QList<qint64> KeyFrames;  // AVI key-frame start times, 100 ns, in file order
};

// The result check every labelled platform call goes through; it reports and,
// by the failure policy, may throw to abandon the operation.
using TCheckResult = std::function<void(HRESULT hr, const QString& label)>;

// Fills info for the file from the media detector; reads the AVI key-frame
// index as well when keyFrameSeek is on.
void GetFileInfo(const QString& name, TFileInfo& info, bool keyFrameSeek, const TCheckResult& check);

// "1 ч 2 мин 5 сек.": hours and minutes only when the length reaches them.
QString FormatDuration(float seconds);
// The four bytes of a four-character code, lowest first, control bytes as "?";
// 0 is "0x00000000".
QString FourCCToText(uint32_t code);
// A number in fixed notation with the system's decimal separator, no grouping.
QString FormatFixed(double value, int decimals);
