// Building the graph: a source for the file, a renderer chain for every
// stream it exposes, and the filter operations on what was built.
#include <QFile>
#include <algorithm>
#include <cstring>
#include <gst/video/gstvideodecoder.h>

#include "platform/media/dsound.h"
#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgrabber.h"
#include "platform/media/gstgraph.h"
#include "platform/media/gstgraphparts.h"

namespace gstgraph {

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

namespace {

const char* const kOwnThreadsKey = "kelvara-own-threads";

// Runs on the decoder's input before the decoder sees the event: the thread
// count is read when the decoder opens for a format.
GstPadProbeReturn OnDecoderCaps(GstPad* pad, GstPadProbeInfo* info, gpointer) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (!event || GST_EVENT_TYPE(event) != GST_EVENT_CAPS) return GST_PAD_PROBE_OK;
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  const QSize size = PictureSize(caps);
  if (size.isEmpty()) return GST_PAD_PROBE_OK;
  TGstRef<GstElement> decoder = TGstRef<GstElement>::Adopt(gst_pad_get_parent_element(pad));
  if (decoder && g_object_get_data(G_OBJECT(decoder.get()), kOwnThreadsKey)) return GST_PAD_PROBE_OK;
  // Frame threads each hold pictures of their own: three threads kept about
  // 3 MB more of a 640x360 film resident, for a picture one thread decodes
  // in a millisecond or two. Larger pictures keep the decoder's own choice.
  const bool small = qint64(size.width()) * size.height() <= kOneThreadPicture;
  if (decoder) g_object_set(decoder.get(), "max-threads", small ? 1 : 0, nullptr);
  return GST_PAD_PROBE_OK;
}

}  // namespace

void KeepDecoderThreads(GstElement* decoder) {
  if (decoder) g_object_set_data(G_OBJECT(decoder), kOwnThreadsKey, GINT_TO_POINTER(1));
}

void TuneDecoderThreads(GstElement* element) {
  if (!GST_IS_VIDEO_DECODER(element)) return;
  GParamSpec* p = g_object_class_find_property(G_OBJECT_GET_CLASS(element), "max-threads");
  if (!p || p->value_type != G_TYPE_INT || !(p->flags & G_PARAM_WRITABLE)) return;
  TGstRef<GstPad> in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(element, "sink"));
  if (in) gst_pad_add_probe(in.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnDecoderCaps, nullptr, nullptr);
}

QSize PictureSize(GstCaps* caps) {
  const GstStructure* s = caps && gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
  int width = 0, height = 0;
  if (!s || !gst_structure_get_int(s, "width", &width) || !gst_structure_get_int(s, "height", &height))
    return {};
  return QSize(width, height);
}

TStreamKind KindOf(GstCaps* caps) {
  if (!caps || gst_caps_get_size(caps) == 0) return TStreamKind::Other;
  const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (g_str_has_prefix(name, "video/")) return TStreamKind::Video;
  if (g_str_has_prefix(name, "audio/")) return TStreamKind::Audio;
  return TStreamKind::Other;
}

}  // namespace gstgraph

using namespace gstgraph;

