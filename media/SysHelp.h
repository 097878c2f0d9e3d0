#pragma once
#include <QString>
#include <memory>

#include "platform/system/cpuload.h"
#include "platform/system/sysfacts.h"

// The first line of the system description keeps the shape error reports
// have always had, "<family> <release> [<platform>] <major>.<minor> build
// <8 hex digits> (<detail>) ", filled with Linux facts:
//   release  = the distribution's pretty name (empty when unknown),
//   platform = the kernel name ("Linux"),
//   major.minor and build = the kernel release's first three numbers,
//     the third one (the patch level) as the build,
//   detail   = the whole kernel release, which carries the vendor's ABI and flavour.
// Example: "Linux Debian GNU/Linux 12 (bookworm) [Linux] 6.1 build 00000000 (6.1.0-18-amd64) ".
QString FormatVersionLine(const TSystemFacts& facts);

// The version line (left out when the kernel could not be asked), then
// "\r\n" + the media framework line (left out when empty), then
// "\r\n" + "WinDir: " + the program's settings folder.
QString FormatSystemInfo(const TSystemFacts& facts, const QString& mediaVersion,
                         const QString& windowsDir);

// Facts about the machine gathered once at start-up, the CPU load sample for
// the load indicator, and switching the computer off.
class TSysHelper {
 public:
  // Reads the system information, then starts CPU sampling on processor 0.
  TSysHelper();
  // The same with another load source (tests).
  explicit TSysHelper(std::unique_ptr<TCpuLoadSource> cpu);
  // Ends CPU sampling.
  ~TSysHelper();
  TSysHelper(const TSysHelper&) = delete;
  TSysHelper& operator=(const TSysHelper&) = delete;

  void ReadSystemInfo();
  void InitCPUUsage();
  // Percent 0..100 since the previous sample; 0 when sampling fails.
  int GetCPUUsage();
  void DoneCPUUsage();
  // Through the replaceable power service; a refusal is not reported.
  void PowerOff();

  TSystemFacts VersionInfo;
  QString SystemInfo;
  QString WindowsDir;

 private:
  std::unique_ptr<TCpuLoadSource> cpu_;
  bool cpuOpen_ = false;
};
