// Painting costs of the skinned controls: one full repaint of the seek bar
// (scale, marks, pointer) and of a row of hover buttons, with the built-in
// skin and with an indexed-colour bitmap as a user's skin file loads; and one
// full repaint of the main window's control panel, every control on it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/skin.h"
#include "core/MainUnit.h"

namespace {

const QImage& Skin() {
  static const QImage skin = LoadBuiltInSkin();
  return skin;
}

const QImage& IndexedSkin() {
  static const QImage skin = Skin().convertToFormat(QImage::Format_Indexed8);
  return skin;
}

void SeekBarRepaint(benchmark::State& state) {
  TTimeTrackBar bar;
  bar.Skin = &Skin();
  bar.resize(int(state.range(0)), 21);
  bar.SetDuration(qint64(90) * MediaMinute);
  bar.ShowPosition(qint64(37) * MediaMinute);
  for (int i = 0; i < 100; ++i) bar.SetBookmark(i, qint64(i + 1) * 50 * MediaSecond);
  QImage target(bar.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    bar.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(SeekBarRepaint)->Arg(400)->Arg(1600)->Unit(benchmark::kMicrosecond);

// The control panel's top-left row: its seven buttons on one panel.
void ButtonRowRepaint(benchmark::State& state, const QImage* skin) {
  QWidget row;
  row.resize(293, 29);
  for (int n = 0; n < MainButtonCount; ++n) {
    const TButtonSpec& def = MainButtons[n];
    if (def.Parent != TButtonParent::pnControlLeft) continue;
    auto* b = new THoverButton(&row);
    b->Skin = skin;
    b->SkinX = ButtonSkinX(n);
    b->setGeometry(def.Left, def.Top, def.Size, def.Size);
    b->SetHover(n == 3);
  }
  QImage target(row.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    row.render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK_CAPTURE(ButtonRowRepaint, built_in_skin, &Skin())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ButtonRowRepaint, indexed_skin, &IndexedSkin())->Unit(benchmark::kMicrosecond);

// The whole control panel of a started main window, 640 wide, no file open:
// three rows of buttons, position display, seek bar, volume bar, info panel,
// clock and CPU meter. Settings and the instance channel go to a private folder.
void ControlPanelRepaint(benchmark::State& state) {
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  TfrMain main;
  if (!main.StartUp({})) {
    state.SkipWithError("the main window did not start (system language?)");
    return;
  }
  main.resize(640, 480);
  main.show();
  QWidget* panel = main.findChild<QWidget*>("pnControl");
  QImage target(panel->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    panel->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  state.SetLabel(QStringLiteral("%1x%2").arg(panel->width()).arg(panel->height()).toStdString());
}
BENCHMARK(ControlPanelRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
