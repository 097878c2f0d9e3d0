// A graph for measuring a video decoder: the open file's demuxer and decoder,
// as the automatic decoder chose them, linked straight to each other. The
// automatic decoder puts a queue after every demuxer, and a queue hands each
// packet from the demuxer's thread to the decoder's; with small pictures that
// hand-over, and the parser in front of decoders that do not need one, cost
// a sixth of the rate the decoder itself reaches.
#include <QFile>
#include <algorithm>
#include <cstring>

#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgraph.h"
#include "platform/media/gstgraphparts.h"

using namespace gstgraph;

namespace {

const char* const kNextKey = "kelvara-direct-next";

bool HasKlass(GstElement* e, const char* word) {
  GstElementFactory* f = gst_element_get_factory(e);
  const char* klass = f ? gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_KLASS) : nullptr;
  return klass && std::strstr(klass, word);
}

QByteArray FactoryName(GstElement* e) {
  GstElementFactory* f = gst_element_get_factory(e);
  return f ? QByteArray(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f))) : QByteArray();
}

TGstRef<GstPad> FirstSinkPad(GstElement* e) {
  TGstRef<GstPad> pad;
  GST_OBJECT_LOCK(e);
  if (e->sinkpads) pad = TGstRef<GstPad>::Share(GST_PAD(e->sinkpads->data));
  GST_OBJECT_UNLOCK(e);
  return pad;
}

// An MPEG program or transport stream cuts pictures into packets that do not
// end where pictures end: its decoder sees whole pictures only through the
// parser.
bool CarriesSystemStream(GstElement* demuxer) {
  TGstRef<GstPad> in = FirstSinkPad(demuxer);
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(in ? gst_pad_get_current_caps(in.get()) : nullptr);
  // A demuxer that pulls its data is told no caps; the type finder before it
  // still holds what it found.
  if (!caps && in) {
    TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(in.get()));
    if (peer) caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(peer.get()));
  }
  if (!caps || gst_caps_get_size(caps.get()) == 0) return false;
  const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
  gboolean system = FALSE;
  return gst_structure_has_name(s, "video/mpegts") ||
         (gst_structure_get_boolean(s, "systemstream", &system) && system);
}

// One element of the path from the file to a decoder.
struct THop {
  QByteArray factory;
  QByteArray out;  // the name of its pad that feeds the next element
  bool demuxer = false, parser = false, systemStream = false;
  TGstRef<GstCaps> caps;  // what that pad carries
};

// The elements that carry the stream into `decoder`, from the first one after
// the type finder down to the decoder, queues and caps filters left out.
// `typefound` says whether the path began at the type finder, that is, the
// file is a bare stream with no demuxer of its own.
std::vector<THop> PathTo(GstElement* decoder, bool& typefound) {
  std::vector<THop> path;
  path.push_back({FactoryName(decoder), "src", false, false, false, {}});
  typefound = false;
  TGstRef<GstPad> in = FirstSinkPad(decoder);
  for (int guard = 0; in && guard < 32; ++guard) {
    TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(in.get()));
    if (!peer) break;
    TGstRef<GstElement> up = TGstRef<GstElement>::Adopt(gst_pad_get_parent_element(peer.get()));
    if (!up) break;  // the bin's own input: the source is next
    const QByteArray factory = FactoryName(up.get());
    TGString padName(gst_pad_get_name(peer.get()));
    if (factory == "typefind") {
      typefound = true;
      break;
    }
    if (factory == "multiqueue") {
      // Each of its streams goes from sink_N to src_N.
      QByteArray sink = QByteArray(padName.get());
      sink.replace("src_", "sink_");
      in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(up.get(), sink.constData()));
      continue;
    }
    if (factory == "queue" || factory == "queue2" || factory == "capsfilter") {
      in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(up.get(), "sink"));
      continue;
    }
    THop hop;
    hop.factory = factory;
    hop.out = QByteArray(padName.get());
    hop.demuxer = HasKlass(up.get(), "Demux");
    hop.parser = HasKlass(up.get(), "Parser") && !hop.demuxer;
    hop.systemStream = hop.demuxer && CarriesSystemStream(up.get());
    hop.caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(peer.get()));
    path.push_back(std::move(hop));
    in = FirstSinkPad(up.get());
  }
  std::reverse(path.begin(), path.end());
  return path;
}

// Whether a demuxer's stream says it still needs its parser.
bool SaysUnparsed(GstCaps* caps) {
  for (guint i = 0, n = gst_caps_get_size(caps); i < n; ++i) {
    const GstStructure* s = gst_caps_get_structure(caps, i);
    gboolean v = TRUE;
    if (gst_structure_get_boolean(s, "parsed", &v) && !v) return true;
    if (gst_structure_get_boolean(s, "framed", &v) && !v) return true;
  }
  return false;
}

