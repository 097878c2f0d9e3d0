#pragma once
#include <QRect>
#include <QString>
#include <memory>
#include <vector>

#include "base/hresult.h"

// Result codes of the display-mode calls.
inline constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x8876005Au);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = static_cast<HRESULT>(0x88760235u);
inline constexpr HRESULT DDERR_UNSUPPORTEDMODE = static_cast<HRESULT>(0x8876024Eu);

// One display mode of a monitor. Bits is the colour depth in bits per pixel;
// only the screen's own depth can be set, other depths are listed with
// Available false so that a chooser can show them disabled.
struct TDisplayMode {
  int Width = 0;
  int Height = 0;
  int Bits = 0;
  double Refresh = 0;  // Hz; 0 when the driver does not say
  bool Available = false;
  bool operator==(const TDisplayMode&) const = default;
};

// Display-mode changes for full screen. A call works on the monitor that
// shows most of `window` (screen coordinates). Every failing call leaves its
// reason in LastErrorText(), for the error-text table of the failure policy.
// A changed mode is put back by RestoreDisplayMode, and also when the program
// exits or crashes while the mode is changed.
class TDisplayModeService {
 public:
  virtual ~TDisplayModeService() = default;
  // The monitor's modes, largest first, each size once (its best refresh),
  // each with the colour depths 8, 16 and 32 and the screen's own.
  virtual HRESULT EnumDisplayModes(const QRect& window, std::vector<TDisplayMode>& modes) = 0;
  // The mode the monitor shows now.
  virtual HRESULT GetDisplayMode(const QRect& window, TDisplayMode& mode) = 0;
  virtual HRESULT SetDisplayMode(const QRect& window, int width, int height, int bits) = 0;
  // Back to the mode from before the first change; S_OK when nothing was changed.
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual bool IsModeChanged() const = 0;
  virtual QString LastErrorText() const = 0;
};

// The service in use: XRandR when the program runs on an X11 display,
// otherwise one that fails every call with a clear text. A test may install
// another.
TDisplayModeService& DisplayModes();
// Installs a service (nullptr restores the platform's). The caller keeps ownership.
void SetDisplayModes(TDisplayModeService* service);

// Index of the monitor that shows most of `window`; when none shows any of
// it, the one whose centre is nearest; -1 for no monitors. Ties go to the
// first in the list.
int MonitorForWindow(const std::vector<QRect>& monitors, const QRect& window);

// Modes over XRandR on one X display, through a connection of its own (so a
// crash handler never meets a toolkit's half-written request).
class TXRandRDisplayModes : public TDisplayModeService {
 public:
  // `display` as for XOpenDisplay: empty means $DISPLAY.
  explicit TXRandRDisplayModes(const QByteArray& display = {});
  ~TXRandRDisplayModes() override;
  HRESULT EnumDisplayModes(const QRect& window, std::vector<TDisplayMode>& modes) override;
  HRESULT GetDisplayMode(const QRect& window, TDisplayMode& mode) override;
  HRESULT SetDisplayMode(const QRect& window, int width, int height, int bits) override;
  HRESULT RestoreDisplayMode() override;
  bool IsModeChanged() const override;
  QString LastErrorText() const override { return error_; }

  struct TState;

 private:
  struct TLocated;
  HRESULT Locate(const QRect& window, TLocated& at);
  HRESULT Fail(HRESULT hr, const QString& text);
  std::unique_ptr<TState> state_;
  QString error_;
};

// The service where there is no X11 display: every call fails with `why`.
class TNoDisplayModes : public TDisplayModeService {
 public:
  explicit TNoDisplayModes(QString why) : why_(std::move(why)) {}
  HRESULT EnumDisplayModes(const QRect&, std::vector<TDisplayMode>& modes) override {
    modes.clear();
    return DDERR_NODIRECTDRAWHW;
  }
  HRESULT GetDisplayMode(const QRect&, TDisplayMode& mode) override {
    mode = {};
    return DDERR_NODIRECTDRAWHW;
  }
  HRESULT SetDisplayMode(const QRect&, int, int, int) override { return DDERR_NODIRECTDRAWHW; }
  HRESULT RestoreDisplayMode() override { return S_OK; }
  bool IsModeChanged() const override { return false; }
  QString LastErrorText() const override { return why_; }

 private:
  QString why_;
};
