// The idle main window: with a file open and paused (or no file at all),
// how much processor time the player spends while nothing happens, and
// which controls its 300 ms timer makes repaint. Started by idle_cpu.sh.
//
//   idle_window [clip] [seconds]
//
// Prints the process's and the UI thread's CPU time over the stretch, the
// timer ticks, and the paint events of every control that was painted.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <map>

#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "core/playback.h"
#include "playlist/playlist.h"

namespace {

class TPaintTally : public QObject {
 public:
  std::map<const QObject*, int> paints;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints[watched];
    return false;
  }
};

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

QString NameOf(const TfrMain& main, const QObject* w) {
  if (const auto* b = qobject_cast<const THoverButton*>(w)) return QStringLiteral("button of command %1").arg(b->Command);
  const std::pair<const char*, const char*> named[] = {
      {"tbSeek", "seek bar"},         {"pbPosition", "position display"},
      {"tbClock", "clock"},           {"cpuLoad", "CPU meter"},
      {"tbVolume", "volume bar"},     {"kvCaption", "caption bar"},
      {"pnInfo", "info panel"},       {"lbSubtitles", "subtitle line"},
      {"pnMovie", "movie panel"},     {"imLogo", "logo"}};
  if (w == &main) return QStringLiteral("main window");
  for (const auto& [object, name] : named)
    if (w->objectName() == QLatin1String(object)) return name;
  const QWidget* parent = qobject_cast<const QWidget*>(w->parent());
  return QStringLiteral("%1 in %2").arg(w->metaObject()->className(),
                                        parent ? NameOf(main, parent) : QStringLiteral("nothing"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString clip = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;

  TfrMain main;
  if (!main.StartUp({})) {
    std::fprintf(stderr, "the player did not start (system language?)\n");
    return 1;
  }
  // Figures in the C form whatever the player's locale, for whoever reads them.
  std::setlocale(LC_NUMERIC, "C");
  main.Settings().OnOpenPlay = false;
  main.Settings().OnOpenResize = false;
  main.resize(640, 480);
  main.show();
  if (!clip.isEmpty()) {
    main.PlayList()->AddFiles({clip}, true);
    main.PlayList()->SetCurrentItem(0);
    main.Playback().OpenFile(clip);
    if (!main.Playback().IsFileOpen()) {
      std::fprintf(stderr, "cannot open %s\n", argv[1]);
      return 1;
    }
    main.Playback().SetPosition(35'000'000);
  }
  // Start-up, the preroll and the first paints settle before the count.
  Wait(1500);

  TPaintTally tally;
  main.installEventFilter(&tally);
  for (QWidget* w : main.findChildren<QWidget*>()) w->installEventFilter(&tally);
  int ticks = 0;
  QObject::connect(&main.Playback().Timer(), &QTimer::timeout, [&] { ++ticks; });

  const double process0 = CpuSeconds(RUSAGE_SELF), ui0 = CpuSeconds(RUSAGE_THREAD);
  QElapsedTimer wall;
  wall.start();
  Wait(seconds * 1000);
  const double elapsed = wall.elapsed() / 1000.0;
  const double process = CpuSeconds(RUSAGE_SELF) - process0, ui = CpuSeconds(RUSAGE_THREAD) - ui0;

  std::printf("%s, %s, %.1f s idle, %d timer ticks\n", qPrintable(QGuiApplication::platformName()),
              clip.isEmpty() ? "no file" : "paused file", elapsed, ticks);
  std::printf("  CPU time: process %.0f ms (%.2f %% of one core), UI thread %.0f ms (%.2f %%)\n",
              process * 1000, 100 * process / elapsed, ui * 1000, 100 * ui / elapsed);
  int total = 0;
  std::map<QString, int> byName;
  for (const auto& [widget, n] : tally.paints) {
    byName[NameOf(main, widget)] += n;
    total += n;
  }
  std::printf("  paint events: %d in all\n", total);
  for (const auto& [name, n] : byName) std::printf("    %-28s %d\n", qPrintable(name), n);
  return 0;
}
