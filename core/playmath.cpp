#include "core/playmath.h"

#include <cmath>
#include <cstdlib>

#include "core/geometry.h"

namespace {
int64_t RoundEven64(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
}  // namespace

int64_t SnapToKeyFrame(int64_t t, const std::vector<int64_t>& keyFrames, double frameRate,
                       bool keyFrameSeek, bool altDown) {
  if (altDown || !keyFrameSeek) return t;
  int64_t best = 60 * UnitsPerSecond;
  int64_t result = t;
  const int64_t half = frameRate > 0 ? RoundEven64(UnitsPerSecond / frameRate / 2) : 0;
  for (int64_t k : keyFrames) {
    const int64_t d = k > t ? k - t : t - k;
    if (d < best) {
      best = d;
      result = k + half;
    }
  }
  return result;
}

int64_t FrameBackStep(double frameRate) {
  double fps = frameRate;
  if (0.0001 > fps) fps = 20;
  return RoundEven64(UnitsPerSecond / fps * 1.25);
}

std::optional<int64_t> ParseKeySeek(const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return v;
}

QString FormatTime(int64_t t) {
  const int64_t s = t / UnitsPerSecond;
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg((s / 60) % 60, 2, 10, QChar('0'))
      .arg(s % 60, 2, 10, QChar('0'));
}

QString PositionText(int64_t pos, int64_t dur, bool reverse) {
  // Without a known length there is nothing to show beside the position.
  if (dur <= 0) return FormatTime(pos);
  QString sep = QStringLiteral("/");
  if (reverse) {
    sep = QStringLiteral("\\");
    pos = dur - pos;
  }
  return FormatTime(pos) + sep + FormatTime(dur);
}

QString ClockText(const QTime& now) {
  return QStringLiteral("%1%2%3")
      .arg(now.hour(), 2, 10, QChar('0'))
      .arg(now.second() % 2 == 0 ? ':' : ' ')
      .arg(now.minute(), 2, 10, QChar('0'));
}

int SmoothCPU(int shown, int sample) { return shown + (sample - shown) / 3; }

uint32_t WaveOutVolume(int bar) {
  const uint32_t b = static_cast<uint32_t>(qBound(0, bar, 100));
  const uint32_t level = b * 65535u / 100u;
  return level + level * 65536u;
}

int32_t MovieVolume(int bar, int volumeControl, bool mute) {
  const int b = qBound(0, bar, 100);
  int32_t v = 0;
  if (volumeControl == 1) v = b > 0 ? b * 30 - 3000 : -10000;
  if (mute) v = -10000;
  return v;
}
