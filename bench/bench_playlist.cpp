// Loading and saving a large playlist: the default list is read at every
// start and written at every settings save.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "playlist/playlist.h"

namespace {

constexpr int kEntries = 10000;

// 10,000 entries with Cyrillic folders and two bookmarks each.
const TPlayList& BigList() {
  static TPlayList list = [] {
    TPlayList l;
    QByteArray text;
    for (int i = 0; i < kEntries; ++i) {
      text += QStringLiteral("/home/user/Видео/сериал %1/серия %2.avi\r\n>N серия %2\r\n")
                  .arg(i / 100)
                  .arg(i)
                  .toLocal8Bit();
      text += ">B 00:01:02.003 [ 00:01:02 ]\r\n>B 01:02:03.456 [ 01:02:03 ]\r\n\r\n";
    }
    l.LoadFromData(text);
    return l;
  }();
  return list;
}

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

void BM_SaveToFile(benchmark::State& state) {
  const TPlayList& list = BigList();
  const QString path = Folder().filePath(QStringLiteral("save.kpl"));
  for (auto _ : state) benchmark::DoNotOptimize(list.SaveToFile(path));
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state) {
  const QString path = Folder().filePath(QStringLiteral("load.kpl"));
  BigList().SaveToFile(path);
  for (auto _ : state) {
    TPlayList list;
    list.LoadFromFile(path);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

// The same without the file system, to tell formatting and parsing apart.
void BM_SaveToData(benchmark::State& state) {
  const TPlayList& list = BigList();
  for (auto _ : state) benchmark::DoNotOptimize(list.SaveToData());
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SaveToData)->Unit(benchmark::kMillisecond);

void BM_LoadFromData(benchmark::State& state) {
  const QByteArray data = BigList().SaveToData();
  for (auto _ : state) {
    TPlayList list;
    list.LoadFromData(data);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_LoadFromData)->Unit(benchmark::kMillisecond);

// Row mapping walks the list; the grid asks for every visible row.
void BM_RowToEntryLastRow(benchmark::State& state) {
  const TPlayList& list = BigList();
  const int last = list.RowCount() - 1;
  for (auto _ : state) benchmark::DoNotOptimize(list.RowToEntry(last));
}
BENCHMARK(BM_RowToEntryLastRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
