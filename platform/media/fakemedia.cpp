#include "platform/media/fakemedia.h"

#include "platform/media/dsound.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <cstring>

namespace {

// A recorded call, which a test may make fail; when it passes, `to` takes `from`.
template <class To, class From>
HRESULT AssignUnlessFailed(TFakeMediaPlatform* platform, const char* call, To& to, const From& from) {
  if (HRESULT hr = platform->Hit(call); FAILED(hr)) return hr;
  to = from;
  return S_OK;
}

template <class Self, class... Ifaces>
HRESULT Answer(const std::shared_ptr<Self>& self, const char* iid, ComPtr<IUnknown>& out) {
  out.reset();
  ((std::strcmp(iid, Ifaces::IID) == 0 && !out ? (void)(out = std::static_pointer_cast<Ifaces>(self)) : (void)0),
   ...);
  return out ? S_OK : E_NOINTERFACE;
}

AM_MEDIA_TYPE Type(const GUID& major, const GUID& sub, const GUID& format) {
  return AM_MEDIA_TYPE{major, sub, format, {}};
}

template <class Enum, class Item>
class TFakeEnum : public Enum {
 public:
  TFakeEnum(TFakeMediaPlatform* p, QString prefix, std::function<std::vector<ComPtr<Item>>()> read)
      : platform_(p), prefix_(std::move(prefix)), read_(std::move(read)), items_(read_()) {}
  HRESULT QueryInterface(const char*, ComPtr<IUnknown>& out) override {
    out.reset();
    return E_NOINTERFACE;
  }
  HRESULT Next(ComPtr<Item>& item) override {
    if (HRESULT hr = platform_->Hit(prefix_ + ".Next"); hr != S_OK) return hr;
    if (next_ >= items_.size()) return S_FALSE;
    item = items_[next_++];
    return S_OK;
  }
  HRESULT Reset() override {
    if (HRESULT hr = platform_->Hit(prefix_ + ".Reset"); FAILED(hr)) return hr;
    items_ = read_();
    next_ = 0;
    return S_OK;
  }

 private:
  TFakeMediaPlatform* platform_;
  QString prefix_;
  std::function<std::vector<ComPtr<Item>>()> read_;
  std::vector<ComPtr<Item>> items_;
  size_t next_ = 0;
};

class TFakeBuilder : public ICaptureGraphBuilder2, public std::enable_shared_from_this<TFakeBuilder> {
 public:
  explicit TFakeBuilder(TFakeMediaPlatform* p) : platform_(p) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    return Answer<TFakeBuilder, ICaptureGraphBuilder2>(shared_from_this(), iid, out);
  }
  HRESULT SetFiltergraph(const ComPtr<IGraphBuilder>&) override { return platform_->Hit("Builder.SetFiltergraph"); }
  HRESULT RenderStream(const GUID*, const GUID*, const ComPtr<IUnknown>&, const ComPtr<IBaseFilter>&,
                       const ComPtr<IBaseFilter>&) override {
    return platform_->Hit("Builder.RenderStream");
  }

 private:
  TFakeMediaPlatform* platform_;
};

void Link(const ComPtr<TFakePin>& out, const ComPtr<TFakePin>& in) {
  out->peer = in;
  in->peer = out;
}

}  // namespace

// ---- platform ----

TFakeMediaPlatform::TFakeMediaPlatform() { SetMediaPlatform(this); }
TFakeMediaPlatform::~TFakeMediaPlatform() { SetMediaPlatform(nullptr); }

HRESULT TFakeMediaPlatform::Hit(const QString& call) {
  Calls << call;
  auto it = failures_.find(call);
  if (it == failures_.end()) return S_OK;
  if (it->skip > 0) {
    --it->skip;
    return S_OK;
  }
  if (it->times == 0) return S_OK;
  if (it->times > 0) --it->times;
  return it->hr;
}

