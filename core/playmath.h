#pragma once
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>
#include <vector>

// Figures of the playback loop, apart from the window.

inline constexpr int64_t UnitsPerSecond = 10'000'000;  // media time: 100 ns

// The key frame nearest to t (less than 60 s away; the earlier one on a tie),
// plus half a frame so that the seek lands inside it; t itself when snapping
// is off, Alt is held or no key frame is near. A frame rate of 0 adds no
// half frame.
int64_t SnapToKeyFrame(int64_t t, const std::vector<int64_t>& keyFrames, double frameRate,
                       bool keyFrameSeek, bool altDown);

// One and a quarter frames, 20 fps when the rate is unknown.
int64_t FrameBackStep(double frameRate);

// Seconds per jump from the KeySeek text; nothing when it is not an integer.
std::optional<int64_t> ParseKeySeek(const QString& text);

// "h:mm:ss" of whole seconds.
QString FormatTime(int64_t t);
// The position display: "0:00:10/0:01:30", or with remaining time
// "0:01:20\0:01:30"; the position alone when the length is unknown (0).
QString PositionText(int64_t pos, int64_t dur, bool reverse);
// "hh:mm" with the colon blinking: blank on odd seconds.
QString ClockText(const QTime& now);
// One step of the CPU meter's smoothing toward the new sample.
int SmoothCPU(int shown, int sample);

// Volume: the wave-out level word for both channels, and the movie's own
// volume in hundredths of a decibel.
uint32_t WaveOutVolume(int bar);
int32_t MovieVolume(int bar, int volumeControl, bool mute);
