#include "platform/media/gstgraph.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/media/gsterror.h"
#include "platform/media/gstgraphparts.h"
#include "platform/media/videowidget.h"

using namespace gstgraph;

namespace {
GstPadProbeReturn HoldPad(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }
}  // namespace

// ---- graph ----

TGstGraph::TGstGraph() : frames_(std::make_shared<TFrameSlot>()) {
  EnsureGStreamer();
  frames_->relay = &relay_;
  GstElement* pipeline = gst_pipeline_new(nullptr);
  gst_object_ref_sink(pipeline);
  pipeline_ = TGstRef<GstElement>::Adopt(pipeline);
  bus_ = TGstRef<GstBus>::Adopt(gst_element_get_bus(pipeline_.get()));
  gst_bus_set_sync_handler(bus_.get(), &TGstGraph::OnBusSync, this, nullptr);
  g_signal_connect(pipeline_.get(), "deep-element-added", G_CALLBACK(&TGstGraph::OnDeepAdded), this);
  g_signal_connect(pipeline_.get(), "deep-element-removed", G_CALLBACK(&TGstGraph::OnDeepChange), this);
}

TGstGraph::~TGstGraph() {
  ReleaseHeld(true);
  // Streaming threads end here; nothing posts to this object afterwards.
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  g_signal_handlers_disconnect_by_data(pipeline_.get(), this);
  for (auto& s : sources_) g_signal_handlers_disconnect_by_data(s.get(), this);
  gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr);
  gst_bus_set_flushing(bus_.get(), TRUE);
  {
    std::lock_guard<std::mutex> l(lock_);
    for (auto& p : pendingPads_) gst_pad_remove_probe(p.pad.get(), p.probe);
    pendingPads_.clear();
    events_.clear();  // each holds its source element
  }
  chains_.clear();
  sources_.clear();
  delete video_.data();
}

HRESULT TGstGraph::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  out.reset();
  auto self = shared_from_this();
  const auto is = [iid](const char* n) { return std::strcmp(iid, n) == 0; };
  if (is(IGraphBuilder::IID)) out = std::static_pointer_cast<IGraphBuilder>(self);
  else if (is(IMediaControl::IID)) out = std::static_pointer_cast<IMediaControl>(self);
  else if (is(IMediaSeeking::IID)) out = std::static_pointer_cast<IMediaSeeking>(self);
  else if (is(IMediaEventEx::IID)) out = std::static_pointer_cast<IMediaEventEx>(self);
  else if (is(IVideoWindow::IID)) out = std::static_pointer_cast<IVideoWindow>(self);
  else if (is(IBasicVideo::IID)) out = std::static_pointer_cast<IBasicVideo>(self);
  else if (is(IBasicAudio::IID)) out = std::static_pointer_cast<IBasicAudio>(self);
  else if (is(IMediaPosition::IID)) out = std::static_pointer_cast<IMediaPosition>(self);
  else if (is(IVideoFrameStep::IID)) out = std::static_pointer_cast<IVideoFrameStep>(self);
  else if (is(IMediaFilter::IID)) out = std::static_pointer_cast<IMediaFilter>(self);
  else if (is(IGraphVersion::IID)) out = std::static_pointer_cast<IGraphVersion>(self);
  else if (is(IDirectDecoding::IID)) out = std::static_pointer_cast<IDirectDecoding>(self);
  return out ? S_OK : E_NOINTERFACE;
}

// ---- streaming-thread callbacks: they record and post, nothing else ----

// A message the sync handler drops is its to unref: the bus lets go of it
// only on the pass path. Each one holds its source element, so a dropped
// message left alive keeps the whole pipeline alive with it.
static GstBusSyncReply Drop(GstMessage* m) {
  gst_message_unref(m);
  return GST_BUS_DROP;
}

