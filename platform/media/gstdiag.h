#pragma once
// Counts for leak checks.
#include <memory>

#include "platform/media/dshow.h"

// The GStreamer objects alive now, as the leaks tracer sees them (-1 when it
// is not running; it runs when GST_TRACERS names "leaks" before the first
// media call).
int LiveGStreamerObjects();

// Watches a graph's pipeline and every filter in it without holding them.
class TGraphWatch {
 public:
  explicit TGraphWatch(const ComPtr<IGraphBuilder>& graph);
  ~TGraphWatch();
  TGraphWatch(const TGraphWatch&) = delete;
  TGraphWatch& operator=(const TGraphWatch&) = delete;
  int Watched() const;
  // How many of them have not been finalized.
  int Alive() const;

 private:
  struct TRefs;
  std::unique_ptr<TRefs> refs_;
};
