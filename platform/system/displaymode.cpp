#include "platform/system/displaymode.h"

#include <QGuiApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <limits>

// Last: Xlib defines macros (Bool, Status, ...) that Qt's headers must not see.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

// Owning handles for what Xlib and XRandR hand out.
struct TXFree {
  void operator()(Display* dpy) const { XCloseDisplay(dpy); }
  void operator()(XRRScreenResources* res) const { XRRFreeScreenResources(res); }
  void operator()(XRRCrtcInfo* crtc) const { XRRFreeCrtcInfo(crtc); }
  void operator()(XRROutputInfo* out) const { XRRFreeOutputInfo(out); }
  void operator()(XPixmapFormatValues* formats) const { XFree(formats); }
};
template <typename T>
using TXHandle = std::unique_ptr<T, TXFree>;

}  // namespace

// The mode switch must be undone however the program ends. The X requests
// that undo it are prepared while the mode is being changed, so that the crash
// path only sends a few fixed-size requests on a connection nobody else uses.
struct TXRandRDisplayModes::TState {
  TXHandle<Display> display;  // a connection of our own
  Display* dpy() const { return display.get(); }
  Window root = 0;
  int bits = 0;  // bits per pixel of the screen's default depth
  QString openError;

  // What to put back. Valid while `changed`.
  bool changed = false;
  TXHandle<XRRScreenResources> resources;  // for the config timestamp
  RRCrtc crtc = 0;
  RRMode mode = 0;
  int x = 0, y = 0;
  Rotation rotation = RR_Rotate_0;
  std::array<RROutput, 16> outputs{};
  int outputCount = 0;
  int screenW = 0, screenH = 0, screenMmW = 0, screenMmH = 0;  // original screen size
  int nowW = 0, nowH = 0;  // screen size while the mode is changed
};

namespace {

using TState = TXRandRDisplayModes::TState;

TDisplayModeService* g_service = nullptr;

// --- X error trapping -------------------------------------------------------
// Xlib's default error handler ends the process; a refused mode must be a
// result instead.
volatile sig_atomic_t g_xError = 0;

int TrapXError(Display*, XErrorEvent* e) {
  g_xError = e->error_code;
  return 0;
}

class TXErrorTrap {
 public:
  explicit TXErrorTrap(Display* dpy) : dpy_(dpy) {
    XSync(dpy_, False);
    g_xError = 0;
    old_ = XSetErrorHandler(&TrapXError);
  }
  ~TXErrorTrap() {
    XSync(dpy_, False);
    XSetErrorHandler(old_);
  }
  int Error() {
    XSync(dpy_, False);
    return g_xError;
  }