HRESULT TFakeMediaPlatform::CreateInstance(const CLSID& clsid, ComPtr<IUnknown>& out) {
  out.reset();
  QString name = clsid == CLSID_FilterGraph            ? QStringLiteral("FilterGraph")
                 : clsid == CLSID_CaptureGraphBuilder2 ? QStringLiteral("CaptureGraphBuilder2")
                 : clsid == CLSID_OverlayMixer         ? QStringLiteral("OverlayMixer")
                 : clsid == CLSID_DirectSound          ? QStringLiteral("DirectSound")
                                                       : clsid.toString();
  if (HRESULT hr = Hit("Create(" + name + ")"); FAILED(hr)) return hr;
  if (clsid == CLSID_FilterGraph) {
    auto g = std::make_shared<TFakeGraph>(this);
    LastGraph = g;
    out = std::static_pointer_cast<IGraphBuilder>(g);
  } else if (clsid == CLSID_CaptureGraphBuilder2) {
    out = std::make_shared<TFakeBuilder>(this);
  } else if (clsid == CLSID_OverlayMixer) {
    out = std::static_pointer_cast<IBaseFilter>(std::make_shared<TFakeFilter>(this, "Overlay Mixer", clsid));
  } else if (clsid == CLSID_DirectSound) {
    out = MakeGstDirectSound();
  } else {
    return static_cast<HRESULT>(0x80040154u);
  }
  return S_OK;
}

// ---- pin ----

HRESULT TFakePin::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  return Answer<TFakePin, IPin>(shared_from_this(), iid, out);
}

HRESULT TFakePin::ConnectedTo(ComPtr<IPin>& pin) {
  if (HRESULT hr = platform->Hit("Pin.ConnectedTo"); FAILED(hr)) return hr;
  pin = peer.lock();
  return pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT TFakePin::ConnectionMediaType(AM_MEDIA_TYPE& mt) {
  if (HRESULT hr = platform->Hit("Pin.ConnectionMediaType"); FAILED(hr)) return hr;
  if (peer.expired()) return VFW_E_NOT_CONNECTED;
  mt = type;
  return S_OK;
}

HRESULT TFakePin::QueryDirection(PIN_DIRECTION& dir) {
  return AssignUnlessFailed(platform, "Pin.QueryDirection", dir, direction);
}

HRESULT TFakePin::QueryPinInfo(PIN_INFO& info) {
  if (HRESULT hr = platform->Hit("Pin.QueryPinInfo"); FAILED(hr)) return hr;
  info.dir = direction;
  info.pFilter = filter->shared_from_this();
  return S_OK;
}

// ---- filter ----

HRESULT TFakeFilter::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  if (HRESULT hr = platform->Hit(QStringLiteral("Filter.QueryInterface(%1)").arg(iid)); FAILED(hr)) return hr;
  if (std::strcmp(iid, ISpecifyPropertyPages::IID) == 0 && pages < 0) return E_NOINTERFACE;
  if (std::strcmp(iid, IDivXFilterInterface::IID) == 0 && !divx) return E_NOINTERFACE;
  return Answer<TFakeFilter, IBaseFilter, IPersist, ISpecifyPropertyPages, IDivXFilterInterface>(
      shared_from_this(), iid, out);
}

HRESULT TFakeFilter::GetClassID(CLSID& c) {
  return AssignUnlessFailed(platform, "Filter.GetClassID", c, clsid);
}

HRESULT TFakeFilter::EnumPins(ComPtr<IEnumPins>& out) {
  if (HRESULT hr = platform->Hit("Filter.EnumPins"); FAILED(hr)) return hr;
  auto self = shared_from_this();
  out = std::make_shared<TFakeEnum<IEnumPins, IPin>>(platform, "PinEnum", [self] {
    return std::vector<ComPtr<IPin>>(self->pins.begin(), self->pins.end());
  });
  return S_OK;
}

HRESULT TFakeFilter::QueryFilterInfo(FILTER_INFO& info) {
  if (HRESULT hr = platform->Hit("Filter.QueryFilterInfo"); FAILED(hr)) return hr;
  info.achName = name;
  info.pGraph = graph.lock();
  return S_OK;
}

HRESULT TFakeFilter::GetPages(int& count) {
  if (HRESULT hr = platform->Hit("Specify.GetPages"); FAILED(hr)) return hr;
  count = std::max(pages, 0);
  return S_OK;
}

