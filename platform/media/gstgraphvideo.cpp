// The picture side of the graph: the video sink, the frames an appsink hands
// to the video widget when no overlay sink draws, and the video window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <gst/app/gstappsink.h>
#include <gst/video/videooverlay.h>

#include "platform/media/gstgraph.h"
#include "platform/media/gstgraphparts.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgrabber.h"
#include "platform/media/videosink.h"
#include "platform/media/videowidget.h"

using namespace gstgraph;

namespace {

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

// ---- video sink ----

bool TGstGraph::HasOverlayMixer() const {
  for (auto& e : Filters())
    if (ElementRole(e.get()) == TElementRole::OverlayMixer) return true;
  return false;
}

// queue ! videoconvert ! videobalance [! videoconvertscale ! capsfilter] ! sink
// The scaler stands only before a sink that cannot scale; converting and
// scaling in one pass costs less than the two apart, and a film shrunk to its
// window is converted at the smaller size.
void TGstGraph::AddVideoParts(TChain& c, std::vector<GstElement*>& parts, GstCaps* caps) {
  parts.push_back(NewElement("videoconvert"));
  GstElement* balance = NewElement("videobalance");
  SetElementRole(balance, TElementRole::VideoBalance);
  c.balance = TGstRef<GstElement>::Share(balance);
  parts.push_back(balance);
  const bool windowSystem = QGuiApplication::platformName() == QLatin1String("xcb");
  const QByteArray factory = windowSystem ? VideoSinkFactory(HasOverlayMixer()) : QByteArray();
  c.sink = MakeVideoSink(factory, SinkNeedsScaling(factory) ? PictureSize(caps) : QSize());
  if (SinkNeedsScaling(factory) && video_ && video_->NativeOverlay()) {
    c.crop = TGstRef<GstElement>::Share(NewElement("videocrop"));
    parts.push_back(c.crop.get());
    GstElement* scale = NewElement("videoconvertscale");
    // The picture fills the rectangle it is given; the window's geometry
    // already holds the aspect ratio the user chose.
    g_object_set(scale, "add-borders", FALSE, nullptr);
    parts.push_back(scale);
    c.size = TGstRef<GstElement>::Share(NewElement("capsfilter"));
    parts.push_back(c.size.get());
    // Until the window is placed the picture keeps its own size.
    if (video_->testAttribute(Qt::WA_Resized)) ScaleTo(c, video_->width(), video_->height());
  }
  parts.push_back(c.sink.get());
}

TGstRef<GstElement> TGstGraph::MakeVideoSink(const QByteArray& overlay, QSize picture) {
  if (!video_) video_ = new TVideoWidget(!overlay.isEmpty());
  // A sink that cannot scale asks for pictures of its window's size, and asks
  // again, with a new set of pictures, whenever that size changes. A window
  // not yet placed takes the film's own size before the sink first sees it:
  // placed at that size (100 %, or fitted to the film) it then asks for
  // nothing new, where the change from a default size made the sink keep a
  // copy of the shown frame and a third picture at once.
  if (!picture.isEmpty() && !video_->testAttribute(Qt::WA_Resized)) video_->resize(picture);
  if (!overlay.isEmpty()) {
    GstElement* sink = NewElement(overlay.constData());
    if (sink && GST_IS_VIDEO_OVERLAY(sink)) {
      // The window's geometry holds the aspect ratio; input goes to the drain.
      for (const char* p : {"force-aspect-ratio", "handle-events"})
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), p)) g_object_set(sink, p, FALSE, nullptr);
      gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), guintptr(video_->OverlayHandle()));
      TGstRef<GstElement> ref = TGstRef<GstElement>::Share(sink);
      video_->OnExpose = OverlayExposer(sink);
      return ref;
    }
    // A sink named for diagnosis that draws no window still takes the frames.
    if (sink) return TGstRef<GstElement>::Share(sink);
  }
  // No window system: the widget paints the frames itself.
  GstElement* sink = NewElement("appsink");
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_caps_from_string("video/x-raw,format=BGRx"));
  g_object_set(sink, "caps", caps.get(), "sync", TRUE, "max-buffers", 2u, "drop", FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &OnNewSample;
  callbacks.new_preroll = &OnNewPreroll;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, frames_.get(), nullptr);
  return TGstRef<GstElement>::Share(sink);
}

// A picture zoomed past its panel, or a large film in full screen, shows only
// in part: the part that shows is cut out before scaling, and the window
// covers only that part, so no pixel is converted that nobody sees. Returns
// the rectangle the window takes.
QRect TGstGraph::PlaceScaledPicture(TChain& c, const QRect& wanted) {
  QWidget* panel = video_ ? video_->parentWidget() : nullptr;
  long w = 0, h = 0;
  if (!c.crop || !panel || wanted.isEmpty() || FAILED(GetVideoSize(w, h)) || w < 1 || h < 1) {
    ScaleTo(c, wanted.width(), wanted.height());
    return wanted;
  }
  const QRect shown = wanted & panel->rect();
  if (shown.isEmpty()) return wanted;
  // Whole pixels of the stream; the window follows what they cover so that
  // the picture keeps its place to the pixel on screen.
  const auto cut = [](int screen, long pixels, int span) {
    return int(double(screen) * double(pixels) / double(span));
  };
  const int left = cut(shown.left() - wanted.left(), w, wanted.width());
  const int right = cut(wanted.right() - shown.right(), w, wanted.width());
  const int top = cut(shown.top() - wanted.top(), h, wanted.height());
  const int bottom = cut(wanted.bottom() - shown.bottom(), h, wanted.height());
  const QRect window(QPoint(wanted.left() + int(std::lround(double(left) * wanted.width() / double(w))),
                            wanted.top() + int(std::lround(double(top) * wanted.height() / double(h)))),
                     QPoint(wanted.right() - int(std::lround(double(right) * wanted.width() / double(w))),
                            wanted.bottom() - int(std::lround(double(bottom) * wanted.height() / double(h)))));
  const int now[4] = {left, right, top, bottom};
  if (!std::equal(now, now + 4, c.cut)) {
    std::copy(now, now + 4, c.cut);
    g_object_set(c.crop.get(), "left", left, "right", right, "top", top, "bottom", bottom, nullptr);
    c.width = 0;  // the new cut needs a redraw even at the same size
  }
  ScaleTo(c, window.width(), window.height());
  return window;
}

void TGstGraph::ScaleTo(TChain& c, int width, int height) {
  if (!c.size || width < 1 || height < 1 || (width == c.width && height == c.height)) return;
  c.width = width;
  c.height = height;
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(
      gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width, "height", G_TYPE_INT, height, nullptr));
  g_object_set(c.size.get(), "caps", caps.get(), nullptr);
  // A playing film takes the new size with its next frame; a paused one has
  // no next frame, so its picture is decoded again at the new size. Several
  // changes in a row (a window being dragged larger) share one redraw.
  if (refreshPending_) return;
  refreshPending_ = true;
  QTimer::singleShot(0, &relay_, [this] { RefreshPausedPicture(); });
}

void TGstGraph::RefreshPausedPicture() {
  refreshPending_ = false;
  if (GST_STATE_TARGET(pipeline_.get()) != GST_STATE_PAUSED) return;
  REFERENCE_TIME now = 0;
  GetCurrentPosition(now);
  SeekTo(now * 100, GST_SEEK_FLAG_ACCURATE, rate_);
}

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
  QRect window{int(left), int(top), int(width), int(height)};
  for (TChain& c : chains_)
    if (c.video && c.size) window = PlaceScaledPicture(c, window);
  video_->setGeometry(window);
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

