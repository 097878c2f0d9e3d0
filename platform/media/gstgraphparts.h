#pragma once
// What the graph's source files share and nobody else sees: the events its
// relay receives from streaming threads, the time limits of its waits, and
// the small helpers every part of the renderer chain uses.
#include <QEvent>
#include <QSize>
#include <chrono>
#include <mutex>

#include "platform/media/gstref.h"

// Frames reach the relay from the appsink's streaming thread.
struct TFrameSlot {
  std::mutex lock;
  TGstRef<GstSample> sample;
  bool posted = false;
  QObject* relay = nullptr;
};

namespace gstgraph {

using Clock = std::chrono::steady_clock;

// Events the relay receives from streaming threads.
inline const QEvent::Type kPadsEvent = QEvent::Type(QEvent::User + 0x3A1);
inline const QEvent::Type kFrameEvent = QEvent::Type(QEvent::User + 0x3A2);

// How long a state change may take before the call gives up.
constexpr GstClockTime kStateTimeout = 20 * GST_SECOND;
constexpr auto kRenderTimeout = std::chrono::seconds(30);

inline GstElement* NewElement(const char* factory) { return gst_element_factory_make(factory, nullptr); }

enum class TStreamKind { Video, Audio, Other };
TStreamKind KindOf(GstCaps* caps);

// Makes a sink and checks that it can open its device.
QByteArray FirstWorkingSink(std::initializer_list<const char*> candidates);

// The size of the pictures `caps` describe; empty when they do not say.
QSize PictureSize(GstCaps* caps);

// Largest picture, in pixels, that a video decoder decodes on one thread.
inline constexpr int kOneThreadPicture = 720 * 576;
// Watches a video decoder that can decode on several threads and gives it one
// thread while its pictures are no larger than kOneThreadPicture.
void TuneDecoderThreads(GstElement* element);
// A decoder run for its top rate, not in time with a clock, keeps its own
// thread choice whatever its pictures' size.
void KeepDecoderThreads(GstElement* decoder);

// After the pipeline was taken to rest for a change, it is built up again and
// put back where it stood.
inline bool AtRest(GstElement* pipeline) { return GST_STATE_TARGET(pipeline) <= GST_STATE_READY; }

}  // namespace gstgraph