HRESULT TFakeFilter::ShowPropertyFrame(QWidget*, const QString&) {
  if (HRESULT hr = platform->Hit("Specify.ShowPropertyFrame"); FAILED(hr)) return hr;
  ++sheetsShown;
  return S_OK;
}

HRESULT TFakeFilter::PutPicture(const char* call, int& slot, int v) {
  return AssignUnlessFailed(platform, call, slot, v);
}

HRESULT TFakeFilter::GetPicture(const char* call, int slot, int& v) {
  return AssignUnlessFailed(platform, call, v, slot);
}

ComPtr<TFakePin> TFakeFilter::AddPin(PIN_DIRECTION dir, const AM_MEDIA_TYPE& mt) {
  pins.push_back(std::make_shared<TFakePin>(platform, this, dir, mt));
  return pins.back();
}

// ---- graph ----

HRESULT TFakeGraph::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  if (HRESULT hr = platform->Hit(QStringLiteral("Graph.QueryInterface(%1)").arg(iid)); FAILED(hr)) return hr;
  return Answer<TFakeGraph, IGraphBuilder, IMediaControl, IMediaSeeking, IMediaEventEx, IVideoWindow,
                IBasicVideo, IBasicAudio, IMediaPosition, IVideoFrameStep, IMediaFilter, IGraphVersion>(
      shared_from_this(), iid, out);
}

HRESULT TFakeGraph::RenderFile(const QString&, const QString*) {
  if (HRESULT hr = platform->Hit("Graph.RenderFile"); FAILED(hr)) return hr;
  auto self = shared_from_this();
  auto add = [&](const QString& name, const CLSID& clsid) {
    auto f = std::make_shared<TFakeFilter>(platform, name, clsid);
    f->graph = self;
    filters.push_back(f);
    ++version;
    return f;
  };
  const AM_MEDIA_TYPE stream = Type(MEDIATYPE_Stream, {}, FORMAT_None);
  auto source = add("File Source", QUuid("{E436EBB5-524F-11CE-9F53-0020AF0BA770}"));
  auto splitter = add("AVI Splitter", QUuid("{1B544C20-FD0B-11CE-8C63-00AA0044B51E}"));
  Link(source->AddPin(PINDIR_OUTPUT, stream), splitter->AddPin(PINDIR_INPUT, stream));
  if (platform->Video) {
    const AM_MEDIA_TYPE xvid = Type(MEDIATYPE_Video, FourCCSubtype(MakeFourCC('X', 'V', 'I', 'D')), FORMAT_VideoInfo);
    const AM_MEDIA_TYPE yv12 = Type(MEDIATYPE_Video, FourCCSubtype(MakeFourCC('Y', 'V', '1', '2')), FORMAT_VideoInfo);
    auto decoder = add("Video Decoder", QUuid("{78766964-0000-0010-8000-00AA00389B71}"));
    decoder->divx = true;
    auto renderer = add("Video Renderer", CLSID_VideoRenderer);
    renderer->pages = -1;
    Link(splitter->AddPin(PINDIR_OUTPUT, xvid), decoder->AddPin(PINDIR_INPUT, xvid));
    Link(decoder->AddPin(PINDIR_OUTPUT, yv12), renderer->AddPin(PINDIR_INPUT, yv12));
  }
  for (int i = 0; i < platform->AudioStreams; ++i) {
    const AM_MEDIA_TYPE mp3 = Type(MEDIATYPE_Audio, FourCCSubtype(0x55), FORMAT_WaveFormatEx);
    const AM_MEDIA_TYPE pcm = Type(MEDIATYPE_Audio, MEDIASUBTYPE_PCM, FORMAT_WaveFormatEx);
    auto decoder = add(QStringLiteral("Audio Decoder %1").arg(i + 1), QUuid("{38BE3000-DBF4-11D0-860E-00A024CFEF6D}"));
    auto renderer = add(QStringLiteral("Audio Renderer %1").arg(i + 1), CLSID_DSoundRender);
    Link(splitter->AddPin(PINDIR_OUTPUT, mp3), decoder->AddPin(PINDIR_INPUT, mp3));
    Link(decoder->AddPin(PINDIR_OUTPUT, pcm), renderer->AddPin(PINDIR_INPUT, pcm));
  }
  rendered = true;
  return S_OK;
}

