#include "platform/media/gstgraph.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>

#include "platform/media/dsound.h"
#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/videowidget.h"

// Frames reach the relay from the appsink's streaming thread.
struct TFrameSlot {
  std::mutex lock;
  TGstRef<GstSample> sample;
  bool posted = false;
  QObject* relay = nullptr;
};

namespace {

using Clock = std::chrono::steady_clock;

// Events the relay receives from streaming threads.
const QEvent::Type kPadsEvent = QEvent::Type(QEvent::User + 0x3A1);
const QEvent::Type kFrameEvent = QEvent::Type(QEvent::User + 0x3A2);

// How long a state change may take before the call gives up.
constexpr GstClockTime kStateTimeout = 20 * GST_SECOND;
constexpr auto kRenderTimeout = std::chrono::seconds(30);

// Makes a sink and checks that it can open its device. Probed once per
// process: a machine either has the device or it does not.
QByteArray FirstWorkingSink(std::initializer_list<const char*> candidates) {
  for (const char* f : candidates) {
    GstElement* e = gst_element_factory_make(f, nullptr);
    if (!e) continue;
    gst_object_ref_sink(e);
    const GstStateChangeReturn r = gst_element_set_state(e, GST_STATE_READY);
    gst_element_set_state(e, GST_STATE_NULL);
    gst_object_unref(e);
    if (r != GST_STATE_CHANGE_FAILURE) return QByteArray(f);
  }
  return {};
}

const QByteArray& AudioSinkFactory() {
  static const QByteArray name = FirstWorkingSink({"pulsesink", "alsasink"});
  return name;
}

const QByteArray& OverlaySinkFactory() {
  static const QByteArray name = FirstWorkingSink({"glimagesink", "ximagesink"});
  return name;
}

GstElement* Make(const char* factory) {
  GstElement* e = gst_element_factory_make(factory, nullptr);
  return e;
}

// Links two elements of a renderer chain by their fixed pads. The parts are
// known to fit (raw streams throughout), so only the templates are compared:
// a full check queries the caps of everything downstream for every link and
// was most of the cost of giving a stream its renderer.
void LinkStatic(GstElement* from, GstElement* to) {
  TGstRef<GstPad> out = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(from, "src"));
  TGstRef<GstPad> in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(to, "sink"));
  if (out && in) gst_pad_link_full(out.get(), in.get(), GST_PAD_LINK_CHECK_TEMPLATE_CAPS);
}

GstPadProbeReturn HoldPad(GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }

enum class TStreamKind { Video, Audio, Other };

TStreamKind KindOf(GstCaps* caps) {
  if (!caps || gst_caps_get_size(caps) == 0) return TStreamKind::Other;
  const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (g_str_has_prefix(name, "video/")) return TStreamKind::Video;
  if (g_str_has_prefix(name, "audio/")) return TStreamKind::Audio;
  return TStreamKind::Other;
}

void DeliverSample(GstAppSink* sink, gpointer user, bool preroll) {
  auto* slot = static_cast<TFrameSlot*>(user);
  GstSample* s = preroll ? gst_app_sink_pull_preroll(sink) : gst_app_sink_pull_sample(sink);
  if (!s) return;
  std::lock_guard<std::mutex> l(slot->lock);
  slot->sample = TGstRef<GstSample>::Adopt(s);
  if (!slot->posted) {
    slot->posted = true;
    QCoreApplication::postEvent(slot->relay, new QEvent(kFrameEvent));
  }
}

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer user) {
  DeliverSample(sink, user, false);
  return GST_FLOW_OK;
}

GstFlowReturn OnNewPreroll(GstAppSink* sink, gpointer user) {
  DeliverSample(sink, user, true);
  return GST_FLOW_OK;
}

// A frame's pixels stay in the decoder's buffer while a picture shows them;
// copying every frame of a film cost as much as converting it.
struct TMappedFrame {
  TGstRef<GstSample> sample;
  GstMapInfo map{};
  static void Release(void* self) {
    auto* f = static_cast<TMappedFrame*>(self);
    gst_buffer_unmap(gst_sample_get_buffer(f->sample.get()), &f->map);
    delete f;
  }
};

