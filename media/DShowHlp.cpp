#include "media/DShowHlp.h"

#include <QEvent>

#include "platform/system/exceptions.h"

TDirectShowHelper* DirectShowHelper = nullptr;

namespace {

// FreeGraph walks the graph again after every removal; a platform that keeps
// answering with filters must not hold the program forever.
constexpr int kMaxRemovals = 4096;

}  // namespace

bool TNotifyWindow::event(QEvent* e) {
  if (owner_ && owner_->NotifyWndProc(int(e->type()))) return true;
  return QObject::event(e);
}

TDirectShowHelper::TDirectShowHelper() = default;

TDirectShowHelper::~TDirectShowHelper() {
  // A destructor cannot let the failure policy's error through; the
  // references below are released whatever happened.
  try {
    FreeGraph();
  } catch (const Exception&) {
  }
  if (NotifyWindow) {
    NotifyWindow->Detach();
    delete NotifyWindow.data();
  }
  if (DirectShowHelper == this) DirectShowHelper = nullptr;
}

void TDirectShowHelper::Info(const QString& text) {
  if (ShowInfoText) ShowInfoText(text);
}

QString TDirectShowHelper::ErrorText(HRESULT hr) const {
  // The platform fills a 255-character buffer, so longer texts are cut.
  const QString platform = AMGetErrorText(hr).left(254);
  // The recorded text explains this failure only; kept, it would name an
  // earlier file in the next failure with the same code.
  ForgetPlatformErrorTexts();
  return Texts().sError + QStringLiteral(": 0x%1 (%2)")
                            .arg(QString::number(uint32_t(hr), 16).toUpper().rightJustified(8, QLatin1Char('0')),
                                 platform);
}

void TDirectShowHelper::Check(HRESULT hr, const QString& Label) {
  if (SUCCEEDED(hr)) return;
  const QString message = ErrorText(hr) + QStringLiteral("\r\nScope:[") + Label + QStringLiteral("]");
  Info(message);
  if ((OnErrors ? OnErrors() : 0) == 0) throw EPlatformError(message);
}

void TDirectShowHelper::BuildGraph() {
  // What an earlier file's graph recorded and nobody asked about is not the
  // new file's business.
  ForgetPlatformErrorTexts();
  Check(CoCreateInstance(CLSID_CaptureGraphBuilder2, Builder), QStringLiteral("CoCreateInstance(Builder"));
  Check(CoCreateInstance(CLSID_FilterGraph, Graph), QStringLiteral("CoCreateInstance(FilterGraph)"));
  Check(CallIfPresent(Builder, [&](ICaptureGraphBuilder2& b) { return b.SetFiltergraph(Graph); }),
        QStringLiteral("Builder.SetFilterGraph"));
  Check(QueryInterface(Graph, MediaControl), QStringLiteral("Graph.QueryInterface(IMediaControl)"));
  Check(QueryInterface(Graph, VideoWindow), QStringLiteral("Graph.QueryInterface(IVideoWindow)"));
  Check(QueryInterface(Graph, MediaSeeking), QStringLiteral("Graph.QueryInterface(IMediaSeeking)"));
  Check(QueryInterface(Graph, MediaEventEx), QStringLiteral("Graph.QueryInterface(IMediaEventEx)"));
  Check(CallIfPresent(MediaSeeking, [](IMediaSeeking& s) { return s.SetTimeFormat(TIME_FORMAT_MEDIA_TIME); }),
        QStringLiteral("MediaSeeking.SetTimeFormat"));
  if (NotifyWindow) {
    NotifyWindow->Detach();
    NotifyWindow->deleteLater();
  }
  NotifyWindow = new TNotifyWindow(this);
  Check(CallIfPresent(MediaEventEx,
             [this](IMediaEventEx& e) { return e.SetNotifyWindow(NotifyWindow.data(), WM_GRAPHNOTIFY, 0); }),
        QStringLiteral("MediaEventEx.SetNotifyWindow"));
  if (ForceOverlay) {
    ComPtr<IBaseFilter> overlay;
    Check(CoCreateInstance(CLSID_OverlayMixer, overlay), QStringLiteral("CoCreateInstance(Overlay)"));
    Check(CallIfPresent(Graph, [&](IGraphBuilder& g) { return g.AddFilter(overlay, QStringLiteral("OverlayMixer2")); }),
          QStringLiteral("Graph.AddFilter"));
  }
}

void TDirectShowHelper::FreeGraph() {
  if (!Builder) return;
  if (MediaControl) MediaControl->Stop();
  if (VideoWindow) {
    VideoWindow->put_Visible(OAFALSE);
    VideoWindow->put_Owner(nullptr);
  }
  if (MediaEventEx) MediaEventEx->SetNotifyWindow(nullptr, 0, 0);
  if (NotifyWindow) {
    // FreeGraph may run from inside the window's own procedure (the
    // completion handler opening the next file), so it goes later.
    NotifyWindow->Detach();
    NotifyWindow->deleteLater();
    NotifyWindow = nullptr;
  }
  if (Graph) RemoveAllFilters();
  MediaEventEx.reset();
  MediaSeeking.reset();
  VideoWindow.reset();
  MediaControl.reset();
  Graph.reset();
  Builder.reset();
}

