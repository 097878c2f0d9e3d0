#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <map>

#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "playlist/playlist.h"
#include "tests/support/main_window.h"

namespace {

constexpr int64_t S = 10'000'000;

// Counts the paint events each watched widget receives.
class TPaintCounter : public QObject {
 public:
  void Watch(QWidget* root) {
    root->installEventFilter(this);
    for (QWidget* w : root->findChildren<QWidget*>()) w->installEventFilter(this);
  }
  int Of(const QObject* w) const {
    const auto it = paints.find(w);
    return it == paints.end() ? 0 : it->second;
  }
  std::map<const QObject*, int> paints;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints[watched];
    return false;
  }
};

// How often a value shown by a control changed, sampled after each timer tick.
template <class T>
struct TChanges {
  T last{};
  int count = 0;
  void Sample(const T& now) {
    if (now != last) ++count;
    last = now;
  }
};

class IdleWindow : public TMainWindowTest {
 protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    Settings().KeyFrameSeek = false;
    main_->show();
    Open(Clips().Avi);
    ASSERT_TRUE(Playback().IsFileOpen());
    Playback().SetPosition(35 * S / 10);
    // The displays reach the paused position within a tick or two of the
    // preroll, which a loaded machine may delay; then one more tick.
    EXPECT_TRUE(WaitUntil([this] { return Panels().pbPosition->Text().startsWith("0:00:03/0:00:10"); }))
        << Panels().pbPosition->Text().toStdString();
    QSignalSpy tick(&Playback().Timer(), &QTimer::timeout);
    EXPECT_TRUE(tick.wait(5000));
    DrainPostedEvents();
    clock_.last = Panels().tbClock->Text();
    cpu_.last = CpuLit();
    QObject::connect(&Playback().Timer(), &QTimer::timeout, [this] {
      ++ticks_;
      clock_.Sample(Panels().tbClock->Text());
      cpu_.Sample(CpuLit());
    });
    counter_.Watch(main_.get());
  }
  // Runs the window until n more timer ticks have passed and drawn.
  void WaitTicks(int n) {
    const int until = ticks_ + n;
    EXPECT_TRUE(WaitUntil([&] { return ticks_ >= until; }, 20000)) << ticks_ << " of " << until << " ticks";
    DrainPostedEvents();
  }

  // What the CPU meter draws: a lit height, one step per pixel row.
  int CpuLit() const { return CpuLitHeight(Panels().cpuLoad->height(), Panels().cpuLoad->Load()); }

  // What a widget is called in a failure message.
  QString NameOf(const QObject* w) const {
    for (int i = 0; i < MainButtonCount; ++i)
      if (w == Panels().Button(i)) return QStringLiteral("button %1").arg(i);
    const std::pair<const QObject*, const char*> named[] = {
        {Panels().tbSeek, "seek bar"},        {Panels().pbPosition, "position display"},
        {Panels().tbVolume, "volume bar"},    {Panels().kvCaption, "caption bar"},
        {Panels().pnInfo, "info panel"},      {Panels().lbSubtitles, "subtitle line"},
        {Panels().pnMovie, "movie panel"},    {Panels().imLogo, "logo"},
        {main_.get(), "main window"}};
    for (const auto& [widget, name] : named)
      if (w == widget) return name;
    return QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName();
  }

  TPaintCounter counter_;
  TChanges<QString> clock_;
  TChanges<int> cpu_;  // of the lit height
  int ticks_ = 0;
};

}  // namespace

// A paused file: the timer ticks, and only what shows a new picture is
// drawn again. The clock's colon blinks every second and the CPU meter
// follows the machine, so those two may repaint, but never more often than
// what they draw changes.
TEST_F(IdleWindow, PausedFileRepaintsOnlyWhatChanged) {
  WaitTicks(7);  // two seconds and more
  // The blinking colon changes the clock at least once in two seconds, so
  // the counter is seen to count.
  EXPECT_GE(clock_.count, 1);
  EXPECT_GE(counter_.Of(Panels().tbClock), 1);
  EXPECT_LE(counter_.Of(Panels().tbClock), clock_.count);
  EXPECT_LE(counter_.Of(Panels().cpuLoad), cpu_.count);
  for (const auto& [widget, paints] : counter_.paints) {
    if (widget == Panels().tbClock || widget == Panels().cpuLoad) continue;
    EXPECT_EQ(paints, 0) << NameOf(widget).toStdString() << " repainted over " << ticks_ << " idle ticks";
  }
}

// A seek while paused moves the pointer and the position text once; the
// next ticks leave them alone again.
TEST_F(IdleWindow, SeekWhilePausedRepaintsThePositionOnce) {
  Playback().SetPosition(7 * S);
  WaitTicks(2);
  EXPECT_GE(counter_.Of(Panels().tbSeek), 1);
  EXPECT_GE(counter_.Of(Panels().pbPosition), 1);
  EXPECT_TRUE(Panels().pbPosition->Text().startsWith("0:00:07/")) << Panels().pbPosition->Text().toStdString();
  counter_.paints.clear();
  WaitTicks(3);
  EXPECT_EQ(counter_.Of(Panels().tbSeek), 0);
  EXPECT_EQ(counter_.Of(Panels().pbPosition), 0);
}

// The CPU meter has one step per pixel row: loads that land on the same step
// draw the same picture and are not drawn again.
TEST_F(IdleWindow, CpuMeterRedrawsOnlyWhenItsLitHeightMoves) {
  Playback().Timer().stop();
  ASSERT_EQ(Panels().cpuLoad->height(), 21);
  Panels().cpuLoad->SetLoad(10);
  DrainPostedEvents();
  counter_.paints.clear();
  Panels().cpuLoad->SetLoad(11);
  Panels().cpuLoad->SetLoad(14);
  DrainPostedEvents();
  EXPECT_EQ(Panels().cpuLoad->Load(), 14);
  EXPECT_EQ(counter_.Of(Panels().cpuLoad), 0);
  Panels().cpuLoad->SetLoad(15);
  EXPECT_TRUE(WaitUntil([&] { return counter_.Of(Panels().cpuLoad) >= 1; }, 5000));
  DrainPostedEvents();
  EXPECT_EQ(counter_.Of(Panels().cpuLoad), 1);
}