GstBusSyncReply TGstGraph::OnBusSync(GstBus*, GstMessage* m, gpointer data) {
  auto* self = static_cast<TGstGraph*>(data);
  switch (GST_MESSAGE_TYPE(m)) {
    case GST_MESSAGE_ASYNC_DONE:
      self->Wake();
      return Drop(m);
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_STEP_DONE: {
      // The graph keeps its events itself: the bus would queue the message
      // only after this handler returns, and a notice sent from here could
      // be answered before that, find nothing, and the end of the film
      // would go unseen.
      {
        std::lock_guard<std::mutex> l(self->lock_);
        if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR) ++self->errorsPosted_;
        self->events_.push_back(TGstRef<GstMessage>::Adopt(m));
        if (self->notifyTarget_)
          QCoreApplication::postEvent(self->notifyTarget_,
                                      new QEvent(QEvent::Type(self->notifyMessage_)));
      }
      self->Wake();
      return GST_BUS_DROP;
    }
    default:
      // Everything else is of no interest to the graph's users; dropping it
      // keeps the bus from growing while nobody drains it.
      return Drop(m);
  }
}

void TGstGraph::OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* self = static_cast<TGstGraph*>(data);
  if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC) return;
  // The stream waits at its pad until the UI thread has given it a renderer.
  const gulong probe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, &HoldPad, nullptr, nullptr);
  {
    std::lock_guard<std::mutex> l(self->lock_);
    self->pendingPads_.push_back({TGstRef<GstPad>::Share(pad), probe});
  }
  self->Wake();
  QCoreApplication::postEvent(&self->relay_, new QEvent(kPadsEvent));
}

void TGstGraph::OnNoMorePads(GstElement*, gpointer data) {
  auto* self = static_cast<TGstGraph*>(data);
  {
    std::lock_guard<std::mutex> l(self->lock_);
    self->noMorePads_ = true;
  }
  self->Wake();
}

void TGstGraph::OnDeepChange(GstBin*, GstBin*, GstElement*, gpointer data) {
  static_cast<TGstGraph*>(data)->BumpVersion();
}

void TGstGraph::OnDeepAdded(GstBin* bin, GstBin* sub, GstElement* element, gpointer data) {
  TuneDecoderThreads(element);
  OnDeepChange(bin, sub, element, data);
}

void TGstGraph::Wake() {
  {
    std::lock_guard<std::mutex> l(lock_);
    ++wakeups_;
  }
  wake_.notify_all();
}


void TGstGraph::ForgetEarlierErrors() {
  std::lock_guard<std::mutex> l(lock_);
  errorsAnswered_ = errorsPosted_;
}

HRESULT TGstGraph::TakeBusError() {
  TGstRef<GstMessage> m;
  {
    std::lock_guard<std::mutex> l(lock_);
    // The errors posted since the call began are the last ones queued; the
    // first of them is the cause. Older ones belong to the event drain.
    uint64_t fresh = errorsPosted_ - errorsAnswered_;
    errorsAnswered_ = errorsPosted_;
    auto cause = events_.end();
    for (auto e = events_.end(); fresh > 0 && e != events_.begin();) {
      --e;
      if (GST_MESSAGE_TYPE(e->get()) != GST_MESSAGE_ERROR) continue;
      cause = e;
      --fresh;
    }
    if (cause == events_.end()) return E_FAIL;
    m = std::move(*cause);
    events_.erase(cause);
  }
  GError* error = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(m.get(), &error, &debug);
  const HRESULT hr = HresultFromGError(error);
  g_clear_error(&error);
  g_free(debug);
  return hr;
}

// ---- held streams ----

struct TGstGraph::THold {
  TGstRef<GstPad> pad;
  gulong dataProbe = 0, flushProbe = 0;
  std::mutex lock;
  std::condition_variable wake;
  bool released = false, drop = false;
  uint64_t flushes = 0;
};

namespace {

bool PadFlushing(GstPad* pad) {
  GST_OBJECT_LOCK(pad);
  const bool flushing = GST_PAD_IS_FLUSHING(pad);
  GST_OBJECT_UNLOCK(pad);
  return flushing;
}

}  // namespace

