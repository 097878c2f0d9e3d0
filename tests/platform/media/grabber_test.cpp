// The picture widget's redraw callback outlives the sink it names.
#include <gtest/gtest.h>

#include <gst/gst.h>

#include "platform/media/gsterror.h"
#include "platform/media/gstgrabber.h"

namespace {

TEST(OverlayExposer, ASinkThatWasFreedIsNotCalledInto) {
  ASSERT_TRUE(EnsureGStreamer());
  GstElement* sink = gst_element_factory_make("ximagesink", nullptr);
  if (!sink) sink = gst_element_factory_make("fakesink", nullptr);
  ASSERT_TRUE(sink);
  gst_object_ref_sink(sink);
  GWeakRef watch;
  g_weak_ref_init(&watch, sink);
  const auto expose = OverlayExposer(sink);
  expose();  // a sink in no graph: nothing to draw, nothing happens
  gst_object_unref(sink);
  EXPECT_EQ(g_weak_ref_get(&watch), nullptr);
  expose();  // the sink is gone: the call must not reach it
  g_weak_ref_clear(&watch);
}

}  // namespace