namespace {

const QByteArray& AudioSinkFactory() {
  static const QByteArray name = FirstWorkingSink({"pulsesink", "alsasink"});
  return name;
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

}  // namespace

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

TGstRef<GstElement> TGstGraph::MakeRendererChain(GstCaps* caps) {
  const TStreamKind kind = KindOf(caps);
  TChain c;
  GstElement* bin = gst_bin_new(nullptr);
  c.bin = TGstRef<GstElement>::Share(bin);
  std::vector<GstElement*> parts;
  GstElement* queue = NewElement("queue");
  // Decoded pictures are large (a 1080p frame is 3 MB) and the decoder fills
  // any room it is given: a queue of a second's worth held 25 of them. A few
  // frames decouple the decoder from the sink just as well.
  if (kind == TStreamKind::Video)
    g_object_set(queue, "max-size-buffers", 3u, "max-size-bytes", 0u, "max-size-time", guint64(0), nullptr);
  parts.push_back(queue);
  if (kind == TStreamKind::Video) {
    c.video = true;
    SetElementRole(bin, TElementRole::VideoRenderer);
    AddVideoParts(c, parts, caps);
  } else if (kind == TStreamKind::Audio) {
    c.audio = true;
    SetElementRole(bin, TElementRole::AudioRenderer);
    parts.push_back(NewElement("audioconvert"));
    parts.push_back(NewElement("audioresample"));
    GstElement* format = NewElement("capsfilter");
    if (int rate = PrimaryAudioRate(); rate > 0) {
      TGstRef<GstCaps> fixed = TGstRef<GstCaps>::Adopt(gst_caps_new_simple(
          "audio/x-raw", "format", G_TYPE_STRING, "S16LE", "channels", G_TYPE_INT, 2, "rate",
          G_TYPE_INT, rate, nullptr));
      g_object_set(format, "caps", fixed.get(), nullptr);
    }
    parts.push_back(format);
    c.volume = TGstRef<GstElement>::Share(NewElement("volume"));
    parts.push_back(c.volume.get());
    c.panorama = TGstRef<GstElement>::Share(NewElement("audiopanorama"));
    parts.push_back(c.panorama.get());
    // Without a sound device the stream still plays, silently and in time.
    const QByteArray& device = AudioSinkFactory();
    GstElement* sink = device.isEmpty() ? nullptr : NewElement(device.constData());
    if (!sink) {
      sink = NewElement("fakesink");
      g_object_set(sink, "sync", TRUE, nullptr);
    }
    c.sink = TGstRef<GstElement>::Share(sink);
    parts.push_back(sink);
  } else {
    GstElement* sink = NewElement("fakesink");
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

HRESULT TGstGraph::FailRender(HRESULT hr) {
  ClearGraph();
  return hr;
}

void TGstGraph::ClearGraph() {
  ReleaseHeld(true);
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
  GstElement* source = NewElement("uridecodebin");
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
  return FinishRender();
}

HRESULT TGstGraph::FinishRender() {
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
  ReleaseHeld(true);
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
  if (IsRetired(e)) return S_FALSE;
  if (!IsTopLevel(pipeline_.get(), e)) {
    // Stopping would make the automatic decoder drop every element it
    // made, the ones meant to stay as well; while it runs, the element is
    // retired instead.
    if (!AtRest(pipeline_.get())) {
      RetireElement(e);
      return S_OK;
    }
    EnsureStopped();
  } else if (std::any_of(sources_.begin(), sources_.end(), [e](const auto& s) { return s.get() == e; })) {
    // A part of the file's source may be waiting in a renderer that holds
    // its stream (nothing queues between a decoder fed straight from its
    // demuxer and the renderer): stopping it alone would wait for ever.
    EnsureStopped();
  }
  TGstRef<GstObject> parent = TGstRef<GstObject>::Adopt(gst_object_get_parent(GST_OBJECT(e)));
  if (!parent) return S_OK;  // the decoder let it go when it stopped
  GST_OBJECT_LOCK(e);
  std::vector<TGstRef<GstPad>> pads;
  for (GList* l = e->pads; l; l = l->next) pads.push_back(TGstRef<GstPad>::Share(GST_PAD(l->data)));
  GST_OBJECT_UNLOCK(e);
  // Held before the element goes: what its feeder sends next must neither
  // fail on a missing link nor slip into whatever is linked in its place.
  for (auto& pad : pads) {
    if (GST_PAD_DIRECTION(pad.get()) != GST_PAD_SINK) continue;
    TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(pad.get()));
    if (peer) HoldWhileStopped(peer.get());
  }
  ReleaseHeld(true, e);
  gst_element_set_locked_state(e, TRUE);
  gst_element_set_state(e, GST_STATE_NULL);
  // Its links go with it.
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
  GstPad* out = GST_PAD_DIRECTION(pad) == GST_PAD_SRC ? pad : peer.get();
  GstPad* in = out == pad ? peer.get() : pad;
  HoldWhileStopped(out);
  gst_pad_unlink(out, in);
  return S_OK;
}

