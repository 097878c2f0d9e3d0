// The X server's own blanking, held off on a private X server of the test's
// (never the session's display).
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include "platform/system/xscreensaver.h"

namespace {

class PrivateXServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "Xvfb missing";
    // The server picks a free display and writes its number to stdout.
    server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "320x240x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server_.waitForStarted(10000));
    while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
    }
    name_ = ":" + server_.readLine().trimmed();
    ASSERT_GT(name_.size(), 1);
    probe_ = XOpenDisplay(name_.constData());
    ASSERT_TRUE(probe_);
    int events = 0, errors = 0;
    if (!XScreenSaverQueryExtension(probe_, &events, &errors)) GTEST_SKIP() << "no screen-saver extension";
    // Blank after one idle second.
    XSetScreenSaver(probe_, 1, 0, PreferBlanking, AllowExposures);
    XSync(probe_, False);
  }
  void TearDown() override {
    if (probe_) XCloseDisplay(probe_);
    server_.terminate();
    server_.waitForFinished(5000);
  }
  bool Blanked() {
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    XScreenSaverQueryInfo(probe_, DefaultRootWindow(probe_), info);
    const bool on = info->state == ScreenSaverOn;
    XFree(info);
    return on;
  }

  QProcess server_;
  QByteArray name_;
  Display* probe_ = nullptr;
};

}  // namespace

TEST_F(PrivateXServer, BlankingIsHeldOffAndOnlyARealStartIsReported) {
  int reports = 0;
  {
    TXScreenSaver saver(name_);
    ASSERT_TRUE(saver.Available());
    saver.Inhibit("Kelvara", "Playing", [&] { ++reports; });
    EXPECT_TRUE(saver.IsInhibited());
    // Three idle timeouts pass without blanking, and nothing is reported.
    EXPECT_FALSE(QTest::qWaitFor([&] { return Blanked() || reports > 0; }, 3000));
    // Someone forces the screensaver on anyway: that is reported.
    XForceScreenSaver(probe_, ScreenSaverActive);
    XSync(probe_, False);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reports > 0; }, 5000));
    XForceScreenSaver(probe_, ScreenSaverReset);
    XSync(probe_, False);
    // Given back, the server blanks by itself again, and that is no news.
    saver.UnInhibit();
    EXPECT_FALSE(saver.IsInhibited());
    const int before = reports;
    EXPECT_TRUE(QTest::qWaitFor([&] { return Blanked(); }, 5000));
    EXPECT_EQ(reports, before);
  }
  // Going away gives the hold back too.
  XForceScreenSaver(probe_, ScreenSaverReset);
  XSync(probe_, False);
  {
    TXScreenSaver saver(name_);
    saver.Inhibit("Kelvara", "Playing", [] {});
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return Blanked(); }, 5000));
}
