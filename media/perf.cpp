#include "media/perf.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/DShowHlp.h"
#include "media/playhost.h"
#include "platform/system/msgport.h"

namespace {

const char* const kCaption = "Video decoder benchmark test";
// A bound on the removal loop, should a platform keep finding decoders.
constexpr int kMaxAudioStreams = 64;
const char* const kScale = "Масштаб";
const char* const kNoVideo = "Отключить прорисовку видео";
const QColor kGrey(128, 128, 128), kSilver(192, 192, 192), kGreen(0, 128, 0), kMaroon(128, 0, 0),
    kBlue(0, 0, 255);

QString Fixed(double v) {
  QLocale l = QLocale::system();
  l.setNumberOptions(QLocale::OmitGroupSeparator);
  return l.toString(v, 'f', 1);
}

// A column of `n` pixels from the baseline up.
void Column(QImage& image, int x, int n, const QColor& colour) {
  const QRgb c = colour.rgb();
  for (int k = 0; k < n; ++k) {
    const int y = TPerfChart::PlotBaseline - k;
    if (y >= 0 && x >= 0 && x < image.width()) image.setPixel(x, y, c);
  }
}

// Paints the chart image as it stands; repaints are coalesced, so a fast
// decoder does not pay for a picture per frame.
class TChartView : public QWidget {
 public:
  TChartView(const TPerfChart& chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setFixedSize(TPerfChart::Width, TPerfChart::Height);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, chart_.Image());
  }

 private:
  const TPerfChart& chart_;
};

}  // namespace

// ---- chart

TPerfChart::TPerfChart() : image_(Width, Height, QImage::Format_RGB32) { Clear(10); }

void TPerfChart::Clear(int scale) {
  fps_ = ms_ = 0;
  image_.fill(Qt::white);
  QPainter p(&image_);
  p.setPen(Qt::black);
  p.drawRect(0, 0, Width - 1, Height - 1);
  QFont font(QStringLiteral("Small Fonts"));
  font.setPointSize(7);
  p.setFont(font);
  const int left = PlotLeft, base = PlotBaseline, width = PlotWidth, top = base - AxisHeight;
  // Scale lines first, so that the axes stay whole where they cross them.
  p.setPen(kSilver);
  const int heights[] = {0, 60, 80, 90, 100};
  const char* labels[] = {"10", "25", "50", "100", "inf"};
  const QFontMetrics fm(font);
  for (int k = 0; k < 5; ++k) {
    const int y = base - heights[k];
    p.drawLine(left - 1, y, left + width, y);
    const QString t = QString::fromLatin1(labels[k]);
    p.drawText(left - 3 - fm.horizontalAdvance(t), y - 5 + fm.ascent(), t);
  }
  for (int k = 0; k < width / 25; ++k) {
    const int x = left + 25 * k;
    p.drawLine(x, base + 1, x, top);
    const QString t = QString::number(scale * 25 * k);
    p.drawText(x - fm.horizontalAdvance(t) / 2, base + 2 + fm.ascent(), t);
  }
  p.setPen(kGrey);
  p.drawLine(left - 2, base, left + width, base);
  p.drawLine(left + width, base, left + width - 3, base - 3);
  p.drawLine(left + width, base, left + width - 3, base + 3);
  p.drawLine(left, base + 2, left, top);
  p.drawLine(left, top, left - 3, top + 3);
  p.drawLine(left, top, left + 3, top + 3);
  p.drawText(5, 1 + fm.ascent(), QStringLiteral("fps"));
  p.drawText(left + width - 13, base + 3 + fm.ascent(), QStringLiteral("frame"));
}

bool TPerfChart::Frame(uint32_t tick, int32_t index, int scale) {
  const int s = std::max(scale, 1);
  if (index == 9) startTick_ = tick;
  if (index > 9) {
    const int n = index - 10;
    if (n % s == 0) {
      minimum_ = 99999999;
      maximum_ = -99999999;
    }
    double ms = 0;
    const uint32_t span = tick - startTick_;
    // A span of no measurable time has no rate to show.
    if (n > 100 && span > 0) {
      fps_ = double(n) * 1000.0 / double(span);
      ms = ms_ = double(span) / double(n);
    }
    const int d = int(int32_t(tick - lastTick_));
    minimum_ = std::min(minimum_, d);
    maximum_ = std::max(maximum_, d);
    const int c = n / s;
    if (n % s == s - 1 && c < PlotWidth) {
      const int x = PlotLeft + c;
      Column(image_, x, std::max(0, 100 - minimum_), kGreen);
      Column(image_, x, std::max(0, 100 - maximum_), kMaroon);
      if (ms > 0) {
        const int y = PlotBaseline - 100 + int(std::lround(ms));
        if (y >= 0 && y < Height) image_.setPixel(x, y, kBlue.rgb());
      }
    }
  }
  lastTick_ = tick;
  return fps_ > 0;
}

