#pragma once
// The sample grabber over an `identity` element, and the graph's way to take
// an element out of the automatic decoder without stopping the graph.
#include <functional>

#include "platform/media/dshow.h"
#include "platform/media/gstref.h"

// A new grabber filter, not yet in any graph.
ComPtr<IUnknown> MakeGstSampleGrabber();

// The volume and balance of one of our audio renderer chains (null when
// `renderer` is not one).
ComPtr<IBasicAudio> RendererAudio(GstElement* renderer);

// An element that the automatic decoder owns cannot leave its bin while the
// graph is built; "removing" it then makes it drop everything it is given
// and hides it from the graph's enumeration. The decoder frees it when the
// graph stops.
void RetireElement(GstElement* element);
bool IsRetired(GstElement* element);

// What the picture widget calls to have the overlay sink redraw. It holds
// the sink weakly: a sink that left the graph (the benchmark removes the
// video chain) and was freed is not called into.
std::function<void()> OverlayExposer(GstElement* sink);