 private:
  Display* dpy_;
  XErrorHandler old_ = nullptr;
};

// --- States with a changed mode, for the exit and crash paths ---------------
constexpr int kMaxChanged = 4;
TState* volatile g_changed[kMaxChanged] = {};
constexpr int kCrashSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
struct sigaction g_oldActions[std::size(kCrashSignals)];
bool g_hooksInstalled = false;

void SetScreenSize(TState& s, int w, int h) {
  const int mmW = s.screenW > 0 ? static_cast<int>(static_cast<long long>(s.screenMmW) * w / s.screenW) : 0;
  const int mmH = s.screenH > 0 ? static_cast<int>(static_cast<long long>(s.screenMmH) * h / s.screenH) : 0;
  XRRSetScreenSize(s.dpy(), s.root, w, h, mmW, mmH);
}

// Sends the saved configuration back. No allocation, no Qt: it runs from a
// signal handler too.
bool PutBack(TState& s) {
  if (!s.changed) return true;
  const int w = std::max(s.screenW, s.nowW), h = std::max(s.screenH, s.nowH);
  if (w != s.nowW || h != s.nowH) SetScreenSize(s, w, h);
  const Status st = XRRSetCrtcConfig(s.dpy(), s.resources.get(), s.crtc, CurrentTime, s.x, s.y, s.mode, s.rotation,
                                     s.outputs.data(), s.outputCount);
  if (w != s.screenW || h != s.screenH) SetScreenSize(s, s.screenW, s.screenH);
  XSync(s.dpy(), False);
  if (st != RRSetConfigSuccess) return false;
  s.changed = false;
  return true;
}

void PutBackAll() {
  for (auto& slot : g_changed) {
    TState* s = slot;
    if (s) {
      XSetErrorHandler(&TrapXError);
      PutBack(*s);
      slot = nullptr;
    }
  }
}

void OnCrash(int sig) {
  PutBackAll();
  // Let whatever handled the signal before (or the default action) finish the job.
  for (size_t i = 0; i < std::size(kCrashSignals); ++i)
    if (kCrashSignals[i] == sig) sigaction(sig, &g_oldActions[i], nullptr);
  raise(sig);
}

void InstallHooks() {
  if (g_hooksInstalled) return;
  g_hooksInstalled = true;
  std::atexit(&PutBackAll);
  struct sigaction sa {};
  sa.sa_handler = &OnCrash;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_NODEFER;
  for (size_t i = 0; i < std::size(kCrashSignals); ++i) sigaction(kCrashSignals[i], &sa, &g_oldActions[i]);
}

void Register(TState* s) {
  for (auto& slot : g_changed)
    if (slot == s) return;
  for (auto& slot : g_changed)
    if (!slot) {
      slot = s;
      return;
    }
}

void Unregister(TState* s) {
  for (auto& slot : g_changed)
    if (slot == s) slot = nullptr;
}

// --- Reading the X configuration ---------------------------------------------
struct TMonitor {
  RROutput output = 0;
  RRCrtc crtc = 0;
  QRect rect;
};

double RefreshOf(const XRRModeInfo& m) {
  double lines = m.vTotal;
  if (m.modeFlags & RR_DoubleScan) lines *= 2;
  if (m.modeFlags & RR_Interlace) lines /= 2;
  return m.hTotal && lines > 0 ? m.dotClock / (m.hTotal * lines) : 0;
}

const XRRModeInfo* FindMode(const XRRScreenResources* res, RRMode id) {
  for (int i = 0; i < res->nmode; ++i)
    if (res->modes[i].id == id) return &res->modes[i];
  return nullptr;
}

std::vector<TMonitor> ActiveMonitors(Display* dpy, XRRScreenResources* res) {
  std::vector<TMonitor> monitors;
  for (int i = 0; i < res->noutput; ++i) {
    const TXHandle<XRROutputInfo> out(XRRGetOutputInfo(dpy, res, res->outputs[i]));
    if (!out || out->connection != RR_Connected || !out->crtc) continue;
    const TXHandle<XRRCrtcInfo> crtc(XRRGetCrtcInfo(dpy, res, out->crtc));
    if (crtc && crtc->mode)
      monitors.push_back({res->outputs[i], out->crtc,
                          QRect(crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height))});
  }
  return monitors;
}

// Xlib learns of a new screen size only from the change events; reading them
// all keeps DisplayWidth and its kin true after our own (or anyone's) change.
void CatchUp(Display* dpy) {
  XSync(dpy, False);
  while (XPending(dpy)) {
    XEvent event;
    XNextEvent(dpy, &event);
    XRRUpdateConfiguration(&event);
  }
}

bool Sideways(Rotation r) { return r & (RR_Rotate_90 | RR_Rotate_270); }

// The size a mode shows at on a CRTC with the given rotation.
QSize ShownSize(const XRRModeInfo& m, Rotation r) {
  return Sideways(r) ? QSize(static_cast<int>(m.height), static_cast<int>(m.width))
                     : QSize(static_cast<int>(m.width), static_cast<int>(m.height));
}

// --- Changing the mode --------------------------------------------------------
constexpr const char* kUndescribed = "The X server did not describe its monitors.";

// Of the output's modes that show at `size`, the one nearest the CRTC's
// current refresh rate (the faster on a tie); nullptr when there is none.
const XRRModeInfo* ChooseMode(const XRRScreenResources& res, const XRROutputInfo& out, const XRRCrtcInfo& crtc,
                              QSize size) {
  const XRRModeInfo* current = FindMode(&res, crtc.mode);
  const double currentRefresh = current ? RefreshOf(*current) : 0;
  const XRRModeInfo* chosen = nullptr;
  for (int i = 0; i < out.nmode; ++i) {
    const XRRModeInfo* m = FindMode(&res, out.modes[i]);
    if (!m || ShownSize(*m, crtc.rotation) != size) continue;
    if (!chosen) {
      chosen = m;
      continue;
    }
    const double d = std::abs(RefreshOf(*m) - currentRefresh), dc = std::abs(RefreshOf(*chosen) - currentRefresh);
    if (d < dc || (d == dc && RefreshOf(*m) > RefreshOf(*chosen))) chosen = m;
  }
  return chosen;
}

