#pragma once
// The seek bar's arithmetic, apart from the widget: time <-> pixel mapping
// over the usable track and the time scale with its step ladder.
#include <QString>
#include <QtGlobal>
#include <vector>

inline constexpr qint64 MediaSecond = 10'000'000;  // media time counts 100 ns
inline constexpr qint64 MediaMinute = 60 * MediaSecond;
inline constexpr qint64 MediaHour = 60 * MediaMinute;

// A horizontal track from Left + Margin to Right - Margin (Right exclusive).
struct TTrack {
  int Left = 0, Right = 0, Margin = 0;
  int Usable() const { return (Right - Left) - 2 * Margin; }
  int Start() const { return Left + Margin; }
  int End() const { return Right - Margin; }
};

// The x of a time; 0 when there is nothing to show (no duration or no
// usable track).
int TimeToX(const TTrack& track, qint64 t, qint64 duration);
// The time of a pointer x, clamped to 0 .. duration; 0 without a usable track.
qint64 XToTime(const TTrack& track, int x, qint64 duration);
// Where a bookmark mark stands: measured from the margin alone.
int MarkX(const TTrack& track, qint64 t, qint64 duration);

// The time between labels for a track this wide.
qint64 ScaleStep(qint64 duration, int usableWidth);
// A label's text; its form follows the whole duration.
QString ScaleLabel(qint64 t, qint64 duration);

struct TScaleLabel {
  int X;
  qint64 Time;
  QString Text;
};
struct TScale {
  qint64 Step = 0;
  std::vector<TScaleLabel> Labels;
  std::vector<int> MinorTicks;  // x of each minor tick
  int EndX = 0;                 // the unlabelled tick at the track's end
};
// The whole scale; empty (no labels) when there is nothing to scale.
TScale BuildScale(const TTrack& track, qint64 duration);
