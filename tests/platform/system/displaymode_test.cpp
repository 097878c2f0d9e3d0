#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QSize>

#include "tests/support/machine_services.h"
#include "platform/system/displaymode.h"

// Last: Xlib's macros must not meet Qt's headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

TEST(MonitorForWindow, PicksTheMonitorShowingMostOfTheWindow) {
  const std::vector<QRect> sideBySide = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  // Mostly on the right-hand monitor.
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(1800, 100, 400, 300)), 1);
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(1700, 100, 400, 300)), 0);
  // Half and half: the first one.
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(1720, 100, 400, 300)), 0);
  // Off every monitor: the nearest centre.
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(5000, 200, 100, 100)), 1);
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(-900, -900, 100, 100)), 0);
  // An empty window still belongs somewhere.
  EXPECT_EQ(MonitorForWindow(sideBySide, QRect(2500, 500, 0, 0)), 1);
  EXPECT_EQ(MonitorForWindow({}, QRect(0, 0, 10, 10)), -1);
}

TEST(DisplayModes, OffscreenEveryCallFailsWithAReason) {
  // Offscreen (the tests' default) the platform's service is the one without X.
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "needs the offscreen platform";
  const TRealDisplayModes real;
  TDisplayModeService& service = DisplayModes();
  std::vector<TDisplayMode> modes = {{640, 480, 16, 60, true}};
  EXPECT_EQ(service.EnumDisplayModes(QRect(0, 0, 100, 100), modes), DDERR_NODIRECTDRAWHW);
  EXPECT_TRUE(modes.empty());
  EXPECT_TRUE(FAILED(service.SetDisplayMode(QRect(0, 0, 100, 100), 640, 480, 32)));
  EXPECT_FALSE(service.IsModeChanged());
  EXPECT_EQ(service.RestoreDisplayMode(), S_OK);
  EXPECT_TRUE(service.LastErrorText().contains("offscreen")) << service.LastErrorText().toStdString();
}

TEST(DisplayModes, AnUnreachableDisplayFailsWithItsName) {
  std::vector<TDisplayMode> modes = {{640, 480, 16, 60, true}};
  TXRandRDisplayModes nowhere(":9931");
  EXPECT_EQ(nowhere.EnumDisplayModes(QRect(0, 0, 10, 10), modes), DDERR_NODIRECTDRAWHW);
  EXPECT_TRUE(modes.empty());
  TDisplayMode mode{1, 1, 1, 1, true};
  EXPECT_TRUE(FAILED(nowhere.GetDisplayMode(QRect(0, 0, 10, 10), mode)));
  EXPECT_EQ(mode, TDisplayMode{});
  EXPECT_TRUE(FAILED(nowhere.SetDisplayMode(QRect(0, 0, 10, 10), 640, 480, 32)));
  EXPECT_TRUE(nowhere.LastErrorText().contains(":9931"));
  EXPECT_EQ(nowhere.RestoreDisplayMode(), S_OK);
}