QImage ImageFromSample(TGstRef<GstSample> sample) {
  GstCaps* caps = gst_sample_get_caps(sample.get());
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  if (!caps || !buffer) return {};
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  int w = 0, h = 0;
  gst_structure_get_int(s, "width", &w);
  gst_structure_get_int(s, "height", &h);
  auto* frame = new TMappedFrame{std::move(sample)};
  if (w <= 0 || h <= 0 || !gst_buffer_map(buffer, &frame->map, GST_MAP_READ)) {
    delete frame;
    return {};
  }
  const int stride = int(frame->map.size / size_t(h));
  if (stride < w * 4) {
    TMappedFrame::Release(frame);
    return {};
  }
  // Read-only pixels: anyone who paints on the picture gets a copy first.
  return QImage(static_cast<const uchar*>(frame->map.data), w, h, stride, QImage::Format_RGB32,
                &TMappedFrame::Release, frame);
}

}  // namespace

// ---- relay ----

bool TGraphRelay::event(QEvent* e) {
  if (e->type() == kPadsEvent) {
    graph_->LinkPendingPads();
    return true;
  }
  if (e->type() == kFrameEvent) {
    TFrameSlot* slot = graph_->frames_.get();
    TGstRef<GstSample> sample;
    {
      std::lock_guard<std::mutex> l(slot->lock);
      sample = std::move(slot->sample);
      slot->posted = false;
    }
    if (sample && graph_->video_) graph_->video_->SetFrame(ImageFromSample(std::move(sample)));
    return true;
  }
  return QObject::event(e);
}

// ---- enumerator of the graph's filters ----

namespace {
class TGstEnumFilters : public TSnapshotEnum<IEnumFilters, IBaseFilter> {
 public:
  explicit TGstEnumFilters(std::weak_ptr<TGstGraph> graph)
      : TSnapshotEnum({}), graph_(std::move(graph)) {
    Snapshot();
  }
  // Starting again reads the graph as it is now, so that removals are seen.
  HRESULT Reset() override {
    Snapshot();
    return TSnapshotEnum::Reset();
  }

 private:
  void Snapshot() {
    items_.clear();
    if (auto g = graph_.lock())
      for (auto& e : g->Filters()) items_.push_back(TGstFilter::Wrap(e.get(), graph_));
  }
  std::weak_ptr<TGstGraph> graph_;
};
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
  g_signal_connect(pipeline_.get(), "deep-element-added", G_CALLBACK(&TGstGraph::OnDeepChange), this);
  g_signal_connect(pipeline_.get(), "deep-element-removed", G_CALLBACK(&TGstGraph::OnDeepChange), this);
}

TGstGraph::~TGstGraph() {
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

void TGstGraph::Wake() {
  {
    std::lock_guard<std::mutex> l(lock_);
    ++wakeups_;
  }
  wake_.notify_all();
}

// ---- building ----

TGstRef<GstElement> TGstGraph::MakeVideoSink() {
  const bool windowSystem = QGuiApplication::platformName() == QLatin1String("xcb");
  const QByteArray overlay = windowSystem ? OverlaySinkFactory() : QByteArray();
  if (!video_) video_ = new TVideoWidget(!overlay.isEmpty());
  if (!overlay.isEmpty()) {
    GstElement* sink = Make(overlay.constData());
    if (sink) {
      g_object_set(sink, "force-aspect-ratio", FALSE, "handle-events", FALSE, nullptr);
      gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), guintptr(video_->OverlayHandle()));
      TGstRef<GstElement> ref = TGstRef<GstElement>::Share(sink);
      GstElement* raw = sink;
      video_->OnExpose = [raw] { gst_video_overlay_expose(GST_VIDEO_OVERLAY(raw)); };
      return ref;
    }
  }
  // No window system: the widget paints the frames itself.
  GstElement* sink = Make("appsink");
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_caps_from_string("video/x-raw,format=BGRx"));
  g_object_set(sink, "caps", caps.get(), "sync", TRUE, "max-buffers", 2u, "drop", FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &OnNewSample;
  callbacks.new_preroll = &OnNewPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, frames_.get(), nullptr);
  return TGstRef<GstElement>::Share(sink);
}