QString TPerfChart::Average() const {
  if (fps_ <= 0) return {};
  return QStringLiteral("Average: %1 fps  (%2 ms per frame)").arg(Fixed(fps_), Fixed(ms_));
}

// ---- callback

HRESULT TSampleGrabberCB::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  out.reset();
  if (std::strcmp(iid, ISampleGrabberCB::IID) != 0) return E_NOINTERFACE;
  // The dialog owns the object; a reference handed out does not.
  out = ComPtr<IUnknown>(static_cast<IUnknown*>(this), [](IUnknown*) {});
  return S_OK;
}

HRESULT TSampleGrabberCB::SampleCB(double, IUnknown*) {
  const int32_t i = Frames.load(std::memory_order_relaxed);
  window_->Post(intptr_t(GetTickCount()), intptr_t(i));
  Frames.store(i + 1, std::memory_order_relaxed);
  return 0;
}

// ---- dialog

TfrPerfTest::TfrPerfTest(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent)
    : TEscDialog(parent), engine_(engine), host_(host) {
  setObjectName("frPerfTest");
  setWindowTitle(QString::fromUtf8(kCaption));
  setFixedSize(577, 245);
  // The frames' ticks are taken on the streaming thread, so taking the
  // messages in 40 ms batches changes no figure and keeps the UI thread from
  // waking once per frame while the decoder needs the processor.
  port_ = new TMessagePort([this](intptr_t w, intptr_t l) { OnFrame(w, l); }, this, 40);
  showTimer_ = new QTimer(this);
  showTimer_->setSingleShot(true);
  showTimer_->setInterval(100);
  connect(showTimer_, &QTimer::timeout, this, &TfrPerfTest::ShowProgress);
  callback_ = std::make_unique<TSampleGrabberCB>(port_);
  imReport = new TChartView(Chart, this);
  imReport->move(8, 8);
  sbStart = new QPushButton(QStringLiteral("Start"), this);
  sbStart->setGeometry(8, 172, 75, 25);
  sbStop = new QPushButton(QStringLiteral("Stop"), this);
  sbStop->setGeometry(88, 172, 75, 25);
  sbClose = new QPushButton(QStringLiteral("Close"), this);
  sbClose->setGeometry(494, 172, 75, 25);
  lbFPS = new QLabel(this);
  lbFPS->setGeometry(168, 176, 320, 17);
  lbScale = new QLabel(QString::fromUtf8(kScale) + QStringLiteral(" 1:10"), this);
  lbScale->setGeometry(8, 206, 90, 17);
  tbScale = new QSlider(Qt::Horizontal, this);
  tbScale->setGeometry(100, 202, 150, 25);
  tbScale->setRange(1, 20);
  tbScale->setValue(10);
  cbNoVideo = new QCheckBox(QString::fromUtf8(kNoVideo), this);
  cbNoVideo->setGeometry(260, 204, 300, 21);
  cbNoVideo->setChecked(true);
  connect(tbScale, &QSlider::valueChanged, this,
          [this](int v) { lbScale->setText(QString::fromUtf8(kScale) + QStringLiteral(" 1:%1").arg(v)); });
  connect(sbStart, &QPushButton::clicked, this, &TfrPerfTest::Start);
  connect(sbStop, &QPushButton::clicked, this, &TfrPerfTest::Stop);
  connect(sbClose, &QPushButton::clicked, this, [this] {
    hide();
    close();
  });
}

TfrPerfTest::~TfrPerfTest() {
  // The grabber must not report to a listener that is gone.
  if (FGrabber) FGrabber->SetCallback(nullptr, 0);
}

void TfrPerfTest::Stop() {
  engine_.Check(engine_.MediaControl ? engine_.MediaControl->Stop() : E_POINTER, "MediaControl.Stop");
}

void TfrPerfTest::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    Stop();
    sbStart->setEnabled(true);
    tbScale->setEnabled(true);
    if (FGrabber) FGrabber->SetCallback(nullptr, 0);
    FGrabber.reset();
    host_.OpenFile(host_.CurrentFile());
  }
  TEscDialog::closeEvent(e);
}