// The screen must hold every monitor once the one on `crtc`, at `origin`,
// shows `size`; and the server has a smallest screen.
QSize ScreenSizeFor(const std::vector<TMonitor>& monitors, RRCrtc crtc, QPoint origin, QSize size, QSize minimum) {
  int w = origin.x() + size.width(), h = origin.y() + size.height();
  for (const TMonitor& m : monitors) {
    if (m.crtc == crtc) continue;
    w = std::max(w, m.rect.right() + 1);
    h = std::max(h, m.rect.bottom() + 1);
  }
  return {std::max(w, minimum.width()), std::max(h, minimum.height())};
}

QSize CurrentScreenSize(Display* dpy) {
  CatchUp(dpy);
  return {DisplayWidth(dpy, DefaultScreen(dpy)), DisplayHeight(dpy, DefaultScreen(dpy))};
}

// Everything the exit and crash paths need to put `crtc` back, taken before
// anything changes. False when the CRTC drives more outputs than that holds.
bool SaveRestoreState(TState& s, RRCrtc crtc, const XRRCrtcInfo& info, QSize screen) {
  if (info.noutput > static_cast<int>(s.outputs.size())) return false;
  s.resources.reset(XRRGetScreenResourcesCurrent(s.dpy(), s.root));
  s.crtc = crtc;
  s.mode = info.mode;
  s.x = info.x;
  s.y = info.y;
  s.rotation = info.rotation;
  s.outputCount = info.noutput;
  std::copy(info.outputs, info.outputs + info.noutput, s.outputs.begin());
  s.screenW = s.nowW = screen.width();
  s.screenH = s.nowH = screen.height();
  s.screenMmW = DisplayWidthMM(s.dpy(), DefaultScreen(s.dpy()));
  s.screenMmH = DisplayHeightMM(s.dpy(), DefaultScreen(s.dpy()));
  return true;
}

struct TApplied {
  Status status = RRSetConfigSuccess;
  int xError = 0;
};

// Shows `mode` on `crtc`, growing the screen first where the mode needs the
// room and fitting it to `need` after.
TApplied ApplyMode(TState& s, XRRScreenResources* res, RRCrtc crtc, const XRRCrtcInfo& info, RRMode mode,
                   QSize need, QSize now) {
  // Armed before the first request goes out: a crash half-way through the
  // change must still put the old mode back.
  s.changed = true;
  Register(&s);
  InstallHooks();
  TXErrorTrap trap(s.dpy());
  if (need.width() > now.width() || need.height() > now.height())
    SetScreenSize(s, std::max(need.width(), now.width()), std::max(need.height(), now.height()));
  TApplied applied;
  applied.status = XRRSetCrtcConfig(s.dpy(), res, crtc, CurrentTime, info.x, info.y, mode, info.rotation,
                                    info.outputs, info.noutput);
  if (applied.status == RRSetConfigSuccess && need != now) SetScreenSize(s, need.width(), need.height());
  applied.xError = trap.Error();
  const QSize after = CurrentScreenSize(s.dpy());
  s.nowW = after.width();
  s.nowH = after.height();
  return applied;
}

}  // namespace

int MonitorForWindow(const std::vector<QRect>& monitors, const QRect& window) {
  int best = -1;
  long long bestArea = 0;
  for (size_t i = 0; i < monitors.size(); ++i) {
    const QRect common = monitors[i].intersected(window);
    const long long area = common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = static_cast<int>(i);
    }
  }
  if (best >= 0) return best;
  long long bestDistance = std::numeric_limits<long long>::max();
  // Centres doubled to stay in integers.
  const long long cx = 2LL * window.x() + window.width(), cy = 2LL * window.y() + window.height();
  for (size_t i = 0; i < monitors.size(); ++i) {
    const QRect& m = monitors[i];
    const long long dx = cx - (2LL * m.x() + m.width()), dy = cy - (2LL * m.y() + m.height());
    const long long distance = dx * dx + dy * dy;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

TXRandRDisplayModes::TXRandRDisplayModes(const QByteArray& display) : state_(std::make_unique<TState>()) {
  TState& s = *state_;
  s.display.reset(XOpenDisplay(display.isEmpty() ? nullptr : display.constData()));
  const QString name = display.isEmpty() ? qEnvironmentVariable("DISPLAY") : QString::fromLocal8Bit(display);
  if (!s.dpy()) {
    s.openError = QStringLiteral("Cannot open the X display \"%1\" to change the display mode.").arg(name);
    return;
  }
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(s.dpy(), &event, &error) || !XRRQueryVersion(s.dpy(), &major, &minor) ||
      major * 100 + minor < 102) {
    s.openError = QStringLiteral("The X display \"%1\" cannot change display modes (no RandR 1.2).").arg(name);
    s.display.reset();
    return;
  }
  const int screen = DefaultScreen(s.dpy());
  s.root = RootWindow(s.dpy(), screen);
  XRRSelectInput(s.dpy(), s.root, RRScreenChangeNotifyMask);
  const int depth = DefaultDepth(s.dpy(), screen);
  int count = 0;
  const TXHandle<XPixmapFormatValues> formats(XListPixmapFormats(s.dpy(), &count));
  for (int i = 0; formats && i < count; ++i)
    if (formats.get()[i].depth == depth) s.bits = formats.get()[i].bits_per_pixel;
  if (!s.bits) s.bits = depth;
}