TGstRef<GstElement> TGstGraph::MakeRendererChain(GstCaps* caps) {
  const TStreamKind kind = KindOf(caps);
  TChain c;
  GstElement* bin = gst_bin_new(nullptr);
  c.bin = TGstRef<GstElement>::Share(bin);
  std::vector<GstElement*> parts;
  parts.push_back(Make("queue"));
  if (kind == TStreamKind::Video) {
    c.video = true;
    SetElementRole(bin, TElementRole::VideoRenderer);
    parts.push_back(Make("videoconvert"));
    GstElement* balance = Make("videobalance");
    SetElementRole(balance, TElementRole::VideoBalance);
    c.balance = TGstRef<GstElement>::Share(balance);
    parts.push_back(balance);
    c.sink = MakeVideoSink();
    parts.push_back(c.sink.get());
  } else if (kind == TStreamKind::Audio) {
    c.audio = true;
    SetElementRole(bin, TElementRole::AudioRenderer);
    parts.push_back(Make("audioconvert"));
    parts.push_back(Make("audioresample"));
    GstElement* format = Make("capsfilter");
    if (int rate = PrimaryAudioRate(); rate > 0) {
      TGstRef<GstCaps> fixed = TGstRef<GstCaps>::Adopt(gst_caps_new_simple(
          "audio/x-raw", "format", G_TYPE_STRING, "S16LE", "channels", G_TYPE_INT, 2, "rate",
          G_TYPE_INT, rate, nullptr));
      g_object_set(format, "caps", fixed.get(), nullptr);
    }
    parts.push_back(format);
    c.volume = TGstRef<GstElement>::Share(Make("volume"));
    parts.push_back(c.volume.get());
    c.panorama = TGstRef<GstElement>::Share(Make("audiopanorama"));
    parts.push_back(c.panorama.get());
    // Without a sound device the stream still plays, silently and in time.
    const QByteArray& device = AudioSinkFactory();
    GstElement* sink = device.isEmpty() ? nullptr : Make(device.constData());
    if (!sink) {
      sink = Make("fakesink");
      g_object_set(sink, "sync", TRUE, nullptr);
    }
    c.sink = TGstRef<GstElement>::Share(sink);
    parts.push_back(sink);
  } else {
    GstElement* sink = Make("fakesink");
    // Sparse streams (subtitles) must not hold up the preroll.
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    c.sink = TGstRef<GstElement>::Share(sink);
    parts.push_back(sink);
  }
  for (GstElement* e : parts) gst_bin_add(GST_BIN(bin), e);
  for (size_t i = 0; i + 1 < parts.size(); ++i) LinkStatic(parts[i], parts[i + 1]);
  TGstRef<GstPad> target = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(parts.front(), "sink"));
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", target.get()));
  if (noClock_) g_object_set(c.sink.get(), "sync", FALSE, nullptr);
  ApplyAudioSettings(c);
  gst_bin_add(GST_BIN(pipeline_.get()), bin);
  gst_element_sync_state_with_parent(bin);
  chains_.push_back(c);
  return c.bin;
}

void TGstGraph::ApplyAudioSettings(const TChain& c) const {
  if (!c.audio) return;
  const double gain = volume_ <= -10000 ? 0.0 : std::pow(10.0, double(volume_) / 2000.0);
  g_object_set(c.volume.get(), "volume", gain, nullptr);
  g_object_set(c.panorama.get(), "panorama", float(balance_) / 10000.0f, nullptr);
}

void TGstGraph::LinkPendingPads() {
  std::deque<TPendingPad> pads;
  {
    std::lock_guard<std::mutex> l(lock_);
    pads.swap(pendingPads_);
  }
  for (TPendingPad& p : pads) {
    TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(p.pad.get()));
    if (!caps) caps = TGstRef<GstCaps>::Adopt(gst_pad_query_caps(p.pad.get(), nullptr));
    const TStreamKind kind = KindOf(caps.get());
    // A restarted source exposes its streams again: they go back to the
    // renderers that lost them.
    TGstRef<GstElement> target;
    for (TChain& c : chains_) {
      const TStreamKind ck = c.video ? TStreamKind::Video : c.audio ? TStreamKind::Audio : TStreamKind::Other;
      TGstRef<GstPad> sink = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(c.bin.get(), "sink"));
      if (ck == kind && sink && !gst_pad_is_linked(sink.get())) {
        target = c.bin;
        break;
      }
    }
    if (!target) target = MakeRendererChain(caps.get());
    TGstRef<GstPad> sink = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(target.get(), "sink"));
    // A forced overlay mixer in the graph takes the first picture stream.
    GstElement* mixer = nullptr;
    if (kind == TStreamKind::Video)
      for (auto& e : Filters())
        if (ElementRole(e.get()) == TElementRole::OverlayMixer) {
          TGstRef<GstPad> in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(e.get(), "sink"));
          if (in && !gst_pad_is_linked(in.get())) mixer = e.get();
        }
    if (mixer) {
      TGstRef<GstPad> in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(mixer, "sink"));
      TGstRef<GstPad> out = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(mixer, "src"));
      gst_element_sync_state_with_parent(mixer);
      gst_pad_link(p.pad.get(), in.get());
      gst_pad_link(out.get(), sink.get());
    } else {
      gst_pad_link(p.pad.get(), sink.get());
    }
    gst_pad_remove_probe(p.pad.get(), p.probe);
  }
}