namespace {

// A private X server with RandR, whose one output gets a few extra modes.
// The fixture's own connection watches what the service under test does.
class XvfbModes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new QProcess;
    server_->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    if (!server_->waitForStarted(10000)) return;
    while (!server_->canReadLine() && server_->waitForReadyRead(20000)) {
    }
    const QByteArray number = server_->readLine().trimmed();
    if (number.isEmpty()) return;
    name_ = ":" + number;
    dpy_ = XOpenDisplay(name_.constData());
    if (!dpy_) return;
    root_ = DefaultRootWindow(dpy_);
    XRRScreenResources* res = XRRGetScreenResources(dpy_, root_);
    output_ = res->outputs[0];
    XRROutputInfo* out = XRRGetOutputInfo(dpy_, res, output_);
    crtc_ = out->crtc;
    XRRFreeOutputInfo(out);
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(dpy_, res, crtc_);
    original_ = crtc->mode;
    XRRFreeCrtcInfo(crtc);
    XRRFreeScreenResources(res);
    AddMode("1024x768", 1024, 768, 65000000, 1344, 806);
    mode800at60_ = AddMode("800x600", 800, 600, 40000000, 1056, 628);
    AddMode("800x600@75", 800, 600, 49500000, 1056, 625);
    mode640_ = AddMode("640x480", 640, 480, 25175000, 800, 525);
    XSync(dpy_, False);
  }
  static void TearDownTestSuite() {
    if (dpy_) XCloseDisplay(dpy_);
    dpy_ = nullptr;
    server_->terminate();
    server_->waitForFinished(5000);
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(dpy_) << "no private Xvfb with RandR"; }
  void TearDown() override {
    // Whatever a failed test left behind must not leak into the next one.
    if (CrtcMode() == original_ && ScreenSize() == QSize(1280, 800)) return;
    XRRScreenResources* res = XRRGetScreenResources(dpy_, root_);
    XRRSetScreenSize(dpy_, root_, 1280, 800, 300, 200);
    XRRSetCrtcConfig(dpy_, res, crtc_, CurrentTime, 0, 0, original_, RR_Rotate_0, &output_, 1);
    XRRFreeScreenResources(res);
    XSync(dpy_, False);
  }

  static RRMode AddMode(const char* name, int w, int h, unsigned long clock, int hTotal, int vTotal) {
    XRRModeInfo info{};
    info.width = w;
    info.height = h;
    info.dotClock = clock;
    info.hTotal = hTotal;
    info.vTotal = vTotal;
    info.name = const_cast<char*>(name);
    info.nameLength = static_cast<unsigned>(strlen(name));
    const RRMode mode = XRRCreateMode(dpy_, root_, &info);
    XRRAddOutputMode(dpy_, output_, mode);
    return mode;
  }
  static RRMode CrtcMode() {
    XRRScreenResources* res = XRRGetScreenResources(dpy_, root_);
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(dpy_, res, crtc_);
    const RRMode mode = crtc->mode;
    XRRFreeCrtcInfo(crtc);
    XRRFreeScreenResources(res);
    return mode;
  }
  // Asked from the server each time: Xlib's own screen size is only the one
  // from connection time.
  static QSize ScreenSize() {
    Window rootReturn;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    XGetGeometry(dpy_, root_, &rootReturn, &x, &y, &w, &h, &border, &depth);
    return QSize(static_cast<int>(w), static_cast<int>(h));
  }
  bool AtOriginal() { return CrtcMode() == original_ && ScreenSize() == QSize(1280, 800); }

  static inline QProcess* server_ = nullptr;
  static inline QByteArray name_;
  static inline Display* dpy_ = nullptr;
  static inline Window root_ = 0;
  static inline RROutput output_ = 0;
  static inline RRCrtc crtc_ = 0;
  static inline RRMode original_ = 0, mode800at60_ = 0, mode640_ = 0;
  const QRect window_{100, 100, 300, 200};
};

}  // namespace

TEST_F(XvfbModes, ListsEachSizeOnceLargestFirstWithOnlyTheScreenDepthAvailable) {
  TXRandRDisplayModes service(name_);
  std::vector<TDisplayMode> modes;
  ASSERT_EQ(service.EnumDisplayModes(window_, modes), S_OK);
  // 24-bit colour is stored in 32 bits per pixel.
  const std::vector<QSize> sizes = {{1280, 800}, {1024, 768}, {800, 600}, {640, 480}};
  const int kDepths[] = {8, 16, 32};
  ASSERT_EQ(modes.size(), sizes.size() * 3);
  for (size_t i = 0; i < modes.size(); ++i) {
    const TDisplayMode& m = modes[i];
    EXPECT_EQ(QSize(m.Width, m.Height), sizes[i / 3]) << i;
    EXPECT_EQ(m.Bits, kDepths[i % 3]) << i;
    EXPECT_EQ(m.Available, m.Bits == 32) << i;
  }
  // 800 x 600 comes at 60 and 75 Hz: listed once, with the better rate.
  EXPECT_NEAR(modes[6].Refresh, 75.0, 0.01);
  EXPECT_NEAR(modes[9].Refresh, 25175000.0 / (800 * 525), 0.01);

  TDisplayMode now;
  ASSERT_EQ(service.GetDisplayMode(window_, now), S_OK);
  EXPECT_EQ(QSize(now.Width, now.Height), QSize(1280, 800));
  EXPECT_EQ(now.Bits, 32);
  EXPECT_FALSE(service.IsModeChanged());
}