TXRandRDisplayModes::~TXRandRDisplayModes() {
  RestoreDisplayMode();
  Unregister(state_.get());
}

// The monitor a call works on, with the resources that describe it.
struct TXRandRDisplayModes::TLocated {
  TXHandle<XRRScreenResources> res;
  std::vector<TMonitor> monitors;
  int index = -1;
  const TMonitor& Monitor() const { return monitors[index]; }
};

HRESULT TXRandRDisplayModes::Locate(const QRect& window, TLocated& at) {
  TState& s = *state_;
  if (!s.dpy()) return Fail(DDERR_NODIRECTDRAWHW, s.openError);
  at.res.reset(XRRGetScreenResourcesCurrent(s.dpy(), s.root));
  if (!at.res) return Fail(E_FAIL, kUndescribed);
  at.monitors = ActiveMonitors(s.dpy(), at.res.get());
  std::vector<QRect> rects;
  for (const TMonitor& m : at.monitors) rects.push_back(m.rect);
  at.index = MonitorForWindow(rects, window);
  if (at.index < 0) return Fail(E_FAIL, QStringLiteral("No monitor is switched on."));
  return S_OK;
}

HRESULT TXRandRDisplayModes::Fail(HRESULT hr, const QString& text) {
  error_ = text;
  return hr;
}

bool TXRandRDisplayModes::IsModeChanged() const { return state_->changed; }

HRESULT TXRandRDisplayModes::EnumDisplayModes(const QRect& window, std::vector<TDisplayMode>& modes) {
  modes.clear();
  TState& s = *state_;
  TLocated at;
  if (const HRESULT hr = Locate(window, at); FAILED(hr)) return hr;
  const TXHandle<XRROutputInfo> out(XRRGetOutputInfo(s.dpy(), at.res.get(), at.Monitor().output));
  const TXHandle<XRRCrtcInfo> crtc(XRRGetCrtcInfo(s.dpy(), at.res.get(), at.Monitor().crtc));
  std::vector<TDisplayMode> sizes;
  for (int i = 0; out && crtc && i < out->nmode; ++i) {
    const XRRModeInfo* m = FindMode(at.res.get(), out->modes[i]);
    if (!m) continue;
    const QSize shown = ShownSize(*m, crtc->rotation);
    const double refresh = RefreshOf(*m);
    auto same = std::find_if(sizes.begin(), sizes.end(), [&](const TDisplayMode& d) {
      return d.Width == shown.width() && d.Height == shown.height();
    });
    if (same == sizes.end())
      sizes.push_back({shown.width(), shown.height(), 0, refresh, false});
    else
      same->Refresh = std::max(same->Refresh, refresh);
  }
  std::stable_sort(sizes.begin(), sizes.end(), [](const TDisplayMode& a, const TDisplayMode& b) {
    const long long areaA = 1LL * a.Width * a.Height, areaB = 1LL * b.Width * b.Height;
    return areaA != areaB ? areaA > areaB : a.Width > b.Width;
  });
  std::vector<int> depths = {8, 16, 32, s.bits};
  std::sort(depths.begin(), depths.end());
  depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
  for (const TDisplayMode& size : sizes)
    for (int bits : depths) modes.push_back({size.Width, size.Height, bits, size.Refresh, bits == s.bits});
  return S_OK;
}

HRESULT TXRandRDisplayModes::GetDisplayMode(const QRect& window, TDisplayMode& mode) {
  mode = {};
  TState& s = *state_;
  TLocated at;
  if (const HRESULT hr = Locate(window, at); FAILED(hr)) return hr;
  const TMonitor& monitor = at.Monitor();
  const TXHandle<XRRCrtcInfo> crtc(XRRGetCrtcInfo(s.dpy(), at.res.get(), monitor.crtc));
  if (!crtc) return Fail(E_FAIL, kUndescribed);
  const XRRModeInfo* m = FindMode(at.res.get(), crtc->mode);
  mode = {monitor.rect.width(), monitor.rect.height(), s.bits, m ? RefreshOf(*m) : 0, true};
  return S_OK;
}

