// The graph's end-of-stream notice: whoever is told that an event is waiting
// must find it, however the streaming thread and the UI thread interleave.
#include <gtest/gtest.h>
#include <gst/gst.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <atomic>
#include <thread>

#include "platform/media/dshow.h"
#include "platform/media/gstgraph.h"

namespace {

constexpr long kNotify = QEvent::User + 0x77;

// Drains the graph's events the moment it is told of them, as the player's
// notify window does.
class TDrain : public QObject {
 public:
  explicit TDrain(IMediaEventEx* events) : events_(events) {}
  int notices = 0, found = 0, completes = 0;
  bool event(QEvent* e) override {
    if (e->type() != QEvent::Type(kNotify)) return QObject::event(e);
    ++notices;
    long code = 0;
    intptr_t p1 = 0, p2 = 0;
    bool any = false;
    while (SUCCEEDED(events_->GetEvent(code, p1, p2, 0))) {
      any = true;
      if (code == EC_COMPLETE) ++completes;
    }
    found += any;
    return true;
  }

 private:
  IMediaEventEx* events_;
};

TEST(GraphEvents, EveryNoticeFindsItsEventWaiting) {
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, graph), S_OK);
  ComPtr<IMediaEventEx> events;
  ASSERT_EQ(QueryInterface(graph, events), S_OK);
  TDrain drain(events.get());
  ASSERT_EQ(events->SetNotifyWindow(&drain, kNotify, 0), S_OK);
  GstElement* pipeline = std::dynamic_pointer_cast<TGstGraph>(graph)->Pipeline();
  GstBus* bus = gst_element_get_bus(pipeline);

  // End-of-stream comes from a streaming thread while the UI thread waits
  // for the notice; the two must never meet with the queue still empty.
  constexpr int kRounds = 300;
  for (int i = 0; i < kRounds; ++i) {
    const int before = drain.notices;
    std::thread streaming([&] { gst_bus_post(bus, gst_message_new_eos(GST_OBJECT(pipeline))); });
    QElapsedTimer t;
    t.start();
    while (drain.notices == before && t.elapsed() < 5000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    streaming.join();
  }
  gst_object_unref(bus);
  EXPECT_EQ(drain.notices, kRounds);
  EXPECT_EQ(drain.found, drain.notices);
  EXPECT_EQ(drain.completes, kRounds);

  // Nothing is left over, and an empty queue answers as such.
  long code = 0;
  intptr_t p1 = 0, p2 = 0;
  EXPECT_EQ(events->GetEvent(code, p1, p2, 0), E_ABORT);
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(events->GetEvent(code, p1, p2, 30), E_ABORT);
  EXPECT_GE(t.elapsed(), 25);
}

}  // namespace
