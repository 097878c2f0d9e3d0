#include "platform/media/gstgrabber.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <gst/video/videooverlay.h>

#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"

namespace {

const char* const kRetiredKey = "kelvara-retired";

// Lives as long as the grabber's pad: the probe owns it, whichever filter
// object happens to wrap the element.
struct TGrabberState {
  std::atomic<ISampleGrabberCB*> callback{nullptr};
  std::atomic<int> inFlight{0};
};

void CallBack(TGrabberState* s, GstBuffer* b) {
  ISampleGrabberCB* cb = s->callback.load();
  if (!cb) return;
  const double t = GST_BUFFER_PTS_IS_VALID(b) ? double(GST_BUFFER_PTS(b)) / double(GST_SECOND) : 0.0;
  cb->SampleCB(t, nullptr);
}

// The streaming thread's side: nothing here allocates or waits.
GstPadProbeReturn OnSample(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* s = static_cast<TGrabberState*>(data);
  s->inFlight.fetch_add(1);
  if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
    CallBack(s, GST_PAD_PROBE_INFO_BUFFER(info));
  } else if (info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) {
    GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
    for (guint i = 0, n = gst_buffer_list_length(list); i < n; ++i) CallBack(s, gst_buffer_list_get(list, i));
  }
  s->inFlight.fetch_sub(1);
  return GST_PAD_PROBE_OK;
}

class TGstSampleGrabber : public TGstFilter, public ISampleGrabber {
 public:
  TGstSampleGrabber(TGstRef<GstElement> e, TGrabberState* state)
      : TGstFilter(std::move(e), std::weak_ptr<TGstGraph>()), state_(state) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    if (std::strcmp(iid, ISampleGrabber::IID) != 0) return TGstFilter::QueryInterface(iid, out);
    out = std::static_pointer_cast<ISampleGrabber>(std::static_pointer_cast<TGstSampleGrabber>(shared_from_this()));
    return S_OK;
  }
  // Every sample is passed on and reported; nothing is kept.
  HRESULT SetOneShot(bool oneShot) override { return oneShot ? E_NOTIMPL : S_OK; }
  HRESULT SetBufferSamples(bool buffer) override { return buffer ? E_NOTIMPL : S_OK; }
  HRESULT SetCallback(ISampleGrabberCB* callback, long which) override {
    if (which != 0 && callback) return E_NOTIMPL;
    state_->callback.store(callback);
    // The old listener may be freed as soon as this returns: wait out a
    // call that is under way (it neither blocks nor allocates, so it ends soon).
    while (state_->inFlight.load() != 0) std::this_thread::yield();
    return S_OK;
  }

 private:
  TGrabberState* state_;
};

class TGstRendererAudio : public IBasicAudio {
 public:
  TGstRendererAudio(TGstRef<GstElement> volume, TGstRef<GstElement> panorama)
      : volume_(std::move(volume)), panorama_(std::move(panorama)) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    (void)iid;
    out.reset();
    return E_NOINTERFACE;
  }
  HRESULT get_Volume(long& volume) override {
    double gain = 1.0;
    g_object_get(volume_.get(), "volume", &gain, nullptr);
    volume = gain <= 0.0 ? -10000 : std::clamp(long(std::lround(2000.0 * std::log10(gain))), -10000L, 0L);
    return S_OK;
  }
  HRESULT put_Volume(long volume) override {
    if (volume < -10000 || volume > 0) return E_INVALIDARG;
    const double gain = volume <= -10000 ? 0.0 : std::pow(10.0, double(volume) / 2000.0);
    g_object_set(volume_.get(), "volume", gain, nullptr);
    return S_OK;
  }
  HRESULT get_Balance(long& balance) override {
    float p = 0;
    g_object_get(panorama_.get(), "panorama", &p, nullptr);
    balance = std::lround(double(p) * 10000.0);
    return S_OK;
  }
  HRESULT put_Balance(long balance) override {
    if (balance < -10000 || balance > 10000) return E_INVALIDARG;
    g_object_set(panorama_.get(), "panorama", float(balance) / 10000.0f, nullptr);
    return S_OK;
  }

 private:
  TGstRef<GstElement> volume_, panorama_;
};

TGstRef<GstElement> ChildOfFactory(GstBin* bin, const char* factory) {
  TGstRef<GstElement> found;
  GST_OBJECT_LOCK(bin);
  for (GList* l = bin->children; l && !found; l = l->next) {
    GstElementFactory* f = gst_element_get_factory(GST_ELEMENT(l->data));
    if (f && std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)), factory) == 0)
      found = TGstRef<GstElement>::Share(GST_ELEMENT(l->data));
  }
  GST_OBJECT_UNLOCK(bin);
  return found;
}

}  // namespace

ComPtr<IUnknown> MakeGstSampleGrabber() {
  if (!EnsureGStreamer()) return nullptr;
  GstElement* e = gst_element_factory_make("identity", nullptr);
  if (!e) return nullptr;
  gst_object_ref_sink(e);
  g_object_set(e, "silent", TRUE, "signal-handoffs", FALSE, nullptr);
  TGstRef<GstElement> element = TGstRef<GstElement>::Adopt(e);
  TGstRef<GstPad> sink = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(e, "sink"));
  auto* state = new TGrabberState;
  gst_pad_add_probe(sink.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
                    &OnSample, state, [](gpointer p) { delete static_cast<TGrabberState*>(p); });
  return std::static_pointer_cast<IBaseFilter>(std::make_shared<TGstSampleGrabber>(std::move(element), state));
}

ComPtr<IBasicAudio> RendererAudio(GstElement* renderer) {
  if (!renderer || !GST_IS_BIN(renderer) || ElementRole(renderer) != TElementRole::AudioRenderer) return nullptr;
  TGstRef<GstElement> volume = ChildOfFactory(GST_BIN(renderer), "volume");
  TGstRef<GstElement> panorama = ChildOfFactory(GST_BIN(renderer), "audiopanorama");
  if (!volume || !panorama) return nullptr;
  return std::make_shared<TGstRendererAudio>(std::move(volume), std::move(panorama));
}

void RetireElement(GstElement* element) {
  if (IsRetired(element)) return;
  g_object_set_data(G_OBJECT(element), kRetiredKey, GINT_TO_POINTER(1));
  GST_OBJECT_LOCK(element);
  std::vector<TGstRef<GstPad>> pads;
  for (GList* l = element->sinkpads; l; l = l->next) pads.push_back(TGstRef<GstPad>::Share(GST_PAD(l->data)));
  GST_OBJECT_UNLOCK(element);
  for (auto& pad : pads)
    gst_pad_add_probe(pad.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
                      [](GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_DROP; }, nullptr, nullptr);
}

bool IsRetired(GstElement* element) { return g_object_get_data(G_OBJECT(element), kRetiredKey) != nullptr; }

std::function<void()> OverlayExposer(GstElement* sink) {
  std::shared_ptr<GWeakRef> ref(new GWeakRef, [](GWeakRef* w) {
    g_weak_ref_clear(w);
    delete w;
  });
  g_weak_ref_init(ref.get(), sink);
  return [ref] {
    auto* e = static_cast<GstElement*>(g_weak_ref_get(ref.get()));
    if (!e) return;
    // A sink that left its graph has nothing to draw and no window to draw in.
    if (GST_OBJECT_PARENT(e) && GST_IS_VIDEO_OVERLAY(e)) gst_video_overlay_expose(GST_VIDEO_OVERLAY(e));
    gst_object_unref(e);
  };
}