// The streaming thread waits here, on its own condition rather than as a
// blocked pad: a flush that starts and ends before a blocked pad's thread
// wakes would let the stale picture through into the new segment.
GstPadProbeReturn TGstGraph::OnHeldData(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* h = static_cast<std::shared_ptr<THold>*>(data)->get();
  bool pass = false;
  {
    std::unique_lock<std::mutex> l(h->lock);
    const uint64_t seen = h->flushes;
    // The pad's own flag is looked at too: an element taken down without a
    // flush passing through still ends the wait.
    while (!h->released && h->flushes == seen && !PadFlushing(pad))
      h->wake.wait_for(l, std::chrono::milliseconds(20));
    pass = h->released && !h->drop && h->flushes == seen;
  }
  if (pass) return GST_PAD_PROBE_OK;
  gst_mini_object_unref(GST_MINI_OBJECT(GST_PAD_PROBE_INFO_DATA(info)));
  GST_PAD_PROBE_INFO_DATA(info) = nullptr;
  GST_PAD_PROBE_INFO_FLOW_RETURN(info) = GST_FLOW_FLUSHING;
  return GST_PAD_PROBE_HANDLED;
}

GstPadProbeReturn TGstGraph::OnHeldFlush(GstPad*, GstPadProbeInfo* info, gpointer data) {
  GstEvent* e = GST_PAD_PROBE_INFO_EVENT(info);
  if (e && GST_EVENT_TYPE(e) == GST_EVENT_FLUSH_START) {
    auto* h = static_cast<std::shared_ptr<THold>*>(data)->get();
    std::lock_guard<std::mutex> l(h->lock);
    ++h->flushes;
    h->wake.notify_all();
  }
  return GST_PAD_PROBE_OK;
}

void TGstGraph::HoldWhileStopped(GstPad* out) {
  if (!stopped_ || AtRest(pipeline_.get()) || !out || GST_PAD_DIRECTION(out) != GST_PAD_SRC) return;
  if (std::any_of(held_.begin(), held_.end(), [out](const auto& h) { return h->pad.get() == out; })) return;
  auto h = std::make_shared<THold>();
  h->pad = TGstRef<GstPad>::Share(out);
  const auto keep = [](gpointer p) { delete static_cast<std::shared_ptr<THold>*>(p); };
  h->flushProbe = gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_EVENT_FLUSH, &TGstGraph::OnHeldFlush,
                                    new std::shared_ptr<THold>(h), keep);
  h->dataProbe = gst_pad_add_probe(out, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
                                   &TGstGraph::OnHeldData, new std::shared_ptr<THold>(h), keep);
  held_.push_back(std::move(h));
}

void TGstGraph::ReleaseHeld(bool drop, GstElement* of) {
  std::erase_if(held_, [&](const std::shared_ptr<THold>& h) {
    if (of) {
      TGstRef<GstElement> owner = TGstRef<GstElement>::Adopt(gst_pad_get_parent_element(h->pad.get()));
      if (owner.get() != of) return false;
    }
    {
      std::lock_guard<std::mutex> l(h->lock);
      h->released = true;
      h->drop = drop;
      h->wake.notify_all();
    }
    gst_pad_remove_probe(h->pad.get(), h->dataProbe);
    gst_pad_remove_probe(h->pad.get(), h->flushProbe);
    return true;
  });
}