TEST_F(XvfbModes, ChangesAndRestoresTheFirstModeWhateverCameBetween) {
  TXRandRDisplayModes service(name_);
  ASSERT_EQ(service.SetDisplayMode(window_, 640, 480, 32), S_OK) << service.LastErrorText().toStdString();
  EXPECT_TRUE(service.IsModeChanged());
  EXPECT_EQ(CrtcMode(), mode640_);
  // The desktop shrinks with the mode, as it does when a monitor switches.
  EXPECT_EQ(ScreenSize(), QSize(640, 480));

  // A second change: grows the screen again; the rate nearest the old one is taken.
  ASSERT_EQ(service.SetDisplayMode(window_, 800, 600, 32), S_OK) << service.LastErrorText().toStdString();
  EXPECT_EQ(CrtcMode(), mode800at60_);
  EXPECT_EQ(ScreenSize(), QSize(800, 600));

  ASSERT_EQ(service.RestoreDisplayMode(), S_OK);
  EXPECT_FALSE(service.IsModeChanged());
  EXPECT_TRUE(AtOriginal());
  // Nothing left to restore.
  EXPECT_EQ(service.RestoreDisplayMode(), S_OK);
  EXPECT_TRUE(AtOriginal());
}

TEST_F(XvfbModes, RefusesOtherDepthsAndUnknownSizesWithoutTouchingTheScreen) {
  TXRandRDisplayModes service(name_);
  EXPECT_EQ(service.SetDisplayMode(window_, 640, 480, 16), DDERR_INVALIDMODE);
  EXPECT_TRUE(service.LastErrorText().contains("16")) << service.LastErrorText().toStdString();
  EXPECT_EQ(service.SetDisplayMode(window_, 720, 400, 32), DDERR_INVALIDMODE);
  EXPECT_TRUE(service.LastErrorText().contains("720 x 400")) << service.LastErrorText().toStdString();
  EXPECT_FALSE(service.IsModeChanged());
  EXPECT_TRUE(AtOriginal());
  // The mode already shown is no change at all.
  EXPECT_EQ(service.SetDisplayMode(window_, 1280, 800, 32), S_OK);
  EXPECT_FALSE(service.IsModeChanged());
}

TEST_F(XvfbModes, GoingAwayRestoresTheMode) {
  {
    TXRandRDisplayModes service(name_);
    ASSERT_EQ(service.SetDisplayMode(window_, 1024, 768, 32), S_OK) << service.LastErrorText().toStdString();
    EXPECT_FALSE(AtOriginal());
  }
  EXPECT_TRUE(AtOriginal());
}

// The program ends without restoring: by returning from main, by abort()
// and by a wild write. The mode must come back each time.
TEST_F(XvfbModes, ExitAndCrashesRestoreTheMode) {
  for (const char* ending : {"exit", "abort", "segv"}) {
    QProcess peer;
    // A sanitizer build keeps SIGSEGV to itself unless told to let the program have it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":allow_user_segv_handler=1");
    peer.setProcessEnvironment(env);
    peer.start(KELVARA_DISPLAYMODE_PEER, {ending, QString::fromLatin1(name_), "640", "480", "32"});
    ASSERT_TRUE(peer.waitForFinished(20000)) << ending;
    EXPECT_EQ(peer.readAllStandardOutput().trimmed(), "changed") << ending;
    const bool clean = peer.exitStatus() == QProcess::NormalExit && peer.exitCode() == 0;
    EXPECT_EQ(clean, std::string(ending) == "exit") << ending;
    EXPECT_TRUE(AtOriginal()) << ending;
    TearDown();
  }
}
