#include "platform/media/videosink.h"

#include <QDir>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <gst/gst.h>
#include <unistd.h>

#include "platform/media/gstref.h"

QByteArray ChooseVideoSink(TVideoOutputProbe& probe, bool forceOverlay) {
  if (probe.XvTakesOurFormat()) return "xvimagesink";
  if (probe.HardwareGl()) return "glimagesink";
  if (forceOverlay && probe.AnyGl()) return "glimagesink";
  return "ximagesink";
}

bool IsSoftwareGlRenderer(const QByteArray& renderer) {
  const QByteArray r = renderer.toLower();
  return r.isEmpty() || r.contains("llvmpipe") || r.contains("softpipe") || r.contains("swrast") ||
         r.contains("software rasterizer");
}

namespace {

// A sink element that reached READY and was let go again: READY opens the
// device (the X display, an Xv port) but shows nothing.
class TReadySink {
 public:
  explicit TReadySink(const char* factory) {
    GstElement* e = gst_element_factory_make(factory, nullptr);
    if (!e) return;
    element_ = TGstRef<GstElement>::Adopt(GST_ELEMENT(gst_object_ref_sink(e)));
    ready_ = gst_element_set_state(e, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  }
  ~TReadySink() {
    if (element_) gst_element_set_state(element_.get(), GST_STATE_NULL);
  }
  bool Ready() const { return ready_; }
  GstElement* Element() const { return element_.get(); }

 private:
  TGstRef<GstElement> element_;
  bool ready_ = false;
};

// Without a GPU device node every OpenGL renderer is a software one; looking
// saves loading the rasteriser into the process just to hear its name.
bool MayHaveGpu() {
  const QByteArray soft = qgetenv("LIBGL_ALWAYS_SOFTWARE");
  if (!soft.isEmpty() && soft != "0" && soft.toLower() != "false") return false;
  if (::access("/dev/nvidiactl", R_OK | W_OK) == 0) return true;
  const QDir dri(QStringLiteral("/dev/dri"));
  for (const QString& node : dri.entryList({QStringLiteral("renderD*"), QStringLiteral("card*")}, QDir::System))
    if (::access(dri.filePath(node).toLocal8Bit().constData(), R_OK | W_OK) == 0) return true;
  return false;
}

// The renderer string of an OpenGL context on this display, made on a
// surface that is never shown.
QByteArray GlRenderer() {
  QOpenGLContext context;
  if (!context.create()) return {};
  QOffscreenSurface surface;
  surface.setFormat(context.format());
  surface.create();
  if (!surface.isValid() || !context.makeCurrent(&surface)) return {};
  const auto* name = context.functions()->glGetString(GL_RENDERER);
  QByteArray renderer(reinterpret_cast<const char*>(name));
  context.doneCurrent();
  return renderer;
}

class TDisplayProbe : public TVideoOutputProbe {
 public:
  bool XvTakesOurFormat() override {
    if (!xv_) xv_ = ProbeXv();
    return *xv_;
  }
  bool HardwareGl() override {
    if (!hardwareGl_) hardwareGl_ = MayHaveGpu() && !IsSoftwareGlRenderer(GlRenderer());
    return *hardwareGl_;
  }
  bool AnyGl() override {
    if (!anyGl_) anyGl_ = TReadySink("glimagesink").Ready();
    return *anyGl_;
  }

 private:
  static bool ProbeXv() {
    TReadySink sink("xvimagesink");
    if (!sink.Ready()) return false;
    // At READY the sink's pad answers with the formats of the port it took.
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(sink.Element(), "sink"));
    TGstRef<GstCaps> offered = TGstRef<GstCaps>::Adopt(pad ? gst_pad_query_caps(pad.get(), nullptr) : nullptr);
    TGstRef<GstCaps> ours =
        TGstRef<GstCaps>::Adopt(gst_caps_from_string("video/x-raw,format={I420,YV12,NV12,YUY2,UYVY}"));
    return offered && gst_caps_can_intersect(offered.get(), ours.get());
  }
  std::optional<bool> xv_, hardwareGl_, anyGl_;
};

}  // namespace

TVideoOutputProbe& DisplayVideoOutputs() {
  static TDisplayProbe probe;
  return probe;
}

QByteArray VideoSinkFactory(bool forceOverlay) {
  const QByteArray wanted = qgetenv("KELVARA_VIDEOSINK").trimmed();
  if (!wanted.isEmpty()) {
    TGstRef<GstElementFactory> f = TGstRef<GstElementFactory>::Adopt(gst_element_factory_find(wanted.constData()));
    if (f) return wanted;
    qWarning("KELVARA_VIDEOSINK=%s: no such element; choosing as usual", wanted.constData());
  }
  return ChooseVideoSink(DisplayVideoOutputs(), forceOverlay);
}
