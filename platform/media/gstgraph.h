#pragma once
// The filter graph over a GStreamer pipeline. One object answers for the
// graph and all its control interfaces, as a graph manager does.
#include <QObject>
#include <QPointer>
#include <QRect>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/media/dshow.h"
#include "platform/media/gstref.h"

class TVideoWidget;
class TGstGraph;
struct TFrameSlot;

// Lives on the UI thread and receives what streaming threads post.
class TGraphRelay : public QObject {
 public:
  explicit TGraphRelay(TGstGraph* graph) : graph_(graph) {}
  bool event(QEvent* e) override;

 private:
  TGstGraph* graph_;
};

class TGstGraph : public IGraphBuilder,
                  public IMediaControl,
                  public IMediaSeeking,
                  public IMediaEventEx,
                  public IVideoWindow,
                  public IBasicVideo,
                  public IBasicAudio,
                  public IMediaPosition,
                  public IVideoFrameStep,
                  public IMediaFilter,
                  public IGraphVersion,
                  public IDirectDecoding,
                  public std::enable_shared_from_this<TGstGraph> {
 public:
  TGstGraph();
  ~TGstGraph() override;
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;

  // IGraphBuilder
  HRESULT RenderFile(const QString& file, const QString* playList) override;
  HRESULT AddFilter(const ComPtr<IBaseFilter>& filter, const QString& name) override;
  HRESULT RemoveFilter(const ComPtr<IBaseFilter>& filter) override;
  HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) override;
  HRESULT Disconnect(const ComPtr<IPin>& pin) override;
  // IMediaControl
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  // IMediaSeeking
  HRESULT SetTimeFormat(const GUID& format) override;
  HRESULT GetDuration(REFERENCE_TIME& duration) override;
  HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;
  HRESULT SetPositions(REFERENCE_TIME* current, uint32_t currentFlags, REFERENCE_TIME* stop,
                       uint32_t stopFlags) override;
  HRESULT SetRate(double rate) override;
  HRESULT GetRate(double& rate) override;
  // IMediaEventEx
  HRESULT SetNotifyWindow(QObject* target, long message, intptr_t instance) override;
  HRESULT GetEvent(long& code, intptr_t& param1, intptr_t& param2, long timeoutMs) override;
  HRESULT FreeEventParams(long code, intptr_t param1, intptr_t param2) override;
  // IVideoWindow
  HRESULT put_WindowStyle(long style) override;
  HRESULT put_Owner(OAHWND owner) override;
  HRESULT put_Visible(long visible) override;
  HRESULT get_Visible(long& visible) override;
  HRESULT put_MessageDrain(OAHWND drain) override;
  HRESULT SetWindowPosition(long left, long top, long width, long height) override;
  // IBasicVideo
  HRESULT GetVideoSize(long& width, long& height) override;
  // IBasicAudio
  HRESULT get_Volume(long& volume) override;
  HRESULT put_Volume(long volume) override;
  HRESULT get_Balance(long& balance) override;
  HRESULT put_Balance(long balance) override;
  // IMediaPosition
  HRESULT get_CurrentPosition(double& seconds) override;
  // IVideoFrameStep
  HRESULT Step(uint32_t frames, const ComPtr<IUnknown>& filter) override;
  // IMediaFilter
  HRESULT SetSyncSource(const ComPtr<IUnknown>& clock) override;
  // IGraphVersion
  HRESULT QueryVersion(long& version) override;
  // IDirectDecoding
  HRESULT RenderDirect() override;

  // For filters and enumerators.
  bool Contains(GstElement* element) const;
  std::vector<TGstRef<GstElement>> Filters() const;
  GstElement* Pipeline() const { return pipeline_.get(); }
  // Makes the renderer chain for a stream of `caps` (video, audio, other),
  // already in the pipeline; returns the element to link to.
  TGstRef<GstElement> MakeRendererChain(GstCaps* caps);
  void BumpVersion() { ++version_; }
  // The video widget, for tests that look at the picture.
  TVideoWidget* VideoWidget() const;
  // Links the streams that appeared since the last call (UI thread).
  void LinkPendingPads();
  // Brings the pipeline to rest before its links change.
  void EnsureStopped();

 private:
  friend class TGraphRelay;
  struct TChain {
    TGstRef<GstElement> bin;
    TGstRef<GstElement> volume, panorama, balance, sink;
    // For a sink that does not scale: the part of the picture that shows
    // (cut by `crop`) and the size it is scaled to (`size`, a caps filter).
    TGstRef<GstElement> crop, size;
    int width = 0, height = 0;
    int cut[4] = {0, 0, 0, 0};  // left, right, top, bottom, in the stream's pixels
    bool video = false, audio = false;
  };
  struct TPendingPad {
    TGstRef<GstPad> pad;
    gulong probe = 0;
  };
  // A stopped graph's streams stay where they are: an output whose link is
  // cut while stopped holds what it is given until the graph pauses, runs or
  // seeks (a flushing seek drops what was held).
  struct THold;
  void HoldWhileStopped(GstPad* out);
  // Lets held streams go on, or with `drop` ends them as flushed; only those
  // leaving `of` when it is given.
  void ReleaseHeld(bool drop = false, GstElement* of = nullptr);
  static GstPadProbeReturn OnHeldData(GstPad*, GstPadProbeInfo*, gpointer hold);
  static GstPadProbeReturn OnHeldFlush(GstPad*, GstPadProbeInfo*, gpointer hold);
  static GstBusSyncReply OnBusSync(GstBus*, GstMessage*, gpointer self);
  static void OnPadAdded(GstElement*, GstPad*, gpointer self);
  static void OnNoMorePads(GstElement*, gpointer self);
  static void OnDeepChange(GstBin*, GstBin*, GstElement*, gpointer self);
  static void OnDeepAdded(GstBin*, GstBin*, GstElement*, gpointer self);
  HRESULT WaitForState(GstClockTime timeout);
  HRESULT SeekTo(gint64 positionNs, GstSeekFlags flags, double rate);
  HRESULT FailRender(HRESULT hr);
  // Takes every source and renderer chain out of the stopped pipeline.
  void ClearGraph();
  // Waits for the first picture of a graph just built, as RenderFile does.
  HRESULT FinishRender();
  HRESULT TakeBusError();
  // Marks every error posted so far as answered; a call starts with this.
  void ForgetEarlierErrors();
  void ApplyAudioSettings(const TChain& c) const;
  void AddVideoParts(TChain& c, std::vector<GstElement*>& parts, GstCaps* caps);
  // `picture`: the film's size, for a sink that cannot scale; else empty.
  TGstRef<GstElement> MakeVideoSink(const QByteArray& factory, QSize picture);
  bool HasOverlayMixer() const;
  void ScaleTo(TChain& c, int width, int height);
  QRect PlaceScaledPicture(TChain& c, const QRect& wanted);
  void RefreshPausedPicture();
  void Wake();
  bool HasPlayableChain() const;
  gint64 DurationFromParser() const;
  HRESULT NeedVideo() const;

  TGstRef<GstElement> pipeline_;
  TGstRef<GstBus> bus_;
  std::vector<TGstRef<GstElement>> sources_;
  std::vector<TChain> chains_;
  QPointer<TVideoWidget> video_;
  std::shared_ptr<TFrameSlot> frames_;
  TGraphRelay relay_{this};

  // Shared with streaming threads.
  mutable std::mutex lock_;
  std::condition_variable wake_;
  std::deque<TPendingPad> pendingPads_;
  std::deque<TGstRef<GstMessage>> events_;  // end, errors and steps, oldest first
  bool noMorePads_ = false;
  // Errors posted so far, and how many of them are behind us: a call fails
  // only on an error posted after it began, never on one from playback
  // before it (that one is the event drain's to report).
  uint64_t errorsPosted_ = 0, errorsAnswered_ = 0;
  uint64_t wakeups_ = 0;
  QObject* notifyTarget_ = nullptr;
  long notifyMessage_ = 0;
  std::atomic<long> version_{0};

  // UI-thread state.
  std::vector<std::shared_ptr<THold>> held_;
  bool stopped_ = true;
  gint64 stoppedPositionNs_ = 0;
  double rate_ = 1.0;
  long volume_ = 0, balance_ = 0;
  long style_ = 0;
  bool noClock_ = false;
  QPointer<QWidget> owner_;
  bool refreshPending_ = false;
};