void TDirectShowHelper::RemoveAllFilters() {
  ComPtr<IEnumFilters> filters;
  Check(Graph->EnumFilters(filters), QStringLiteral("Graph.EnumFilters"));
  if (!filters) return;
  ComPtr<IBaseFilter> filter;
  for (int removed = 0; removed < kMaxRemovals && filters->Next(filter) == S_OK; ++removed) {
    DisconnectPins(filter);
    const HRESULT hr = Graph->RemoveFilter(filter);
    Check(hr, QStringLiteral("Graph.RemoveFilter"));
    filter.reset();
    // A filter that would not go stays in the graph; starting over would
    // find it first again and never end, so the walk goes on past it.
    if (SUCCEEDED(hr)) Check(filters->Reset(), QStringLiteral("FEnum.Reset"));
  }
}

void TDirectShowHelper::DisconnectPins(const ComPtr<IBaseFilter>& Filter) {
  ComPtr<IEnumPins> pins;
  Check(Filter->EnumPins(pins), QStringLiteral("Filter.EnumPins"));
  if (!pins) return;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    ComPtr<IPin> partner;
    const HRESULT hr = pin->ConnectedTo(partner);
    if (hr == VFW_E_NOT_CONNECTED) continue;
    Check(hr, QStringLiteral("Pin.ConnectedTo"));
    Check(Graph->Disconnect(partner), QStringLiteral("Graph.Disconnect(cPin)"));
    Check(Graph->Disconnect(pin), QStringLiteral("Graph.Disconnect(Pin)"));
  }
}

void TDirectShowHelper::Run() {
  if (MediaControl) Check(MediaControl->Run(), QStringLiteral("MediaControl.Run"));
}

void TDirectShowHelper::Pause() {
  if (MediaControl) Check(MediaControl->Pause(), QStringLiteral("MediaControl.Pause"));
}

void TDirectShowHelper::Stop() {
  if (MediaControl) Check(MediaControl->Stop(), QStringLiteral("MediaControl.Stop"));
}

int64_t TDirectShowHelper::GetDuration() {
  if (!MediaSeeking) return 0;
  REFERENCE_TIME d = 0;
  Check(MediaSeeking->GetDuration(d), QStringLiteral("MediaSeeking.GetDuration"));
  return d;
}

int64_t TDirectShowHelper::GetPosition() {
  if (!MediaSeeking) return 0;
  REFERENCE_TIME p = 0;
  Check(MediaSeeking->GetCurrentPosition(p), QStringLiteral("MediaSeeking.GetCurrentPosition"));
  return p;
}

void TDirectShowHelper::SetPosition(int64_t Position) {
  if (!MediaControl) return;
  // A stream of unknown length (0) has no end to clamp to.
  const int64_t d = GetDuration();
  if (d > 0 && Position > d) Position = d;
  if (Position < 0) Position = 0;
  // Always exact: the snapping the user chose is already in the time asked
  // for, and frame steps back, jumps and bookmarks must land where they point.
  const uint32_t flags = AM_SEEKING_AbsolutePositioning;
  REFERENCE_TIME current = Position, stop = Position;
  Check(CallIfPresent(MediaSeeking,
             [&](IMediaSeeking& s) { return s.SetPositions(&current, flags, &stop, AM_SEEKING_NoPositioning); }),
        QStringLiteral("MediaSeeking.SetPositions"));
}

void TDirectShowHelper::SetRate(double Rate) {
  if (MediaSeeking) Check(MediaSeeking->SetRate(Rate), QStringLiteral("MediaSeeking.SetRate"));
}

void TDirectShowHelper::AttachVideoWindow(QWidget* Owner) {
  Check(CallIfPresent(VideoWindow, [](IVideoWindow& v) { return v.put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN); }),
        QStringLiteral("VideoWindow.Put_WindowStyle"));
  Check(CallIfPresent(VideoWindow, [Owner](IVideoWindow& v) { return v.put_Owner(Owner); }),
        QStringLiteral("VideoWindow.Put_Owner"));
  Check(CallIfPresent(VideoWindow, [](IVideoWindow& v) { return v.put_Visible(OATRUE); }),
        QStringLiteral("VideoWindow.Put_Visible"));
  Check(CallIfPresent(VideoWindow, [Owner](IVideoWindow& v) { return v.put_MessageDrain(Owner); }),
        QStringLiteral("VideoWindow.Put_MessageDrain"));
}

void TDirectShowHelper::ReadVideoInfo() {
  VideoWidth = 400;
  VideoHeight = 250;
  ComPtr<IBasicVideo> video;
  Check(QueryInterface(Graph, video), QStringLiteral("Graph.QueryInterface(IBasicVideo)"));
  long w = 0, h = 0;
  HasVideo = video && SUCCEEDED(video->GetVideoSize(w, h));
  if (HasVideo) {
    VideoWidth = int32_t(w);
    VideoHeight = int32_t(h);
  }
  HasAudio = FindAudioRenderer(0) != nullptr;
}

bool TDirectShowHelper::NotifyWndProc(int Message) {
  if (Message != WM_GRAPHNOTIFY) return false;
  bool complete = false;
  long code = 0;
  intptr_t p1 = 0, p2 = 0;
  while (MediaEventEx && SUCCEEDED(MediaEventEx->GetEvent(code, p1, p2, 0))) {
    Check(MediaEventEx->FreeEventParams(code, p1, p2), QStringLiteral("MediaEventEx.FreeEventParams"));
    if (code == EC_COMPLETE) complete = true;
  }
  if (complete && OnComplete) OnComplete(this);
  return true;
}