ComPtr<TFakeFilter> TFakeGraph::FilterNamed(const QString& name) const {
  for (const auto& f : filters)
    if (f->name == name) return f;
  return nullptr;
}

HRESULT TFakeGraph::AddFilter(const ComPtr<IBaseFilter>& filter, const QString& name) {
  if (HRESULT hr = platform->Hit("Graph.AddFilter"); FAILED(hr)) return hr;
  auto f = std::dynamic_pointer_cast<TFakeFilter>(filter);
  if (!f) return E_POINTER;
  f->name = name;
  f->graph = shared_from_this();
  filters.push_back(f);
  ++version;
  return S_OK;
}

HRESULT TFakeGraph::RemoveFilter(const ComPtr<IBaseFilter>& filter) {
  if (HRESULT hr = platform->Hit("Graph.RemoveFilter"); FAILED(hr)) return hr;
  auto it = std::find(filters.begin(), filters.end(), std::dynamic_pointer_cast<TFakeFilter>(filter));
  if (it == filters.end()) return VFW_E_NOT_IN_GRAPH;
  filters.erase(it);
  ++version;
  return S_OK;
}

HRESULT TFakeGraph::EnumFilters(ComPtr<IEnumFilters>& out) {
  if (HRESULT hr = platform->Hit("Graph.EnumFilters"); FAILED(hr)) return hr;
  auto self = shared_from_this();
  out = std::make_shared<TFakeEnum<IEnumFilters, IBaseFilter>>(platform, "FilterEnum", [self] {
    return std::vector<ComPtr<IBaseFilter>>(self->filters.begin(), self->filters.end());
  });
  return S_OK;
}

HRESULT TFakeGraph::Disconnect(const ComPtr<IPin>& pin) {
  if (HRESULT hr = platform->Hit("Graph.Disconnect"); FAILED(hr)) return hr;
  auto p = std::dynamic_pointer_cast<TFakePin>(pin);
  if (!p) return E_POINTER;
  if (p->peer.expired()) return S_FALSE;
  p->peer.reset();
  return S_OK;
}

HRESULT TFakeGraph::Run() {
  return AssignUnlessFailed(platform, "MediaControl.Run", state, TState::Running);
}
HRESULT TFakeGraph::Pause() {
  return AssignUnlessFailed(platform, "MediaControl.Pause", state, TState::Paused);
}
HRESULT TFakeGraph::Stop() {
  return AssignUnlessFailed(platform, "MediaControl.Stop", state, TState::Stopped);
}

HRESULT TFakeGraph::SetTimeFormat(const GUID& format) {
  if (HRESULT hr = platform->Hit("MediaSeeking.SetTimeFormat"); FAILED(hr)) return hr;
  return format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}
HRESULT TFakeGraph::GetDuration(REFERENCE_TIME& d) {
  if (HRESULT hr = platform->Hit("MediaSeeking.GetDuration"); FAILED(hr)) return hr;
  d = rendered ? platform->Duration : 0;
  return S_OK;
}
HRESULT TFakeGraph::GetCurrentPosition(REFERENCE_TIME& p) {
  return AssignUnlessFailed(platform, "MediaSeeking.GetCurrentPosition", p, position);
}
HRESULT TFakeGraph::SetPositions(REFERENCE_TIME* current, uint32_t flags, REFERENCE_TIME*, uint32_t) {
  if (HRESULT hr = platform->Hit("MediaSeeking.SetPositions"); FAILED(hr)) return hr;
  lastSeekFlags = flags;
  position = *current;
  // Key frames every second.
  if (flags & AM_SEEKING_SeekToKeyFrame) position -= position % 10000000;
  return S_OK;
}
HRESULT TFakeGraph::SetRate(double r) {
  return AssignUnlessFailed(platform, "MediaSeeking.SetRate", rate, r);
}
HRESULT TFakeGraph::GetRate(double& r) {
  return AssignUnlessFailed(platform, "MediaSeeking.GetRate", r, rate);
}

