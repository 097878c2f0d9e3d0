#pragma once
// The primary sound format: while a sound object that set it is held, every
// audio renderer built plays 16-bit stereo at that rate.
#include "platform/media/dshow.h"

inline const CLSID CLSID_DirectSound{"{47D4D946-62E8-11CF-93BC-444553540000}"};
inline constexpr uint32_t DSSCL_PRIORITY = 2;
inline constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 1;
inline constexpr uint32_t DSBPLAY_LOOPING = 1;
inline constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
};

struct DSBUFFERDESC {
  uint32_t dwSize = 36;
  uint32_t dwFlags = 0;
};

class IDirectSoundBuffer : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IDirectSoundBuffer";
  virtual HRESULT SetFormat(const WAVEFORMATEX& format) = 0;
  virtual HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) = 0;
};

class IDirectSound : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IDirectSound";
  virtual HRESULT SetCooperativeLevel(QWidget* window, uint32_t level) = 0;
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, ComPtr<IDirectSoundBuffer>& buffer) = 0;
};

// Creates the sound object through the installed platform.
HRESULT DirectSoundCreate(const GUID* device, ComPtr<IDirectSound>& sound);

// Sample rate the audio renderers are held to; 0 when none is set.
int PrimaryAudioRate();

// The GStreamer-side object (made by the platform factory).
ComPtr<IUnknown> MakeGstDirectSound();
