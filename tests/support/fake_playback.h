#pragma once
#include <vector>

#include "platform/system/displaymode.h"
#include "platform/system/screensaver.h"
#include "platform/system/waveout.h"

// Each fake installs itself for its lifetime and then puts back the service
// it replaced (the test main's harmless default), so that no test can change
// the volume, the display mode or the screensaver of the machine it runs on.

// Records the device volumes asked for.
class TFakeWaveOut : public TWaveOutService {
 public:
  TFakeWaveOut() : previous_(&WaveOutService()) { SetWaveOutService(this); }
  ~TFakeWaveOut() override { SetWaveOutService(previous_); }
  MMRESULT SetVolume(unsigned device, uint32_t volume) override {
    calls.push_back({device, volume});
    return result;
  }
  struct TVolumeRequest {
    unsigned device;
    uint32_t volume;
  };
  std::vector<TVolumeRequest> calls;
  MMRESULT result = MMSYSERR_NOERROR;

 private:
  TWaveOutService* previous_;
};

// A monitor with a fixed mode list. A mode can be set when it is listed as
// available; any call can be made to fail with a chosen result.
class TFakeDisplayModes : public TDisplayModeService {
 public:
  TFakeDisplayModes() : previous_(&DisplayModes()) { SetDisplayModes(this); }
  ~TFakeDisplayModes() override { SetDisplayModes(previous_); }
  HRESULT EnumDisplayModes(const QRect&, std::vector<TDisplayMode>& list) override {
    list.clear();
    if (FAILED(enumResult)) return enumResult;
    list = modes;
    return S_OK;
  }
  HRESULT GetDisplayMode(const QRect&, TDisplayMode& mode) override {
    mode = current;
    return S_OK;
  }
  HRESULT SetDisplayMode(const QRect& window, int width, int height, int bits) override {
    sets.push_back({window, width, height, bits});
    if (FAILED(setResult)) return setResult;
    for (const TDisplayMode& m : modes) {
      if (m.Width != width || m.Height != height || m.Bits != bits || !m.Available) continue;
      if (!changed) original = current;
      current = m;
      changed = true;
      return S_OK;
    }
    return DDERR_INVALIDMODE;
  }
  HRESULT RestoreDisplayMode() override {
    ++restores;
    if (FAILED(restoreResult)) return restoreResult;
    if (changed) current = original;
    changed = false;
    return S_OK;
  }
  bool IsModeChanged() const override { return changed; }
  QString LastErrorText() const override { return errorText; }

  struct Set {
    QRect window;
    int width, height, bits;
  };
  std::vector<TDisplayMode> modes = {{1280, 800, 32, 60, true}, {800, 600, 16, 60, false},
                                     {800, 600, 32, 60, true},  {640, 480, 16, 60, false},
                                     {640, 480, 32, 60, true}};
  TDisplayMode current{1280, 800, 32, 60, true};
  TDisplayMode original;
  std::vector<Set> sets;
  int restores = 0;
  bool changed = false;
  HRESULT enumResult = S_OK, setResult = S_OK, restoreResult = S_OK;
  QString errorText = QStringLiteral("Display mode refused.");

 private:
  TDisplayModeService* previous_;
};

// Grants or refuses the request; Activate() plays the screensaver starting anyway.
class TFakeScreenSaver : public TScreenSaverService {
 public:
  TFakeScreenSaver() : previous_(&ScreenSaverService()) { SetScreenSaverService(this); }
  ~TFakeScreenSaver() override { SetScreenSaverService(previous_); }
  void Inhibit(const QString& app, const QString& reason, std::function<void()> onActivation) override {
    ++inhibits;
    lastApp = app;
    lastReason = reason;
    callback = std::move(onActivation);
    inhibited = !refuse;
    if (refuse) Activate();
  }
  void UnInhibit() override {
    if (inhibited) ++uninhibits;
    inhibited = false;
  }
  bool IsInhibited() const override { return inhibited; }
  void Activate() {
    if (callback) callback();
  }
  std::function<void()> callback;
  QString lastApp, lastReason;
  int inhibits = 0, uninhibits = 0;
  bool inhibited = false;
  bool refuse = false;

 private:
  TScreenSaverService* previous_;
};