bool TGstGraph::HasPlayableChain() const {
  for (const TChain& c : chains_)
    if (c.video || c.audio) return true;
  return false;
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

HRESULT TGstGraph::FailRender(HRESULT hr) {
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  {
    std::lock_guard<std::mutex> l(lock_);
    for (auto& p : pendingPads_) gst_pad_remove_probe(p.pad.get(), p.probe);
    pendingPads_.clear();
    events_.clear();
    errorsAnswered_ = errorsPosted_;
  }
  for (auto& s : sources_) {
    g_signal_handlers_disconnect_by_data(s.get(), this);
    gst_bin_remove(GST_BIN(pipeline_.get()), s.get());
  }
  for (auto& c : chains_) gst_bin_remove(GST_BIN(pipeline_.get()), c.bin.get());
  sources_.clear();
  chains_.clear();
  return hr;
}

// Brings the pipeline to PAUSED, giving every stream that appears on the way
// its renderer, until the first frame waits in each renderer.
HRESULT TGstGraph::WaitForState(GstClockTime timeout) {
  const auto deadline = Clock::now() + std::chrono::nanoseconds(timeout);
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
    if (r == GST_STATE_CHANGE_FAILURE) return TakeBusError();
    if (Clock::now() >= deadline) return VFW_E_TIMEOUT;
    if (expectingPads) {
      std::unique_lock<std::mutex> l(lock_);
      wake_.wait_for(l, std::chrono::milliseconds(20), [&] { return wakeups_ != seen; });
    }
  }
}

HRESULT TGstGraph::RenderFile(const QString& file, const QString*) {
  if (!EnsureGStreamer()) return E_FAIL;
  if (!QFile::exists(file)) {
    RecordPlatformErrorText(HRESULT_FILE_NOT_FOUND,
                            QStringLiteral("The file \"%1\" does not exist.").arg(file));
    return HRESULT_FILE_NOT_FOUND;
  }
  const QByteArray local = QFile::encodeName(file);
  GError* uriError = nullptr;
  TGString uri(gst_filename_to_uri(local.constData(), &uriError));
  if (uriError) {
    const HRESULT hr = HresultFromGError(uriError);
    g_clear_error(&uriError);
    return hr;
  }
  GstElement* source = Make("uridecodebin");
  if (!source) return VFW_E_CANNOT_RENDER;
  g_object_set(source, "uri", uri.get(), nullptr);
  g_signal_connect(source, "pad-added", G_CALLBACK(&TGstGraph::OnPadAdded), this);
  g_signal_connect(source, "no-more-pads", G_CALLBACK(&TGstGraph::OnNoMorePads), this);
  sources_.push_back(TGstRef<GstElement>::Share(source));
  gst_bin_add(GST_BIN(pipeline_.get()), source);
  {
    std::lock_guard<std::mutex> l(lock_);
    noMorePads_ = false;
    errorsAnswered_ = errorsPosted_;
  }
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    return FailRender(TakeBusError());
  const HRESULT hr = WaitForState(std::chrono::duration_cast<std::chrono::nanoseconds>(kRenderTimeout).count());
  if (FAILED(hr)) return FailRender(hr);
  if (!HasPlayableChain()) {
    RecordPlatformErrorText(VFW_E_CANNOT_RENDER,
                            QStringLiteral("The file holds no stream that can be played."));
    return FailRender(VFW_E_CANNOT_RENDER);
  }
  // Rendered means stopped at the start, with the first picture ready.
  stopped_ = true;
  stoppedPositionNs_ = 0;
  return S_OK;
}

