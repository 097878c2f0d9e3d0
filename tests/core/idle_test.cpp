#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <map>

#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "playlist/playlist.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"
#include "tests/support/testclips.h"

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

class IdleWindow : public TTestClipsTest {
 protected:
  void SetUp() override {
    TTestClipsTest::SetUp();
    main_ = std::make_unique<TfrMain>();
    ASSERT_TRUE(main_->StartUp({}));
    main_->Settings.OnOpenPlay = false;
    main_->Settings.OnOpenResize = false;
    main_->Settings.SoundFreq = 0;
    main_->Settings.KeyFrameSeek = false;
    main_->resize(640, 480);
    main_->show();
    main_->PlayList()->AddFiles({Clips().Avi}, true);
    main_->PlayList()->SetCurrentItem(0);
    main_->OpenFile(Clips().Avi);
    ASSERT_TRUE(main_->IsFileOpen());
    main_->SetPosition(35 * S / 10);
    // The displays reach the paused position within a tick or two of the
    // preroll, which a loaded machine may delay; then one more tick.
    EXPECT_TRUE(QTest::qWaitFor([this] { return main_->pbPosition->Text().startsWith("0:00:03/0:00:10"); }, 10000))
        << main_->pbPosition->Text().toStdString();
    QTest::qWait(400);
    clock_.last = main_->tbClock->Text();
    cpu_.last = CpuLit();
    QObject::connect(main_->Timer(), &QTimer::timeout, [this] {
      ++ticks_;
      clock_.Sample(main_->tbClock->Text());
      cpu_.Sample(CpuLit());
    });
    counter_.Watch(main_.get());
  }
  void TearDown() override { main_.reset(); }

  // What the CPU meter draws: a lit height, one step per pixel row.
  int CpuLit() const { return CpuLitHeight(main_->cpuLoad->height(), main_->cpuLoad->Load()); }

  // What a widget is called in a failure message.
  QString NameOf(const QObject* w) const {
    for (int i = 0; i < MainButtonCount; ++i)
      if (w == main_->Button(i)) return QStringLiteral("button %1").arg(i);
    const std::pair<const QObject*, const char*> named[] = {
        {main_->tbSeek, "seek bar"},        {main_->pbPosition, "position display"},
        {main_->tbVolume, "volume bar"},    {main_->kvCaption, "caption bar"},
        {main_->pnInfo, "info panel"},      {main_->lbSubtitles, "subtitle line"},
        {main_->pnMovie, "movie panel"},    {main_->imLogo, "logo"},
        {main_.get(), "main window"}};
    for (const auto& [widget, name] : named)
      if (w == widget) return name;
    return QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName();
  }

  TPrivateHome home_;
  TFakeDesktop desktop_;
  std::unique_ptr<TfrMain> main_;
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
  QTest::qWait(2100);
  ASSERT_GE(ticks_, 5);
  // The blinking colon changes the clock at least once in two seconds, so
  // the counter is seen to count.
  EXPECT_GE(clock_.count, 1);
  EXPECT_GE(counter_.Of(main_->tbClock), 1);
  EXPECT_LE(counter_.Of(main_->tbClock), clock_.count);
  EXPECT_LE(counter_.Of(main_->cpuLoad), cpu_.count);
  for (const auto& [widget, paints] : counter_.paints) {
    if (widget == main_->tbClock || widget == main_->cpuLoad) continue;
    EXPECT_EQ(paints, 0) << NameOf(widget).toStdString() << " repainted over " << ticks_ << " idle ticks";
  }
}

// A seek while paused moves the pointer and the position text once; the
// next ticks leave them alone again.
TEST_F(IdleWindow, SeekWhilePausedRepaintsThePositionOnce) {
  main_->SetPosition(7 * S);
  QTest::qWait(700);
  EXPECT_GE(counter_.Of(main_->tbSeek), 1);
  EXPECT_GE(counter_.Of(main_->pbPosition), 1);
  EXPECT_TRUE(main_->pbPosition->Text().startsWith("0:00:07/")) << main_->pbPosition->Text().toStdString();
  counter_.paints.clear();
  QTest::qWait(1000);
  EXPECT_EQ(counter_.Of(main_->tbSeek), 0);
  EXPECT_EQ(counter_.Of(main_->pbPosition), 0);
}

// The CPU meter has one step per pixel row: loads that land on the same step
// draw the same picture and are not drawn again.
TEST_F(IdleWindow, CpuMeterRedrawsOnlyWhenItsLitHeightMoves) {
  main_->Timer()->stop();
  ASSERT_EQ(main_->cpuLoad->height(), 21);
  main_->cpuLoad->SetLoad(10);
  QTest::qWait(50);
  counter_.paints.clear();
  main_->cpuLoad->SetLoad(11);
  main_->cpuLoad->SetLoad(14);
  QTest::qWait(50);
  EXPECT_EQ(main_->cpuLoad->Load(), 14);
  EXPECT_EQ(counter_.Of(main_->cpuLoad), 0);
  main_->cpuLoad->SetLoad(15);
  QTest::qWait(50);
  EXPECT_EQ(counter_.Of(main_->cpuLoad), 1);
}
