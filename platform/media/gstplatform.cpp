#include "platform/media/gstplatform.h"

#include <QHash>
#include <cstring>
#include <mutex>

#include "platform/media/dsound.h"
#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgraph.h"
#include "platform/media/gstgrabber.h"

namespace {

inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

// Builds stream chains inside a graph: from a filter's free output to a
// given sink, or to the default renderer when none is given.
class TGstCaptureBuilder : public ICaptureGraphBuilder2,
                           public std::enable_shared_from_this<TGstCaptureBuilder> {
 public:
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    out.reset();
    if (std::strcmp(iid, IID) != 0) return E_NOINTERFACE;
    out = shared_from_this();
    return S_OK;
  }
  HRESULT SetFiltergraph(const ComPtr<IGraphBuilder>& graph) override {
    auto g = std::dynamic_pointer_cast<TGstGraph>(graph);
    graph_ = g;
    return g ? S_OK : E_INVALIDARG;
  }
  HRESULT RenderStream(const GUID*, const GUID*, const ComPtr<IUnknown>& source,
                       const ComPtr<IBaseFilter>& intermediate,
                       const ComPtr<IBaseFilter>& sink) override {
    auto graph = graph_.lock();
    if (!graph) return E_UNEXPECTED;
    TGstRef<GstPad> out = FreeOutput(source);
    if (!out) return VFW_E_NOT_CONNECTED;
    if (auto mid = std::dynamic_pointer_cast<TGstFilter>(intermediate)) {
      if (!graph->Contains(mid->Element())) return VFW_E_NOT_IN_GRAPH;
      if (HRESULT hr = Link(out.get(), mid->Element()); FAILED(hr)) return hr;
      out = FreeOutputOf(mid->Element());
      if (!out) return VFW_E_CANNOT_RENDER;
    }
    GstElement* target = nullptr;
    TGstRef<GstElement> made;
    if (auto s = std::dynamic_pointer_cast<TGstFilter>(sink)) {
      if (!graph->Contains(s->Element())) return VFW_E_NOT_IN_GRAPH;
      target = s->Element();
    } else {
      TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(out.get()));
      if (!caps) caps = TGstRef<GstCaps>::Adopt(gst_pad_query_caps(out.get(), nullptr));
      made = graph->MakeRendererChain(caps.get());
      target = made.get();
    }
    return Link(out.get(), target);
  }

 private:
  static TGstRef<GstPad> FreeOutputOf(GstElement* e) {
    std::vector<TGstRef<GstPad>> outputs;
    GST_OBJECT_LOCK(e);
    for (GList* l = e->pads; l; l = l->next)
      if (GST_PAD_DIRECTION(GST_PAD(l->data)) == GST_PAD_SRC) outputs.push_back(TGstRef<GstPad>::Share(GST_PAD(l->data)));
    GST_OBJECT_UNLOCK(e);
    // An element inside the automatic decoder leaves it through ghost
    // pads: its output is free when the outermost of them is.
    for (auto& p : outputs) {
      TGstRef<GstPad> pad = p;
      for (;;) {
        TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(gst_pad_get_peer(pad.get()));
        if (!peer) return pad;
        if (!GST_IS_PROXY_PAD(peer.get()) || GST_IS_GHOST_PAD(peer.get())) break;
        TGstRef<GstProxyPad> ghost = TGstRef<GstProxyPad>::Adopt(gst_proxy_pad_get_internal(GST_PROXY_PAD(peer.get())));
        if (!ghost) break;
        pad = TGstRef<GstPad>::Adopt(GST_PAD(ghost.release()));
      }
    }
    return {};
  }
  static TGstRef<GstPad> FreeOutput(const ComPtr<IUnknown>& source) {
    if (auto pin = std::dynamic_pointer_cast<TGstPin>(source))
      return GST_PAD_PEER(pin->Pad()) ? TGstRef<GstPad>() : TGstRef<GstPad>::Share(pin->Pad());
    if (auto f = std::dynamic_pointer_cast<TGstFilter>(source)) return FreeOutputOf(f->Element());
    return {};
  }
  // Links across bin borders (ghost pads are made as needed).
  static HRESULT Link(GstPad* out, GstElement* to) {
    TGstRef<GstPad> in;
    GST_OBJECT_LOCK(to);
    for (GList* l = to->pads; l && !in; l = l->next) {
      GstPad* p = GST_PAD(l->data);
      if (GST_PAD_DIRECTION(p) == GST_PAD_SINK && !GST_PAD_PEER(p)) in = TGstRef<GstPad>::Share(p);
    }
    GST_OBJECT_UNLOCK(to);
    if (!in) in = TGstRef<GstPad>::Adopt(gst_element_request_pad_simple(to, "sink_%u"));
    if (!in) return VFW_E_CANNOT_RENDER;
    if (!gst_pad_link_maybe_ghosting(out, in.get())) return VFW_E_CANNOT_RENDER;
    gst_element_sync_state_with_parent(to);
    return S_OK;
  }
  std::weak_ptr<TGstGraph> graph_;
};

ComPtr<IUnknown> MakeElementFilter(const char* factory, TElementRole role) {
  if (!EnsureGStreamer()) return nullptr;
  GstElement* e = gst_element_factory_make(factory, nullptr);
  if (!e) return nullptr;
  gst_object_ref_sink(e);
  SetElementRole(e, role);
  return std::make_shared<TGstFilter>(TGstRef<GstElement>::Adopt(e), std::weak_ptr<TGstGraph>());
}

std::mutex& ClassLock() {
  static std::mutex m;
  return m;
}

QHash<QUuid, TMediaClassMaker>& Classes() {
  static QHash<QUuid, TMediaClassMaker> c;
  return c;
}

class TGstPlatform : public TMediaPlatform {
 public:
  HRESULT CreateInstance(const CLSID& clsid, ComPtr<IUnknown>& out) override {
    out.reset();
    if (clsid == CLSID_FilterGraph) {
      if (!EnsureGStreamer()) return E_FAIL;
      out = std::static_pointer_cast<IGraphBuilder>(std::make_shared<TGstGraph>());
    } else if (clsid == CLSID_CaptureGraphBuilder2) {
      out = std::make_shared<TGstCaptureBuilder>();
    } else if (clsid == CLSID_OverlayMixer) {
      out = MakeElementFilter("identity", TElementRole::OverlayMixer);
    } else if (clsid == CLSID_NullRenderer) {
      out = MakeElementFilter("fakesink", TElementRole::None);
    } else if (clsid == CLSID_SampleGrabber) {
      out = MakeGstSampleGrabber();
    } else if (clsid == CLSID_DirectSound) {
      out = MakeGstDirectSound();
    } else {
      TMediaClassMaker maker;
      {
        std::lock_guard<std::mutex> l(ClassLock());
        maker = Classes().value(clsid);
      }
      return maker ? maker(out) : REGDB_E_CLASSNOTREG;
    }
    return out ? S_OK : E_OUTOFMEMORY;
  }
};

TMediaPlatform* g_installed = nullptr;

}  // namespace

void RegisterMediaClass(const CLSID& clsid, TMediaClassMaker maker) {
  std::lock_guard<std::mutex> l(ClassLock());
  Classes().insert(clsid, std::move(maker));
}

TMediaPlatform& MediaPlatform() {
  static TGstPlatform gst;
  return g_installed ? *g_installed : gst;
}

void SetMediaPlatform(TMediaPlatform* platform) { g_installed = platform; }