HRESULT TGstGraph::AddFilter(const ComPtr<IBaseFilter>& filter, const QString& name) {
  auto f = std::dynamic_pointer_cast<TGstFilter>(filter);
  if (!f) return E_POINTER;
  GstElement* e = f->Element();
  if (GST_OBJECT_PARENT(e)) return Contains(e) ? S_OK : E_INVALIDARG;
  if (!name.isEmpty()) {
    gst_object_set_name(GST_OBJECT(e), name.toUtf8().constData());
    f->Name = name;
  }
  if (!gst_bin_add(GST_BIN(pipeline_.get()), e)) return E_FAIL;
  f->SetGraph(weak_from_this());
  gst_element_sync_state_with_parent(e);
  return S_OK;
}

bool TGstGraph::Contains(GstElement* element) const {
  TGstRef<GstObject> p = TGstRef<GstObject>::Adopt(gst_object_get_parent(GST_OBJECT(element)));
  while (p) {
    if (p.get() == GST_OBJECT(pipeline_.get())) return true;
    p = TGstRef<GstObject>::Adopt(gst_object_get_parent(p.get()));
  }
  return false;
}

std::vector<TGstRef<GstElement>> TGstGraph::Filters() const {
  return LeafElements(GST_BIN(pipeline_.get()));
}

void TGstGraph::EnsureStopped() {
  GstState state = GST_STATE_NULL;
  gst_element_get_state(pipeline_.get(), &state, nullptr, 0);
  if (state == GST_STATE_NULL && GST_STATE_TARGET(pipeline_.get()) == GST_STATE_NULL) return;
  REFERENCE_TIME position = 0;
  GetCurrentPosition(position);
  stoppedPositionNs_ = position * 100;
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  stopped_ = true;
}

// A top-level element of our own can be unhooked while the pipeline runs; an
// element inside the automatic decoder can only be touched at rest.
static bool IsTopLevel(GstElement* pipeline, GstElement* e) {
  return GST_OBJECT_PARENT(e) == GST_OBJECT(pipeline);
}

HRESULT TGstGraph::RemoveFilter(const ComPtr<IBaseFilter>& filter) {
  auto f = std::dynamic_pointer_cast<TGstFilter>(filter);
  if (!f) return E_POINTER;
  GstElement* e = f->Element();
  // Stopping lets the automatic decoder drop its elements: one that is in no
  // bin any more is already gone.
  if (!GST_OBJECT_PARENT(e)) return S_FALSE;
  if (!Contains(e)) return VFW_E_NOT_IN_GRAPH;
  if (!IsTopLevel(pipeline_.get(), e)) EnsureStopped();
  TGstRef<GstObject> parent = TGstRef<GstObject>::Adopt(gst_object_get_parent(GST_OBJECT(e)));
  if (!parent) return S_OK;  // the decoder let it go when it stopped
  gst_element_set_locked_state(e, TRUE);
  gst_element_set_state(e, GST_STATE_NULL);
  // Its links go with it.
  GST_OBJECT_LOCK(e);
  std::vector<TGstRef<GstPad>> pads;
  for (GList* l = e->pads; l; l = l->next) pads.push_back(TGstRef<GstPad>::Share(GST_PAD(l->data)));
  GST_OBJECT_UNLOCK(e);
  for (auto& pad : pads) {
    TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(pad.get()));
    if (!peer) continue;
    if (GST_PAD_DIRECTION(pad.get()) == GST_PAD_SRC) gst_pad_unlink(pad.get(), peer.get());
    else gst_pad_unlink(peer.get(), pad.get());
  }
  gst_bin_remove(GST_BIN(parent.get()), e);
  gst_element_set_locked_state(e, FALSE);
  std::erase_if(chains_, [e](const TChain& c) { return c.bin.get() == e; });
  std::erase_if(sources_, [e, this](const TGstRef<GstElement>& s) {
    if (s.get() != e) return false;
    g_signal_handlers_disconnect_by_data(e, this);
    return true;
  });
  return S_OK;
}

