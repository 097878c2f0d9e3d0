#include "platform/system/waveout.h"

// ALSA's header declares snd_lib_error_set_local outside its own extern "C"
// block; without this wrapper C++ would look for a mangled name.
extern "C" {
#include <alsa/asoundlib.h>
}

#include <algorithm>
#include <cstdarg>
#include <memory>

namespace {

TWaveOutService* g_service = nullptr;

// A machine without sound hardware is normal (servers, CI, containers): ALSA
// must not print its complaints on the user's terminal for it.
void QuietAlsa(const char*, int, const char*, int, const char*, va_list) {}

class TQuietAlsaScope {
 public:
  TQuietAlsaScope() : old_(snd_lib_error_set_local(&QuietAlsa)) {}
  ~TQuietAlsaScope() { snd_lib_error_set_local(old_); }

 private:
  snd_local_error_handler_t old_;
};

struct TMixerCloser {
  void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
using TMixer = std::unique_ptr<snd_mixer_t, TMixerCloser>;

snd_mixer_elem_t* FindPlaybackElement(snd_mixer_t* mixer, const char* name) {
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, name);
  snd_mixer_elem_t* elem = snd_mixer_find_selem(mixer, id);
  return elem && snd_mixer_selem_has_playback_volume(elem) ? elem : nullptr;
}

}  // namespace

long MixerValueOf(uint16_t level, long min, long max) {
  if (max <= min) return min;
  const long double span = static_cast<long double>(max) - min;
  return min + static_cast<long>(span * level / 0xFFFF + 0.5L);
}

MMRESULT TAlsaWaveOut::SetVolume(unsigned device, uint32_t volume) {
  if (device != 0) return MMSYSERR_BADDEVICEID;
  TQuietAlsaScope quiet;
  snd_mixer_t* raw = nullptr;
  if (snd_mixer_open(&raw, 0) < 0) return MMSYSERR_NODRIVER;
  TMixer mixer(raw);
  if (snd_mixer_attach(raw, card_.constData()) < 0 || snd_mixer_selem_register(raw, nullptr, nullptr) < 0 ||
      snd_mixer_load(raw) < 0)
    return MMSYSERR_NODRIVER;
  snd_mixer_elem_t* elem = FindPlaybackElement(raw, "PCM");
  if (!elem) elem = FindPlaybackElement(raw, "Master");
  if (!elem) return MMSYSERR_NOTSUPPORTED;
  long min = 0, max = 0;
  if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0) return MMSYSERR_ERROR;
  const long left = MixerValueOf(static_cast<uint16_t>(volume & 0xFFFF), min, max);
  const long right = MixerValueOf(static_cast<uint16_t>(volume >> 16), min, max);
  int rc;
  if (snd_mixer_selem_is_playback_mono(elem)) {
    // One control for both channels: the louder side, as a mono device would be heard.
    rc = snd_mixer_selem_set_playback_volume_all(elem, std::max(left, right));
  } else {
    rc = snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, left);
    if (rc >= 0 && snd_mixer_selem_has_playback_channel(elem, SND_MIXER_SCHN_FRONT_RIGHT))
      rc = snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_RIGHT, right);
  }
  return rc < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

TWaveOutService& WaveOutService() {
  static TAlsaWaveOut alsa;
  return g_service ? *g_service : alsa;
}

void SetWaveOutService(TWaveOutService* service) { g_service = service; }

MMRESULT waveOutSetVolume(unsigned device, uint32_t volume) {
  return WaveOutService().SetVolume(device, volume);
}