HRESULT TFakeGraph::SetNotifyWindow(QObject* target, long message, intptr_t) {
  if (HRESULT hr = platform->Hit("MediaEventEx.SetNotifyWindow"); FAILED(hr)) return hr;
  notifyTarget = target;
  notifyMessage = message;
  return S_OK;
}
HRESULT TFakeGraph::GetEvent(long& code, intptr_t& p1, intptr_t& p2, long) {
  if (HRESULT hr = platform->Hit("MediaEventEx.GetEvent"); FAILED(hr)) return hr;
  if (events.empty()) return E_ABORT;
  code = events.front();
  events.pop_front();
  p1 = p2 = 0;
  return S_OK;
}
HRESULT TFakeGraph::FreeEventParams(long, intptr_t, intptr_t) {
  if (HRESULT hr = platform->Hit("MediaEventEx.FreeEventParams"); FAILED(hr)) return hr;
  ++eventsFreed;
  return S_OK;
}
void TFakeGraph::PostEvents(const std::vector<long>& codes) {
  events.insert(events.end(), codes.begin(), codes.end());
  if (notifyTarget) QCoreApplication::postEvent(notifyTarget, new QEvent(QEvent::Type(notifyMessage)));
}

HRESULT TFakeGraph::put_WindowStyle(long s) {
  return AssignUnlessFailed(platform, "VideoWindow.put_WindowStyle", style, s);
}
HRESULT TFakeGraph::put_Owner(OAHWND o) {
  return AssignUnlessFailed(platform, "VideoWindow.put_Owner", owner, o);
}
HRESULT TFakeGraph::put_Visible(long v) {
  return AssignUnlessFailed(platform, "VideoWindow.put_Visible", visible, v);
}
HRESULT TFakeGraph::get_Visible(long& v) {
  v = visible;
  return platform->Hit("VideoWindow.get_Visible");
}
HRESULT TFakeGraph::put_MessageDrain(OAHWND d) {
  return AssignUnlessFailed(platform, "VideoWindow.put_MessageDrain", drain, d);
}
HRESULT TFakeGraph::SetWindowPosition(long l, long t, long w, long h) {
  if (HRESULT hr = platform->Hit("VideoWindow.SetWindowPosition"); FAILED(hr)) return hr;
  left = l, top = t, width = w, height = h;
  return S_OK;
}
HRESULT TFakeGraph::GetVideoSize(long& w, long& h) {
  if (HRESULT hr = platform->Hit("BasicVideo.GetVideoSize"); FAILED(hr)) return hr;
  if (!FilterNamed("Video Renderer")) return E_NOINTERFACE;
  w = 320;
  h = 240;
  return S_OK;
}
HRESULT TFakeGraph::get_Volume(long& v) {
  v = volume;
  return platform->Hit("BasicAudio.get_Volume");
}
HRESULT TFakeGraph::put_Volume(long v) {
  return AssignUnlessFailed(platform, "BasicAudio.put_Volume", volume, v);
}
HRESULT TFakeGraph::get_Balance(long& b) {
  b = balance;
  return platform->Hit("BasicAudio.get_Balance");
}
HRESULT TFakeGraph::put_Balance(long b) {
  return AssignUnlessFailed(platform, "BasicAudio.put_Balance", balance, b);
}
HRESULT TFakeGraph::get_CurrentPosition(double& seconds) {
  seconds = double(position) / 1e7;
  return platform->Hit("MediaPosition.get_CurrentPosition");
}
HRESULT TFakeGraph::Step(uint32_t frames, const ComPtr<IUnknown>&) {
  if (HRESULT hr = platform->Hit("FrameStep.Step"); FAILED(hr)) return hr;
  position += REFERENCE_TIME(frames) * 400000;
  return S_OK;
}
HRESULT TFakeGraph::SetSyncSource(const ComPtr<IUnknown>&) { return platform->Hit("MediaFilter.SetSyncSource"); }
HRESULT TFakeGraph::QueryVersion(long& v) {
  v = version;
  return platform->Hit("GraphVersion.QueryVersion");
}