HRESULT TGstGraph::EnumFilters(ComPtr<IEnumFilters>& filters) {
  filters = std::make_shared<TGstEnumFilters>(weak_from_this());
  return S_OK;
}

HRESULT TGstGraph::Disconnect(const ComPtr<IPin>& pin) {
  auto p = std::dynamic_pointer_cast<TGstPin>(pin);
  if (!p) return E_POINTER;
  GstPad* pad = p->Pad();
  // The decoder drops its own links (and elements) when the graph stops, so
  // a pin may already be free by the time its turn comes.
  if (!gst_pad_is_linked(pad)) return S_FALSE;
  TGstRef<GstElement> owner = TGstRef<GstElement>::Adopt(gst_pad_get_parent_element(pad));
  if (!owner || !Contains(owner.get())) return VFW_E_NOT_IN_GRAPH;
  if (!IsTopLevel(pipeline_.get(), owner.get())) EnsureStopped();
  TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(pad));
  if (!peer) return S_FALSE;
  if (GST_PAD_DIRECTION(pad) == GST_PAD_SRC) gst_pad_unlink(pad, peer.get());
  else gst_pad_unlink(peer.get(), pad);
  return S_OK;
}

// ---- control ----

// After the pipeline was taken to rest for a change, it is built up again and
// put back where it stood.
static bool AtRest(GstElement* pipeline) {
  return GST_STATE_TARGET(pipeline) <= GST_STATE_READY;
}

HRESULT TGstGraph::Run() {
  ForgetEarlierErrors();
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
  if (!gst_element_seek(pipeline_.get(), rate, GST_FORMAT_TIME, all, GST_SEEK_TYPE_SET, positionNs,
                        GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE))
    return E_FAIL;
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

// ---- video window ----

TVideoWidget* TGstGraph::VideoWidget() const { return video_.data(); }

TVideoWidget* VideoWidgetOf(const ComPtr<IGraphBuilder>& graph) {
  auto g = std::dynamic_pointer_cast<TGstGraph>(graph);
  return g ? g->VideoWidget() : nullptr;
}

HRESULT TGstGraph::NeedVideo() const {
  for (const TChain& c : chains_)
    if (c.video) return video_ ? S_OK : E_UNEXPECTED;
  return E_NOINTERFACE;
}

HRESULT TGstGraph::put_WindowStyle(long style) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  style_ = style;
  return S_OK;
}

HRESULT TGstGraph::put_Owner(OAHWND owner) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  const bool visible = video_->isVisible();
  owner_ = owner;
  video_->setParent(owner);
  video_->setVisible(visible && owner);
  // The native window may be new after the move; the sink follows it.
  for (const TChain& c : chains_)
    if (c.video && video_->NativeOverlay() && GST_IS_VIDEO_OVERLAY(c.sink.get()))
      gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(c.sink.get()), guintptr(video_->OverlayHandle()));
  return S_OK;
}

HRESULT TGstGraph::put_Visible(long visible) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  video_->setVisible(visible != OAFALSE);
  return S_OK;
}

HRESULT TGstGraph::get_Visible(long& visible) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  visible = video_->isVisible() ? OATRUE : OAFALSE;
  return S_OK;
}

HRESULT TGstGraph::put_MessageDrain(OAHWND drain) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  video_->SetDrain(drain);
  return S_OK;
}

HRESULT TGstGraph::SetWindowPosition(long left, long top, long width, long height) {
  if (HRESULT hr = NeedVideo(); FAILED(hr)) return hr;
  if (width < 0 || height < 0) return E_INVALIDARG;
  video_->setGeometry(int(left), int(top), int(width), int(height));
  return S_OK;
}

HRESULT TGstGraph::GetVideoSize(long& width, long& height) {
  for (const TChain& c : chains_) {
    if (!c.video) continue;
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(c.bin.get(), "sink"));
    TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(pad ? gst_pad_get_current_caps(pad.get()) : nullptr);
    if (!caps) return VFW_E_NOT_CONNECTED;
    const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
    int w = 0, h = 0;
    if (!gst_structure_get_int(s, "width", &w) || !gst_structure_get_int(s, "height", &h))
      return VFW_E_NOT_CONNECTED;
    width = w;
    height = h;
    return S_OK;
  }
  return E_NOINTERFACE;
}

// ---- audio ----

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