HRESULT TXRandRDisplayModes::SetDisplayMode(const QRect& window, int width, int height, int bits) {
  TState& s = *state_;
  if (!s.dpy()) return Fail(DDERR_NODIRECTDRAWHW, s.openError);
  if (bits != s.bits)
    return Fail(DDERR_INVALIDMODE, QStringLiteral("%1-bit colour is not available: the screen runs at %2 bits per pixel.")
                                       .arg(bits)
                                       .arg(s.bits));
  TLocated at;
  if (const HRESULT hr = Locate(window, at); FAILED(hr)) return hr;
  const TMonitor& monitor = at.Monitor();

  // The window moved to another monitor since the last change: that one goes back first.
  if (s.changed && s.crtc != monitor.crtc) {
    const HRESULT hr = RestoreDisplayMode();
    if (FAILED(hr)) return hr;
    return SetDisplayMode(window, width, height, bits);
  }

  const TXHandle<XRRCrtcInfo> crtc(XRRGetCrtcInfo(s.dpy(), at.res.get(), monitor.crtc));
  const TXHandle<XRROutputInfo> out(XRRGetOutputInfo(s.dpy(), at.res.get(), monitor.output));
  if (!crtc || !out) return Fail(E_FAIL, kUndescribed);
  const QSize size(width, height);
  const XRRModeInfo* chosen = ChooseMode(*at.res, *out, *crtc, size);
  if (!chosen)
    return Fail(DDERR_INVALIDMODE, QStringLiteral("The monitor has no %1 x %2 mode.").arg(width).arg(height));
  if (chosen->id == crtc->mode) return S_OK;

  int minW = 0, minH = 0, maxW = 0, maxH = 0;
  XRRGetScreenSizeRange(s.dpy(), s.root, &minW, &minH, &maxW, &maxH);
  const QSize need = ScreenSizeFor(at.monitors, monitor.crtc, QPoint(crtc->x, crtc->y), size, QSize(minW, minH));
  if (need.width() > maxW || need.height() > maxH)
    return Fail(DDERR_UNSUPPORTEDMODE,
                QStringLiteral("The screen cannot grow to %1 x %2 for this mode.")
                    .arg(need.width())
                    .arg(need.height()));

  const QSize now = CurrentScreenSize(s.dpy());
  if (!s.changed && !SaveRestoreState(s, monitor.crtc, *crtc, now))
    return Fail(E_FAIL, QStringLiteral("The monitor drives too many outputs to restore it safely."));
  const TApplied applied = ApplyMode(s, at.res.get(), monitor.crtc, *crtc, chosen->id, need, now);
  // A refused mode may still have resized the screen: put it all back.
  if (applied.status != RRSetConfigSuccess || applied.xError) {
    RestoreDisplayMode();
    return Fail(DDERR_UNSUPPORTEDMODE, QStringLiteral("The X server refused the %1 x %2 mode (status %3, error %4).")
                                           .arg(width)
                                           .arg(height)
                                           .arg(applied.status)
                                           .arg(applied.xError));
  }
  return S_OK;
}

HRESULT TXRandRDisplayModes::RestoreDisplayMode() {
  TState& s = *state_;
  if (!s.changed) return S_OK;
  bool ok;
  int xError;
  {
    TXErrorTrap trap(s.dpy());
    ok = PutBack(s);
    xError = trap.Error();
  }
  if (!ok || xError) {
    // Stay registered: the exit path tries once more.
    return Fail(E_FAIL, QStringLiteral("The X server refused to restore the display mode (error %1).").arg(xError));
  }
  Unregister(&s);
  return S_OK;
}

TDisplayModeService& DisplayModes() {
  if (g_service) return *g_service;
  static const std::unique_ptr<TDisplayModeService> platform = []() -> std::unique_ptr<TDisplayModeService> {
    const QString platformName = QGuiApplication::platformName();
    if (platformName == QLatin1String("xcb")) return std::make_unique<TXRandRDisplayModes>();
    return std::make_unique<TNoDisplayModes>(
        QStringLiteral("Display modes can be changed only on an X11 display; this session runs on \"%1\".")
            .arg(platformName.isEmpty() ? QStringLiteral("no display") : platformName));
  }();
  return *platform;
}

void SetDisplayModes(TDisplayModeService* service) { g_service = service; }