void TfrPerfTest::BuildChain() {
  TDirectShowHelper& e = engine_;
  callback_->Frames.store(0);
  ComPtr<IBaseFilter> grabber;
  e.Check(CoCreateInstance(CLSID_SampleGrabber, grabber), "CoCreateInstance(CLSID_SampleGrabber)");
  e.Check(e.Graph->AddFilter(grabber, QStringLiteral("Grabber")), "Graph.AddFilter(Grabber)");
  e.Check(QueryInterface(grabber, FGrabber), "FGrabber.QueryInterface");
  e.Check(FGrabber ? FGrabber->SetOneShot(false) : E_POINTER, "Grabber.SetOneShot");
  e.Check(FGrabber ? FGrabber->SetBufferSamples(false) : E_POINTER, "Grabber.SetBufferSamples");
  e.Check(FGrabber ? FGrabber->SetCallback(callback_.get(), 0) : E_POINTER, "Grabber.SetCallBack(SampleCB)");
  ComPtr<IBaseFilter> decoder = e.FindVideoDecoder();
  e.RemoveDownstream(e.GetDownstreamFilter(decoder));
  e.VideoWindow.reset();
  e.Check(e.Builder ? e.Builder->RenderStream(nullptr, nullptr, decoder, nullptr, grabber) : E_POINTER,
          "Builder.RenderStream(VDec->GRB)");
  if (cbNoVideo->isChecked()) {
    ComPtr<IBaseFilter> null;
    e.Check(CoCreateInstance(CLSID_NullRenderer, null), "CoCreateInstance(CLSID_NullRenderer)");
    e.Check(e.Graph->AddFilter(null, QStringLiteral("Null Renderer")), "Graph.AddFilter(Null Renderer)");
    e.Check(e.Builder->RenderStream(nullptr, nullptr, grabber, nullptr, null), "Builder.RenderStream(GRB->Null)");
  } else {
    e.Check(e.Builder->RenderStream(nullptr, nullptr, grabber, nullptr, nullptr), "Builder.RenderStream(GRB->NIL)");
  }
}

void TfrPerfTest::Start() {
  sbStart->setEnabled(false);
  tbScale->setEnabled(false);
  lbFPS->clear();
  host_.PauseMovie();
  const int64_t from = host_.FirstBookmark();
  Stop();
  // Measured is the decoder fed straight from the demuxer, not the queue
  // that playback keeps between them.
  ComPtr<IDirectDecoding> direct;
  if (SUCCEEDED(QueryInterface(engine_.Graph, direct))) engine_.Check(direct->RenderDirect(), "Graph.RenderDirect");
  ComPtr<IMediaFilter> filter;
  engine_.Check(QueryInterface(engine_.Graph, filter), "Graph.QueryInterface(CLSID_IMediaFilter)");
  engine_.Check(filter ? filter->SetSyncSource(nullptr) : E_POINTER, "MediaFilter.SetSyncSource(NIL)");
  // Every sound stream goes, not only the last one found: a second one left
  // playing without a clock would compete with the decoder being measured.
  for (int i = 0; i < kMaxAudioStreams; ++i) {
    ComPtr<IBaseFilter> audio = engine_.FindAudioDecoder();
    if (!audio) break;
    engine_.RemoveDownstream(audio);
  }
  BuildChain();
  // The seek comes after the rebuild: its flush restarts the streams whose
  // old renderers were taken away mid-stream, through the new chain. A frame
  // that slipped into the new chain before it is not counted.
  callback_->Frames.store(0);
  engine_.SetPosition(from);
  engine_.Check(engine_.MediaEventEx ? engine_.MediaEventEx->SetNotifyWindow(nullptr, 0, 0) : E_POINTER,
                "MediaEventEx.SetNotifyWindow");
  Chart.Clear(tbScale->value());
  imReport->update();
  host_.PauseMovie();
  for (int i = 0; i < 11; ++i) {
    QThread::msleep(100);
    QCoreApplication::processEvents();
  }
  host_.Play();
}

void TfrPerfTest::OnFrame(intptr_t tick, intptr_t index) {
  Chart.Frame(uint32_t(tick), int32_t(index), tbScale->value());
  // A fast decoder sends thousands of frames a second; the label and the
  // chart are shown ten times a second, always ending on the latest. Every
  // repaint is processor time the decoder being measured does not get.
  if (!showTimer_->isActive()) showTimer_->start();
}

void TfrPerfTest::ShowProgress() {
  if (const QString average = Chart.Average(); !average.isEmpty()) lbFPS->setText(average);
  imReport->update();
}
