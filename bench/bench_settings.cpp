// Load and save of kelvar.ini with a full command map, against a host that
// only keeps the controls' states, so the figures are the settings code and
// the file system alone.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "core/settings.h"
#include "platform/system/profile.h"
#include "tests/core/fake_settings_host.h"

namespace {

struct TBenchSetup {
  TBenchSetup() {
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    host.logging = false;
    for (int row = 0; row < CommandCount; ++row)
      host.SetRow(row, {QStringLiteral("Ctrl+Shift+F%1").arg(row % 12 + 1),
                         QStringLiteral("Alt+NP%1").arg(row % 10), QStringLiteral("button_%1").arg(row)});
    file.SaveSettings();
  }
  QTemporaryDir dir;
  TSettings settings = TSettings::BuiltIn();
  TFakeSettingsHost host{settings};
  TSettingsFile file{settings, host};
};

TBenchSetup& Setup() {
  static TBenchSetup setup;
  return setup;
}

void BM_LoadSettings(benchmark::State& state) {
  TBenchSetup& s = Setup();
  for (auto _ : state) s.file.LoadSettings();
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

void BM_SaveSettings(benchmark::State& state) {
  TBenchSetup& s = Setup();
  for (auto _ : state) s.file.SaveSettings();
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMicrosecond);

// The INI layer alone: parsing the saved file from memory.
void BM_ParseSettingsText(benchmark::State& state) {
  Setup();  // writes the file
  TIniFile ini;
  ini.Load(TSettingsFile::Path());
  const QByteArray text = ini.Serialize();
  for (auto _ : state) {
    TIniFile parsed;
    parsed.Parse(text);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_ParseSettingsText)->Unit(benchmark::kMicrosecond);

}  // namespace