// A parser between a demuxer that hands out whole pictures and a decoder
// that takes them as they come adds only its own work to the measurement.
void DropNeedlessParsers(std::vector<THop>& path, GstElementFactory* decoder) {
  for (size_t i = 1; i + 1 < path.size(); ++i) {
    const THop& before = path[i - 1];
    if (!path[i].parser || !before.demuxer || before.systemStream || !before.caps || SaysUnparsed(before.caps.get()))
      continue;
    bool fits = false;
    for (const GList* l = gst_element_factory_get_static_pad_templates(decoder); l && !fits; l = l->next) {
      auto* t = static_cast<GstStaticPadTemplate*>(l->data);
      if (t->direction != GST_PAD_SINK) continue;
      TGstRef<GstCaps> accepted = TGstRef<GstCaps>::Adopt(gst_static_pad_template_get_caps(t));
      fits = gst_caps_can_intersect(before.caps.get(), accepted.get());
    }
    if (fits) path.erase(path.begin() + std::ptrdiff_t(i--));
  }
}

struct TNext {
  QByteArray pad;
  GstElement* element;  // held by the pipeline
};

// A demuxer's stream appears when it has read the headers, and again after
// every restart; the one the decoder takes is known by its pad's name.
void OnDirectPad(GstElement* from, GstPad* pad, gpointer) {
  auto* next = static_cast<TNext*>(g_object_get_data(G_OBJECT(from), kNextKey));
  if (!next || GST_PAD_DIRECTION(pad) != GST_PAD_SRC) return;
  TGString name(gst_pad_get_name(pad));
  if (next->pad != name.get()) return;
  TGstRef<GstPad> in = FirstSinkPad(next->element);
  if (in && !gst_pad_is_linked(in.get())) gst_pad_link(pad, in.get());
}

}  // namespace

HRESULT TGstGraph::RenderDirect() {
  if (sources_.size() != 1 || !g_object_class_find_property(G_OBJECT_GET_CLASS(sources_[0].get()), "uri"))
    return E_UNEXPECTED;
  gchar* uriText = nullptr;
  g_object_get(sources_[0].get(), "uri", &uriText, nullptr);
  TGString uri(uriText);
  TGString local(uri.get() ? g_filename_from_uri(uri.get(), nullptr, nullptr) : nullptr);
  if (!local.get()) return E_UNEXPECTED;
  const QString file = QFile::decodeName(local.get());

  // The path to the first video decoder, read while the graph still stands.
  std::vector<THop> path;
  bool typefound = false;
  TGstRef<GstElementFactory> decoderFactory;
  for (auto& e : LeafElements(GST_BIN(sources_[0].get()))) {
    if (!HasKlass(e.get(), "Decoder") || !HasKlass(e.get(), "Video")) continue;
    path = PathTo(e.get(), typefound);
    decoderFactory = TGstRef<GstElementFactory>::Share(gst_element_get_factory(e.get()));
    break;
  }
  // With a demuxer of its own the file needs no type finder in front.
  if (std::any_of(path.begin(), path.end(), [](const THop& h) { return h.demuxer; })) typefound = false;
  else if (!typefound) path.clear();
  if (path.empty() || !decoderFactory) {
    RecordPlatformErrorText(VFW_E_CANNOT_RENDER, QStringLiteral("The file holds no video stream to decode."));
    return VFW_E_CANNOT_RENDER;
  }
  DropNeedlessParsers(path, decoderFactory.get());

  EnsureStopped();
  ClearGraph();
  {
    std::lock_guard<std::mutex> l(lock_);
    noMorePads_ = true;
    errorsAnswered_ = errorsPosted_;
  }
  std::vector<GstElement*> made;
  made.push_back(NewElement("filesrc"));
  if (made.back()) g_object_set(made.back(), "location", local.get(), nullptr);
  // A bare stream needs its type found before its parser will take it.
  if (typefound) made.push_back(NewElement("typefind"));
  for (const THop& hop : path) made.push_back(NewElement(hop.factory.constData()));
  KeepDecoderThreads(made.back());
  bool complete = true;
  for (GstElement* e : made) {
    if (!e) {
      complete = false;
      continue;
    }
    gst_bin_add(GST_BIN(pipeline_.get()), e);
    sources_.push_back(TGstRef<GstElement>::Share(e));
  }
  const size_t first = made.size() - path.size();
  for (size_t i = 0; complete && i + 1 < made.size(); ++i) {
    const QByteArray out = i < first ? QByteArray("src") : path[i - first].out;
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(made[i], out.constData()));
    if (pad) {
      TGstRef<GstPad> in = FirstSinkPad(made[i + 1]);
      complete = in && GST_PAD_LINK_SUCCESSFUL(gst_pad_link(pad.get(), in.get()));
      continue;
    }
    g_object_set_data_full(G_OBJECT(made[i]), kNextKey, new TNext{out, made[i + 1]},
                           [](gpointer p) { delete static_cast<TNext*>(p); });
    g_signal_connect(made[i], "pad-added", G_CALLBACK(&OnDirectPad), this);
    g_signal_connect(made[i], "no-more-pads", G_CALLBACK(&TGstGraph::OnNoMorePads), this);
    std::lock_guard<std::mutex> l(lock_);
    noMorePads_ = false;
  }
  HRESULT hr = E_FAIL;
  if (complete) {
    // The decoder's pictures go to a renderer of their own, as any stream's do.
    TGstRef<GstPad> out = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(made.back(), "src"));
    if (out) {
      OnPadAdded(made.back(), out.get(), this);
      hr = FinishRender();
    }
  }
  if (SUCCEEDED(hr)) return S_OK;
  // What cannot be built this way still plays as it did.
  ClearGraph();
  hr = RenderFile(file, nullptr);
  return FAILED(hr) ? hr : S_FALSE;
}
