#pragma once
#include <QByteArray>
#include <cstdint>
#include <utility>

// Results of the wave-out calls, with the values the multimedia API gives them.
using MMRESULT = uint32_t;
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;

// The volume of the sound device itself (not of one movie). Level words are
// 0..0xFFFF, the left channel in the low word of `volume`, the right in the
// high word.
class TWaveOutService {
 public:
  virtual ~TWaveOutService() = default;
  // Only device 0 exists. A machine without a sound card or mixer answers
  // with an error code and says nothing to the user.
  virtual MMRESULT SetVolume(unsigned device, uint32_t volume) = 0;
};

// The service in use: the ALSA mixer of the default card unless a test
// installed another.
TWaveOutService& WaveOutService();
// Installs a service (nullptr restores the ALSA one). The caller keeps ownership.
void SetWaveOutService(TWaveOutService* service);

// The call the volume code makes; goes to WaveOutService().
MMRESULT waveOutSetVolume(unsigned device, uint32_t volume);

// Sets the playback volume of the mixer element "PCM", or "Master" when the
// card has no "PCM", on both channels.
class TAlsaWaveOut : public TWaveOutService {
 public:
  // `card` is an ALSA control name: "default", "hw:0", ...
  explicit TAlsaWaveOut(QByteArray card = "default") : card_(std::move(card)) {}
  MMRESULT SetVolume(unsigned device, uint32_t volume) override;

 private:
  QByteArray card_;
};

// A level word 0..0xFFFF as a mixer value in min..max, rounded to nearest;
// the ends map to the ends exactly.
long MixerValueOf(uint16_t level, long min, long max);
