// Subtitle loading and lookup on a feature-length SubRip file of 20,000 cues:
// the file loads while the player waits, and the lookup runs at every tick of
// the 300 ms playback timer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "playlist/subtitles.h"

namespace {

constexpr int kCues = 20000;
constexpr qint64 kSecond = 10'000'000;

QString Clock(int ms) {
  return QString::asprintf("%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                           ms % 1000);
}

// Two-line Cyrillic cues, 2.5 s apart, as a UTF-8 file would hold them.
const QByteArray& BigSubRip() {
  static const QByteArray data = [] {
    QString text;
    for (int i = 0; i < kCues; ++i) {
      const int start = i * 2500;
      text += QString::number(i + 1) + "\r\n" + Clock(start) + " --> " + Clock(start + 2000) +
              "\r\n" + QStringLiteral("Строка номер %1 первой реплики,\r\nи вторая строка.\r\n\r\n").arg(i);
    }
    return text.toUtf8();
  }();
  return data;
}

// Parsing alone, from memory: encoding check, line reading and the SubRip rules.
void BM_ParseSubRip20000(benchmark::State& state) {
  for (auto _ : state) {
    const auto cues = ParseSubtitleData(TSubtitleFormat::SubRip, BigSubRip());
    if (cues.size() != kCues) state.SkipWithError("wrong cue count");
  }
  state.SetItemsProcessed(state.iterations() * kCues);
  state.SetBytesProcessed(state.iterations() * BigSubRip().size());
}
BENCHMARK(BM_ParseSubRip20000)->Unit(benchmark::kMillisecond);

// The whole load as the player does it: window, file, gauge and event pumping, dump.
void BM_LoadSubRipFile20000(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("film.srt"));
  {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(BigSubRip());
  }
  TfrSubtitles frm;
  for (auto _ : state) {
    frm.LoadSubtitles(path);
    if (frm.Subtitles.size() != kCues) state.SkipWithError("wrong cue count");
  }
  state.SetItemsProcessed(state.iterations() * kCues);
}
BENCHMARK(BM_LoadSubRipFile20000)->Unit(benchmark::kMillisecond);

// One timer tick's lookup: every cue is visited whatever the position.
void BM_LookupSubRip20000(benchmark::State& state) {
  static const auto cues = ParseSubtitleData(TSubtitleFormat::SubRip, BigSubRip());
  qint64 position = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindSubtitle(cues, position));
    position = (position + 37 * kSecond) % (kCues * 25'000'000LL);
  }
}
BENCHMARK(BM_LookupSubRip20000)->Unit(benchmark::kMicrosecond);

// The same through the window with MicroDVD scaling at 23.976 fps.
void BM_LookupMicroDVD20000(benchmark::State& state) {
  TfrSubtitles frm;
  for (int i = 0; i < kCues; ++i) frm.Subtitles.push_back({i * 60 * 400'000LL, (i * 60 + 50) * 400'000LL, "x"});
  frm.lbFormat->setText(QStringLiteral("MicroDVD"));
  const TMicroDVDRate rate{1, QStringLiteral("23,976"), 0};
  qint64 position = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(frm.GetSubtitle(position, rate));
    position = (position + 37 * kSecond) % (kCues * 24'000'000LL);
  }
}
BENCHMARK(BM_LookupMicroDVD20000)->Unit(benchmark::kMicrosecond);

}  // namespace