// Brings the pipeline to PAUSED, giving every stream that appears on the way
// its renderer, until the first frame waits in each renderer.
HRESULT TGstGraph::WaitForState(GstClockTime timeout) {
  // Whatever is waited for needs the streams moving.
  ReleaseHeld();
  const auto deadline = Clock::now() + std::chrono::nanoseconds(timeout);
  bool askedAgain = false;
  for (;;) {
    LinkPendingPads();
    uint64_t seen = 0;
    bool expectingPads = false, failed = false;
    {
      std::lock_guard<std::mutex> l(lock_);
      seen = wakeups_;
      // Streams that came after the linking above are linked first: a
      // preroll without their renderers would leave them out.
      if (!pendingPads_.empty()) continue;
      expectingPads = !noMorePads_;
      failed = errorsPosted_ > errorsAnswered_;
    }
    if (failed) return TakeBusError();
    // While streams may still appear, the wait must come back to give them
    // renderers; otherwise the state change itself is waited for, in short
    // slices so that an error is not left waiting.
    const GstClockTime slice = expectingPads ? 0 : 10 * GST_MSECOND;
    GstState current = GST_STATE_VOID_PENDING, pending = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn r = gst_element_get_state(pipeline_.get(), &current, &pending, slice);
    if (r == GST_STATE_CHANGE_SUCCESS || r == GST_STATE_CHANGE_NO_PREROLL) return S_OK;
    if (r == GST_STATE_CHANGE_FAILURE) {
      bool reasonGiven = false;
      {
        std::lock_guard<std::mutex> l(lock_);
        reasonGiven = errorsPosted_ > errorsAnswered_;
      }
      // A failure that posted no reason comes from an element that was put
      // in or taken out while the graph changed state (the decoder benchmark
      // rebuilds a chain in the paused graph); asking the graph once more for
      // the state it is heading to settles the rest of it.
      if (!reasonGiven && !askedAgain) {
        askedAgain = true;
        gst_element_set_state(pipeline_.get(), GST_STATE_TARGET(pipeline_.get()));
        continue;
      }
      return TakeBusError();
    }
    if (Clock::now() >= deadline) return VFW_E_TIMEOUT;
    if (expectingPads) {
      std::unique_lock<std::mutex> l(lock_);
      wake_.wait_for(l, std::chrono::milliseconds(20), [&] { return wakeups_ != seen; });
    }
  }
}

// ---- control ----

HRESULT TGstGraph::Run() {
  ForgetEarlierErrors();
  ReleaseHeld();
  if (AtRest(pipeline_.get()) && !chains_.empty()) {
    if (HRESULT hr = Pause(); FAILED(hr)) return hr;
  }
  stopped_ = false;
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
    return TakeBusError();
  return S_OK;
}

HRESULT TGstGraph::Pause() {
  ForgetEarlierErrors();
  const bool restart = AtRest(pipeline_.get()) && !chains_.empty();
  if (restart) {
    std::lock_guard<std::mutex> l(lock_);
    noMorePads_ = false;
  }
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    return TakeBusError();
  HRESULT hr = WaitForState(kStateTimeout);
  if (FAILED(hr)) return hr;
  if (restart && stoppedPositionNs_ > 0) hr = SeekTo(stoppedPositionNs_, GST_SEEK_FLAG_ACCURATE, rate_);
  stopped_ = false;
  return hr;
}

HRESULT TGstGraph::Stop() {
  ForgetEarlierErrors();
  // Streaming halts where it is; the next Pause or Run goes on from there.
  GstState target = GST_STATE_TARGET(pipeline_.get());
  if (target > GST_STATE_PAUSED) {
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    WaitForState(kStateTimeout);
  }
  stopped_ = true;
  return S_OK;
}

// ---- seeking ----

HRESULT TGstGraph::SetTimeFormat(const GUID& format) {
  return format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

// A bare MPEG audio stream without a header frame states no length, yet its
// size and bit rate give one. Only the stream's parser can convert: further
// down, bytes are decoded samples and the answer would be ten times short.
gint64 TGstGraph::DurationFromParser() const {
  gint64 bytes = -1;
  if (!gst_element_query_duration(pipeline_.get(), GST_FORMAT_BYTES, &bytes) || bytes <= 0) return -1;
  for (auto& e : Filters()) {
    const gchar* klass = gst_element_class_get_metadata(GST_ELEMENT_GET_CLASS(e.get()), GST_ELEMENT_METADATA_KLASS);
    if (!klass || !std::strstr(klass, "Parser")) continue;
    TGstRef<GstPad> sink = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(e.get(), "sink"));
    gint64 ns = -1;
    if (sink && gst_pad_query_convert(sink.get(), GST_FORMAT_BYTES, bytes, GST_FORMAT_TIME, &ns) && ns >= 0)
      return ns;
  }
  return -1;
}

