// Arbitrary bytes as the system texts the program reads at start-up and on
// every timer tick: /proc/stat, os-release, a kernel release and a locale
// name. Parsing must end without overflow and keep its results in range.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "platform/system/cpuload.h"
#include "platform/system/sysfacts.h"
#include "platform/system/syslocale.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = QString::fromUtf8(bytes);

  const auto cpu0 = ParseCpuTimes(bytes, 0);
  const auto cpu1 = ParseCpuTimes(bytes, 1);
  if (cpu0) Check(cpu0->busy <= cpu0->total);
  if (cpu0 && cpu1) {
    const int p = BusyPercent(*cpu0, *cpu1);
    Check(p >= 0 && p <= 100);
    Check(BusyPercent(*cpu0, *cpu0) == 0);
  }

  const QString pretty = OsReleasePrettyName(bytes);
  Check(pretty.size() <= text.size() + bytes.size());

  const TKernelVersion v = ParseKernelRelease(text);
  Check(v.Major >= 0 && v.Minor >= 0 && v.Patch >= 0);

  const quint32 lcid = LcidFromLocaleName(text);
  Check(lcid != 0 && lcid <= 0xFFFF);
  return 0;
}
