#include "controls/seekscale.h"

#include <algorithm>
#include <array>

namespace {

// Products of a film's length in 100 ns and a pixel width outgrow 64 bits
// only for absurd inputs; working in 128 bits keeps even those exact.
using Wide = __int128;

// Far beyond any screen; keeps a wild position from overflowing an int.
constexpr int CoordLimit = 1 << 20;

int ClampCoord(Wide x) { return static_cast<int>(std::clamp<Wide>(x, -CoordLimit, CoordLimit)); }

constexpr std::array<qint64, 13> Ladder = {
    MediaSecond,      5 * MediaSecond,  10 * MediaSecond, 15 * MediaSecond, 30 * MediaSecond,
    MediaMinute,      5 * MediaMinute,  10 * MediaMinute, 15 * MediaMinute, 30 * MediaMinute,
    MediaHour,        2 * MediaHour,    5 * MediaHour};

}  // namespace

int TimeToX(const TTrack& track, qint64 t, qint64 duration) {
  const int w = track.Usable();
  if (duration <= 0 || w <= 0) return 0;
  return ClampCoord(track.Start() + Wide(t) * w / duration);
}

qint64 XToTime(const TTrack& track, int x, qint64 duration) {
  const int w = track.Usable();
  if (duration <= 0 || w <= 0) return 0;
  const Wide t = Wide(duration) * (x - track.Start()) / w;
  return static_cast<qint64>(std::clamp<Wide>(t, 0, duration));
}

int MarkX(const TTrack& track, qint64 t, qint64 duration) {
  const int w = track.Usable();
  if (duration <= 0 || w <= 0) return 0;
  return ClampCoord(track.Margin + Wide(t) * w / duration);
}

qint64 ScaleStep(qint64 duration, int usableWidth) {
  const int labelSlots = usableWidth / 45;  // one label per 45 pixels
  if (labelSlots < 2) return duration;
  qint64 step = std::max(duration / (labelSlots - 1), MediaSecond);
  for (size_t i = 1; i < Ladder.size(); ++i)
    if (step > Ladder[i - 1] && step < Ladder[i]) return Ladder[i];
  return step;
}

QString ScaleLabel(qint64 t, qint64 duration) {
  const qint64 h = t / MediaHour, m = (t / MediaMinute) % 60, s = (t / MediaSecond) % 60;
  if (duration < 10 * MediaMinute) return QString::asprintf("%d:%.2d", int(m), int(s));
  if (duration < MediaHour) return QString::asprintf("%.2d:%.2d", int(m), int(s));
  return QString::asprintf("%d:%.2d:%.2d", int(h), int(m), int(s));
}

TScale BuildScale(const TTrack& track, qint64 duration) {
  TScale scale;
  const int w = track.Usable();
  if (duration <= 0 || w <= 0) return scale;
  scale.EndX = track.End();
  const qint64 step = scale.Step = ScaleStep(duration, w);
  const qint64 n = duration / step;
  for (qint64 c = 0; c <= n; ++c) {
    for (int i = 1; i <= 4; ++i) {
      const qint64 t = c * step + step * i / 5;
      if (t < duration) scale.MinorTicks.push_back(ClampCoord(track.Start() + Wide(w) * t / duration));
    }
    const qint64 t = c * step;
    scale.Labels.push_back({ClampCoord(track.Start() + Wide(c) * w * step / duration), t, ScaleLabel(t, duration)});
  }
  return scale;
}
