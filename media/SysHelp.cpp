#include "media/SysHelp.h"

#include <algorithm>

#include "platform/media/gstversion.h"
#include "platform/system/msgbox.h"
#include "platform/system/power.h"
#include "platform/system/windir.h"

QString FormatVersionLine(const TSystemFacts& facts) {
  const TKernelVersion v = ParseKernelRelease(facts.KernelRelease);
  const QString platform = facts.KernelName.isEmpty() ? QStringLiteral("Linux") : facts.KernelName;
  // One substitution pass: a "%1" inside the distribution's name must stay text.
  return QStringLiteral("%1 %2 [%3] %4.%5 build %6 (%7) ")
      .arg(platform, facts.Distribution, platform, QString::number(v.Major),
           QString::number(v.Minor),
           QStringLiteral("%1").arg(uint(v.Patch), 8, 16, QLatin1Char('0')).toUpper(),
           facts.KernelRelease);
}

QString FormatSystemInfo(const TSystemFacts& facts, const QString& mediaVersion,
                         const QString& windowsDir) {
  QString info;
  if (facts.Known) info = FormatVersionLine(facts);
  if (!mediaVersion.isEmpty()) info += QStringLiteral("\r\n") + mediaVersion;
  info += QStringLiteral("\r\nWinDir: ") + windowsDir;
  return info;
}

TSysHelper::TSysHelper() : TSysHelper(std::make_unique<TProcStatCpuLoad>()) {}

TSysHelper::TSysHelper(std::unique_ptr<TCpuLoadSource> cpu) : cpu_(std::move(cpu)) {
  ReadSystemInfo();
  InitCPUUsage();
}

TSysHelper::~TSysHelper() { DoneCPUUsage(); }

void TSysHelper::ReadSystemInfo() {
  VersionInfo = ReadSystemFacts();
  WindowsDir = WindowsDirectory();
  SystemInfo = FormatSystemInfo(VersionInfo, MediaFrameworkVersion(), WindowsDir);
}

void TSysHelper::InitCPUUsage() {
  if (cpuOpen_) return;
  cpuOpen_ = cpu_ && cpu_->Open();
  if (!cpuOpen_) ShowErrorBox(QString(), QStringLiteral("InitCPUUsage fault"));
}

int TSysHelper::GetCPUUsage() {
  if (!cpuOpen_) return 0;
  return std::clamp(cpu_->Sample(), 0, 100);
}

void TSysHelper::DoneCPUUsage() {
  // Sampling that never started has nothing to end: its failure was already
  // reported once by InitCPUUsage.
  if (!cpuOpen_) return;
  cpuOpen_ = false;
  if (!cpu_->Close()) ShowErrorBox(QString(), QStringLiteral("DoneCPUUsage fault"));
}

void TSysHelper::PowerOff() { PowerService().PowerOff(); }
