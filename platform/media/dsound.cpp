#include "platform/media/dsound.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_primaryRate{0};
std::atomic<int> g_holders{0};

class TGstSound;

// The primary buffer: its format is what the renderers are held to.
class TGstPrimaryBuffer : public IDirectSoundBuffer,
                          public std::enable_shared_from_this<TGstPrimaryBuffer> {
 public:
  explicit TGstPrimaryBuffer(std::shared_ptr<int> rate) : rate_(std::move(rate)) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    out.reset();
    if (std::strcmp(iid, IID) != 0) return E_NOINTERFACE;
    out = shared_from_this();
    return S_OK;
  }
  HRESULT SetFormat(const WAVEFORMATEX& f) override {
    if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels != 2 || f.wBitsPerSample != 16 ||
        f.nSamplesPerSec < 8000 || f.nSamplesPerSec > 192000)
      return E_INVALIDARG;
    *rate_ = int(f.nSamplesPerSec);
    g_primaryRate = *rate_;
    return S_OK;
  }
  HRESULT Play(uint32_t, uint32_t, uint32_t) override { return S_OK; }

 private:
  std::shared_ptr<int> rate_;
};

class TGstSound : public IDirectSound, public std::enable_shared_from_this<TGstSound> {
 public:
  TGstSound() { ++g_holders; }
  // Releasing the sound object gives the renderers their own choice back.
  ~TGstSound() override {
    if (--g_holders == 0) g_primaryRate = 0;
  }
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    out.reset();
    if (std::strcmp(iid, IID) != 0) return E_NOINTERFACE;
    out = shared_from_this();
    return S_OK;
  }
  HRESULT SetCooperativeLevel(QWidget*, uint32_t level) override {
    return level == 0 ? E_INVALIDARG : S_OK;
  }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, ComPtr<IDirectSoundBuffer>& buffer) override {
    if (!(desc.dwFlags & DSBCAPS_PRIMARYBUFFER)) return E_NOTIMPL;
    buffer = std::make_shared<TGstPrimaryBuffer>(rate_);
    return S_OK;
  }

 private:
  std::shared_ptr<int> rate_ = std::make_shared<int>(0);
};

}  // namespace

HRESULT DirectSoundCreate(const GUID*, ComPtr<IDirectSound>& sound) {
  return CoCreateInstance(CLSID_DirectSound, sound);
}

int PrimaryAudioRate() { return g_primaryRate.load(); }

ComPtr<IUnknown> MakeGstDirectSound() { return std::make_shared<TGstSound>(); }