HRESULT TGstGraph::GetDuration(REFERENCE_TIME& duration) {
  gint64 ns = -1;
  if (!gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &ns) || ns < 0) {
    ns = DurationFromParser();
    if (ns < 0) {
      // A stream that states no length (a live or endless one) is no
      // failure: it plays, and its length reads as 0.
      duration = 0;
      return S_FALSE;
    }
  }
  duration = ns / 100;
  return S_OK;
}

HRESULT TGstGraph::GetCurrentPosition(REFERENCE_TIME& position) {
  gint64 ns = -1;
  if (AtRest(pipeline_.get())) {
    position = stoppedPositionNs_ / 100;
    return S_OK;
  }
  if (!gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &ns) || ns < 0) {
    position = stoppedPositionNs_ / 100;
    return S_OK;
  }
  position = ns / 100;
  return S_OK;
}

HRESULT TGstGraph::SeekTo(gint64 positionNs, GstSeekFlags flags, double rate) {
  ForgetEarlierErrors();
  const auto all = GstSeekFlags(GST_SEEK_FLAG_FLUSH | flags);
  const auto seek = [&] {
    return gst_element_seek(pipeline_.get(), rate, GST_FORMAT_TIME, all, GST_SEEK_TYPE_SET, positionNs,
                            GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
  };
  if (!seek()) {
    // A seek sent while the graph is still settling (a chain was just
    // rebuilt in it) can be refused; it is tried once more after the graph
    // has settled.
    if (HRESULT hr = WaitForState(kStateTimeout); FAILED(hr)) return hr;
    if (!seek()) return E_FAIL;
  }
  stoppedPositionNs_ = positionNs;
  return WaitForState(kStateTimeout);
}

HRESULT TGstGraph::SetPositions(REFERENCE_TIME* current, uint32_t currentFlags, REFERENCE_TIME*,
                                uint32_t) {
  const uint32_t how = currentFlags & AM_SEEKING_PositioningBitsMask;
  if (!current || how == AM_SEEKING_NoPositioning) return S_OK;
  REFERENCE_TIME target = *current;
  if (how == AM_SEEKING_RelativePositioning) {
    REFERENCE_TIME now = 0;
    GetCurrentPosition(now);
    target += now;
  } else if (how != AM_SEEKING_AbsolutePositioning) {
    return E_INVALIDARG;
  }
  if (target < 0) target = 0;
  if (AtRest(pipeline_.get())) {
    stoppedPositionNs_ = target * 100;
    return S_OK;
  }
  const GstSeekFlags flags = (currentFlags & AM_SEEKING_SeekToKeyFrame)
                                 ? GstSeekFlags(GST_SEEK_FLAG_KEY_UNIT | GST_SEEK_FLAG_SNAP_BEFORE)
                                 : GST_SEEK_FLAG_ACCURATE;
  return SeekTo(target * 100, flags, rate_);
}

HRESULT TGstGraph::SetRate(double rate) {
  if (!(rate > 0.0) || !std::isfinite(rate)) return E_INVALIDARG;
  if (rate == rate_) return S_OK;
  rate_ = rate;
  if (AtRest(pipeline_.get()) || chains_.empty()) return S_OK;
  REFERENCE_TIME now = 0;
  GetCurrentPosition(now);
  return SeekTo(now * 100, GST_SEEK_FLAG_ACCURATE, rate_);
}

HRESULT TGstGraph::GetRate(double& rate) {
  rate = rate_;
  if (AtRest(pipeline_.get())) return S_OK;
  TGstRef<GstQuery> q = TGstRef<GstQuery>::Adopt(gst_query_new_segment(GST_FORMAT_TIME));
  if (!gst_element_query(pipeline_.get(), q.get())) return S_OK;
  gst_query_parse_segment(q.get(), &rate, nullptr, nullptr, nullptr);
  return S_OK;
}

// ---- events ----

HRESULT TGstGraph::SetNotifyWindow(QObject* target, long message, intptr_t) {
  std::lock_guard<std::mutex> l(lock_);
  notifyTarget_ = target;
  notifyMessage_ = message;
  return S_OK;
}

HRESULT TGstGraph::GetEvent(long& code, intptr_t& param1, intptr_t& param2, long timeoutMs) {
  TGstRef<GstMessage> m;
  {
    std::unique_lock<std::mutex> l(lock_);
    const auto ready = [this] { return !events_.empty(); };
    if (timeoutMs < 0) wake_.wait(l, ready);
    else if (!wake_.wait_for(l, std::chrono::milliseconds(timeoutMs), ready)) return E_ABORT;
    m = std::move(events_.front());
    events_.pop_front();
  }
  param1 = param2 = 0;
  switch (GST_MESSAGE_TYPE(m.get())) {
    case GST_MESSAGE_EOS: code = EC_COMPLETE; break;
    case GST_MESSAGE_STEP_DONE: code = EC_STEP_COMPLETE; break;
    default: {
      GError* error = nullptr;
      gst_message_parse_error(m.get(), &error, nullptr);
      code = EC_ERRORABORT;
      param1 = HresultFromGError(error);
      g_clear_error(&error);
      break;
    }
  }
  return S_OK;
}

HRESULT TGstGraph::FreeEventParams(long, intptr_t, intptr_t) { return S_OK; }

// ---- audio ----

void TGstGraph::ApplyAudioSettings(const TChain& c) const {
  if (!c.audio) return;
  const double gain = volume_ <= -10000 ? 0.0 : std::pow(10.0, double(volume_) / 2000.0);
  g_object_set(c.volume.get(), "volume", gain, nullptr);
  g_object_set(c.panorama.get(), "panorama", float(balance_) / 10000.0f, nullptr);
}

HRESULT TGstGraph::get_Volume(long& volume) {
  volume = volume_;
  return S_OK;
}

HRESULT TGstGraph::put_Volume(long volume) {
  if (volume < -10000 || volume > 0) return E_INVALIDARG;
  volume_ = volume;
  bool any = false;
  for (const TChain& c : chains_) {
    ApplyAudioSettings(c);
    any = any || c.audio;
  }
  return any ? S_OK : E_NOTIMPL;
}

HRESULT TGstGraph::get_Balance(long& balance) {
  balance = balance_;
  return S_OK;
}

HRESULT TGstGraph::put_Balance(long balance) {
  if (balance < -10000 || balance > 10000) return E_INVALIDARG;
  balance_ = balance;
  bool any = false;
  for (const TChain& c : chains_) {
    ApplyAudioSettings(c);
    any = any || c.audio;
  }
  return any ? S_OK : E_NOTIMPL;
}

HRESULT TGstGraph::get_CurrentPosition(double& seconds) {
  REFERENCE_TIME t = 0;
  const HRESULT hr = GetCurrentPosition(t);
  seconds = double(t) / 1e7;
  return hr;
}

// ---- frame step ----

HRESULT TGstGraph::Step(uint32_t frames, const ComPtr<IUnknown>&) {
  if (frames == 0) return E_INVALIDARG;
  ForgetEarlierErrors();
  for (const TChain& c : chains_) {
    if (!c.video) continue;
    if (AtRest(pipeline_.get())) {
      if (HRESULT hr = Pause(); FAILED(hr)) return hr;
    }
    if (!gst_element_send_event(c.sink.get(),
                                gst_event_new_step(GST_FORMAT_BUFFERS, frames, 1.0, TRUE, FALSE)))
      return E_FAIL;
    return WaitForState(kStateTimeout);
  }
  return E_NOINTERFACE;
}

HRESULT TGstGraph::SetSyncSource(const ComPtr<IUnknown>& clock) {
  if (clock) return E_NOTIMPL;
  noClock_ = true;
  gst_pipeline_use_clock(GST_PIPELINE(pipeline_.get()), nullptr);
  for (const TChain& c : chains_) g_object_set(c.sink.get(), "sync", FALSE, nullptr);
  return S_OK;
}

HRESULT TGstGraph::QueryVersion(long& version) {
  version = version_.load();
  return S_OK;
}
