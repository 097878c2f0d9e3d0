#pragma once
// A media platform without media, for tests: a graph that renders a fixed
// set of streams, keeps a position, queues events on demand, records every
// call by name and fails any call it is told to fail.
#include <QHash>
#include <QStringList>
#include <deque>

#include "platform/media/dshow.h"

class TFakeGraph;

class TFakeMediaPlatform : public TMediaPlatform {
 public:
  // Installs itself for its lifetime.
  TFakeMediaPlatform();
  ~TFakeMediaPlatform() override;
  HRESULT CreateInstance(const CLSID& clsid, ComPtr<IUnknown>& out) override;

  // Makes the call named `call` answer `hr` from now on. Names are
  // "Object.Method": "Create(FilterGraph)", "Builder.SetFiltergraph",
  // "Graph.QueryInterface(IMediaSeeking)", "MediaControl.Run",
  // "Filter.EnumPins", "Pin.ConnectedTo", "FilterEnum.Reset", ...
  // With `skip`, the first `skip` such calls still succeed; with `times`,
  // only that many fail and the later ones succeed again.
  void FailOn(const QString& call, HRESULT hr = E_FAIL, int skip = 0, int times = -1) {
    failures_.insert(call, {hr, skip, times});
  }
  void ClearFailures() { failures_.clear(); }
  // Records the call and gives its answer.
  HRESULT Hit(const QString& call);

  // What the next rendered file holds.
  bool Video = true;
  int AudioStreams = 1;
  int64_t Duration = 100000000;  // 10 s
  QStringList Calls;
  std::weak_ptr<TFakeGraph> LastGraph;

 private:
  struct TFailure {
    HRESULT hr;
    int skip;
    int times;  // -1: for ever
  };
  QHash<QString, TFailure> failures_;
};

class TFakeFilter;

class TFakePin : public IPin, public std::enable_shared_from_this<TFakePin> {
 public:
  TFakePin(TFakeMediaPlatform* p, TFakeFilter* owner, PIN_DIRECTION dir, AM_MEDIA_TYPE mt)
      : platform(p), filter(owner), direction(dir), type(std::move(mt)) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;
  HRESULT ConnectedTo(ComPtr<IPin>& pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE& mt) override;
  HRESULT QueryDirection(PIN_DIRECTION& dir) override;
  HRESULT QueryPinInfo(PIN_INFO& info) override;

  TFakeMediaPlatform* platform;
  TFakeFilter* filter;
  PIN_DIRECTION direction;
  AM_MEDIA_TYPE type;
  std::weak_ptr<TFakePin> peer;
};

class TFakeFilter : public IBaseFilter,
                    public ISpecifyPropertyPages,
                    public IDivXFilterInterface,
                    public std::enable_shared_from_this<TFakeFilter> {
 public:
  TFakeFilter(TFakeMediaPlatform* p, QString n, CLSID c) : platform(p), name(std::move(n)), clsid(c) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;
  HRESULT GetClassID(CLSID& c) override;
  HRESULT EnumPins(ComPtr<IEnumPins>& pins) override;
  HRESULT QueryFilterInfo(FILTER_INFO& info) override;
  HRESULT GetPages(int& count) override;
  HRESULT ShowPropertyFrame(QWidget* owner, const QString& caption) override;
  HRESULT put_Brightness(int v) override { return PutPicture("DivX.put_Brightness", picture[0], v); }
  HRESULT put_Contrast(int v) override { return PutPicture("DivX.put_Contrast", picture[1], v); }
  HRESULT put_Saturation(int v) override { return PutPicture("DivX.put_Saturation", picture[2], v); }
  HRESULT get_Brightness(int& v) override { return GetPicture("DivX.get_Brightness", picture[0], v); }
  HRESULT get_Contrast(int& v) override { return GetPicture("DivX.get_Contrast", picture[1], v); }
  HRESULT get_Saturation(int& v) override { return GetPicture("DivX.get_Saturation", picture[2], v); }

  ComPtr<TFakePin> AddPin(PIN_DIRECTION dir, const AM_MEDIA_TYPE& mt);

  TFakeMediaPlatform* platform;
  QString name;
  CLSID clsid;
  std::vector<ComPtr<TFakePin>> pins;
  std::weak_ptr<TFakeGraph> graph;
  bool divx = false;        // answers the picture-control interface
  int pages = 1;            // property pages; -1: no page interface at all
  int picture[3] = {0, 0, 0};
  int sheetsShown = 0;

 private:
  HRESULT PutPicture(const char* call, int& slot, int v);
  HRESULT GetPicture(const char* call, int slot, int& v);
};

class TFakeGraph : public IGraphBuilder,
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
                   public std::enable_shared_from_this<TFakeGraph> {
 public:
  explicit TFakeGraph(TFakeMediaPlatform* p) : platform(p) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;

  HRESULT RenderFile(const QString& file, const QString* playList) override;
  HRESULT AddFilter(const ComPtr<IBaseFilter>& filter, const QString& name) override;
  HRESULT RemoveFilter(const ComPtr<IBaseFilter>& filter) override;
  HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) override;
  HRESULT Disconnect(const ComPtr<IPin>& pin) override;
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT SetTimeFormat(const GUID& format) override;
  HRESULT GetDuration(REFERENCE_TIME& duration) override;
  HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;
  HRESULT SetPositions(REFERENCE_TIME* current, uint32_t currentFlags, REFERENCE_TIME* stop,
                       uint32_t stopFlags) override;
  HRESULT SetRate(double r) override;
  HRESULT GetRate(double& r) override;
  HRESULT SetNotifyWindow(QObject* target, long message, intptr_t instance) override;
  HRESULT GetEvent(long& code, intptr_t& param1, intptr_t& param2, long timeoutMs) override;
  HRESULT FreeEventParams(long code, intptr_t param1, intptr_t param2) override;
  HRESULT put_WindowStyle(long style) override;
  HRESULT put_Owner(OAHWND owner) override;
  HRESULT put_Visible(long visible) override;
  HRESULT get_Visible(long& visible) override;
  HRESULT put_MessageDrain(OAHWND drain) override;
  HRESULT SetWindowPosition(long left, long top, long width, long height) override;
  HRESULT GetVideoSize(long& width, long& height) override;
  HRESULT get_Volume(long& v) override;
  HRESULT put_Volume(long v) override;
  HRESULT get_Balance(long& b) override;
  HRESULT put_Balance(long b) override;
  HRESULT get_CurrentPosition(double& seconds) override;
  HRESULT Step(uint32_t frames, const ComPtr<IUnknown>& filter) override;
  HRESULT SetSyncSource(const ComPtr<IUnknown>& clock) override;
  HRESULT QueryVersion(long& v) override;

  // Queues events and posts the notification, as a streaming thread would.
  void PostEvents(const std::vector<long>& codes);
  ComPtr<TFakeFilter> FilterNamed(const QString& name) const;

  TFakeMediaPlatform* platform;
  std::vector<ComPtr<TFakeFilter>> filters;
  enum class TState { Stopped, Paused, Running } state = TState::Stopped;
  REFERENCE_TIME position = 0;
  double rate = 1.0;
  uint32_t lastSeekFlags = 0;
  long style = 0, visible = 0, volume = 0, balance = 0;
  OAHWND owner = nullptr, drain = nullptr;
  long left = 0, top = 0, width = 0, height = 0;
  QObject* notifyTarget = nullptr;
  long notifyMessage = 0;
  std::deque<long> events;
  int eventsFreed = 0;
  long version = 0;
  bool rendered = false;
};
