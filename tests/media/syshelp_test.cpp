#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "media/SysHelp.h"
#include "platform/media/gstversion.h"
#include "platform/system/windir.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_system.h"

namespace {

TSystemFacts DebianFacts() {
  TSystemFacts f;
  f.Known = true;
  f.KernelName = "Linux";
  f.KernelRelease = "5.15.171-1-amd64";
  f.Distribution = "Debian GNU/Linux 12 (bookworm)";
  return f;
}

// A load source that does what the test tells it.
struct TScriptedCpu : TCpuLoadSource {
  struct TLog {
    int opens = 0, samples = 0, closes = 0;
  };
  TScriptedCpu(TLog& log, bool open, bool close, int sample)
      : log(log), openOk(open), closeOk(close), value(sample) {}
  bool Open() override { ++log.opens; return openOk; }
  int Sample() override { ++log.samples; return value; }
  bool Close() override { ++log.closes; return closeOk; }
  TLog& log;
  bool openOk, closeOk;
  int value;
};

// The settings folder of a test lives in a temporary place, not in the home.
class TConfigHome {
 public:
  TConfigHome() : saved_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
  ~TConfigHome() { qputenv("XDG_CONFIG_HOME", saved_); }

 private:
  QTemporaryDir dir_;
  QByteArray saved_;
};

void ExpectOneFaultBox(const TFakeMessageBoxes& boxes, const char* text) {
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, text);
  EXPECT_EQ(boxes.shown[0].caption, "Kelvara 1.9 Beta fault");
  EXPECT_EQ(boxes.shown[0].icon, TMsgIcon::Error);
}

}  // namespace

TEST(SystemInfoText, VersionLineKeepsTheReportShape) {
  EXPECT_EQ(FormatVersionLine(DebianFacts()),
            "Linux Debian GNU/Linux 12 (bookworm) [Linux] 5.15 build 000000AB (5.15.171-1-amd64) ");
  TSystemFacts bare = DebianFacts();
  bare.Distribution.clear();
  bare.KernelName.clear();
  bare.KernelRelease = "6.1";
  EXPECT_EQ(FormatVersionLine(bare), "Linux  [Linux] 6.1 build 00000000 (6.1) ");
  // Placeholders in the facts are text, not format.
  TSystemFacts odd = DebianFacts();
  odd.Distribution = "Odd %1 %4";
  odd.KernelRelease = "2.6.%2";
  EXPECT_EQ(FormatVersionLine(odd), "Linux Odd %1 %4 [Linux] 2.6 build 00000000 (2.6.%2) ");
}

TEST(SystemInfoText, LinesInOrderWithCrLf) {
  const QString info = FormatSystemInfo(DebianFacts(), "GStreamer 1.22.0", "/home/u/.config/kelvara");
  const QStringList lines = info.split("\r\n");
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], FormatVersionLine(DebianFacts()));
  EXPECT_TRUE(lines[0].endsWith(") "));
  EXPECT_EQ(lines[1], "GStreamer 1.22.0");
  EXPECT_EQ(lines[2], "WinDir: /home/u/.config/kelvara");
  EXPECT_EQ(info.count('\n'), info.count("\r\n"));

  // Without kernel facts the text starts with the media line's line break;
  // without a media version that line is left out.
  TSystemFacts unknown;
  EXPECT_EQ(FormatSystemInfo(unknown, "GStreamer 1.22.0", "/c"), "\r\nGStreamer 1.22.0\r\nWinDir: /c");
  EXPECT_EQ(FormatSystemInfo(DebianFacts(), "", "/c"),
            FormatVersionLine(DebianFacts()) + "\r\nWinDir: /c");
}

TEST(SysHelper, DescribesThisMachine) {
  TConfigHome home;
  TFakeMessageBoxes boxes;
  TSysHelper helper;  // the real processor sample too: no fault box here
  EXPECT_EQ(helper.WindowsDir, WindowsDirectory());
  EXPECT_FALSE(helper.WindowsDir.endsWith('/'));
  const QStringList lines = helper.SystemInfo.split("\r\n");
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith("(" + helper.VersionInfo.KernelRelease + ") ")) << lines[0].toStdString();
  EXPECT_EQ(lines[1], MediaFrameworkVersion());
  EXPECT_EQ(lines[2], "WinDir: " + helper.WindowsDir);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(SysHelper, SamplesAreClampedAndFailedStartIsReportedOnce) {
  TConfigHome home;
  TFakeMessageBoxes boxes;
  {
    TScriptedCpu::TLog log;
    TScriptedCpu* cpu = nullptr;
    {
      auto source = std::make_unique<TScriptedCpu>(log, true, true, 42);
      cpu = source.get();
      TSysHelper helper(std::move(source));
      EXPECT_EQ(helper.GetCPUUsage(), 42);
      cpu->value = 250;
      EXPECT_EQ(helper.GetCPUUsage(), 100);
      cpu->value = -7;
      EXPECT_EQ(helper.GetCPUUsage(), 0);
    }
    EXPECT_EQ(log.opens, 1);
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(boxes.shown.empty());
  }
  {
    TScriptedCpu::TLog log;
    {
      TSysHelper helper(std::make_unique<TScriptedCpu>(log, false, false, 42));
      EXPECT_EQ(helper.GetCPUUsage(), 0);
    }
    // Sampling that never started is neither sampled nor ended: one box only.
    EXPECT_EQ(log.samples, 0);
    EXPECT_EQ(log.closes, 0);
    ExpectOneFaultBox(boxes, "InitCPUUsage fault");
  }
}

TEST(SysHelper, FailedEndIsReportedOnceAndSamplingStops) {
  TConfigHome home;
  TFakeMessageBoxes boxes;
  TScriptedCpu::TLog log;
  {
    TSysHelper helper(std::make_unique<TScriptedCpu>(log, true, false, 30));
    helper.DoneCPUUsage();
    EXPECT_EQ(helper.GetCPUUsage(), 0);
  }
  EXPECT_EQ(log.closes, 1);
  EXPECT_EQ(log.samples, 0);
  ExpectOneFaultBox(boxes, "DoneCPUUsage fault");
}

TEST(SysHelper, PowerOffGoesThroughThePowerService) {
  TConfigHome home;
  TFakeMessageBoxes boxes;
  TFakePowerService power;
  TScriptedCpu::TLog log;
  TSysHelper helper(std::make_unique<TScriptedCpu>(log, true, true, 0));
  power.accept = false;  // a refusal is not reported
  helper.PowerOff();
  EXPECT_EQ(power.calls, 1);
  EXPECT_TRUE(boxes.shown.empty());
}
