#pragma once
// The decoder benchmark: the open file's video decoder feeds a sample
// grabber and a null renderer with no clock and no sound; every decoded frame
// is timed and the intervals are charted.
#include <QImage>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

#include "media/escdialog.h"
#include "platform/media/dshow.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class TDirectShowHelper;
class TMessagePort;
class TPlayHost;

// The chart of frame intervals and the average, as frames arrive.
class TPerfChart {
 public:
  static constexpr int Width = 561, Height = 157;
  static constexpr int PlotLeft = 20;
  static constexpr int PlotBaseline = Height - 15;
  static constexpr int PlotWidth = Width - 35;
  static constexpr int AxisHeight = Height - 30;

  TPerfChart();
  // The empty chart: frame, axes, scale lines and their labels; `scale`
  // frames per column.
  void Clear(int scale);
  // Frame `index` reached the grabber at `tick` ms. True once enough frames
  // were measured for an average.
  bool Frame(uint32_t tick, int32_t index, int scale);
  // The average as the label shows it, or an empty text before there is
  // one. Made only when asked: a fast decoder sends thousands of frames a
  // second, and the dialog's thread would otherwise spend on text the time
  // the decoder it measures could use.
  QString Average() const;
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
  uint32_t lastTick_ = 0, startTick_ = 0;
  int minimum_ = 0, maximum_ = 0;
  double fps_ = 0, ms_ = 0;  // 0: no average yet
};

// Told of every frame on the streaming thread: one tick read, one posted
// message, one increment.
class TSampleGrabberCB : public ISampleGrabberCB {
 public:
  explicit TSampleGrabberCB(TMessagePort* window) : window_(window) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;
  HRESULT SampleCB(double sampleTime, IUnknown* sample) override;
  HRESULT BufferCB(double, uint8_t*, long) override { return 0; }
  // Only the streaming thread writes it while the graph runs.
  std::atomic<int32_t> Frames{0};

 private:
  TMessagePort* window_;
};

class TfrPerfTest : public TEscDialog {
  Q_OBJECT
 public:
  TfrPerfTest(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent = nullptr);
  ~TfrPerfTest() override;

  void Start();
  void Stop();
  // The chart update for one frame message.
  void OnFrame(intptr_t tick, intptr_t index);
  // Shows the chart and the average as they stand.
  void ShowProgress();

  QWidget* imReport;
  QPushButton* sbStart;
  QPushButton* sbStop;
  QPushButton* sbClose;
  QLabel* lbFPS;
  QLabel* lbScale;
  QSlider* tbScale;
  QCheckBox* cbNoVideo;
  TPerfChart Chart;
  // Frames the grabber has seen (the benchmark's own count).
  int32_t FramesSeen() const { return callback_->Frames.load(); }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildChain();
  TDirectShowHelper& engine_;
  TPlayHost& host_;
  TMessagePort* port_;
  QTimer* showTimer_;
  std::unique_ptr<TSampleGrabberCB> callback_;
  ComPtr<ISampleGrabber> FGrabber;
  bool closed_ = false;
};
