#include "platform/media/gstdiag.h"

#include <cstring>
#include <deque>

#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgraph.h"

int LiveGStreamerObjects() {
  if (!EnsureGStreamer()) return -1;
  int count = -1;
  GList* tracers = gst_tracing_get_active_tracers();
  for (GList* l = tracers; l; l = l->next) {
    if (count < 0 && std::strcmp(G_OBJECT_TYPE_NAME(l->data), "GstLeaksTracer") == 0) {
      GstStructure* live = nullptr;
      g_signal_emit_by_name(l->data, "get-live-objects", &live);
      if (live) {
        const GValue* list = gst_structure_get_value(live, "live-objects-list");
        count = list ? int(gst_value_list_get_size(list)) : 0;
        gst_structure_free(live);
      }
    }
  }
  g_list_free_full(tracers, gst_object_unref);
  return count;
}

struct TGraphWatch::TRefs {
  std::deque<GWeakRef> refs;
  void Watch(gpointer object) { g_weak_ref_init(&refs.emplace_back(), object); }
};

TGraphWatch::TGraphWatch(const ComPtr<IGraphBuilder>& graph) : refs_(std::make_unique<TRefs>()) {
  auto gst = std::dynamic_pointer_cast<TGstGraph>(graph);
  if (!gst) return;
  refs_->Watch(gst->Pipeline());
  for (auto& e : gst->Filters()) refs_->Watch(e.get());
}

TGraphWatch::~TGraphWatch() {
  for (GWeakRef& r : refs_->refs) g_weak_ref_clear(&r);
}

int TGraphWatch::Watched() const { return int(refs_->refs.size()); }

int TGraphWatch::Alive() const {
  int alive = 0;
  for (GWeakRef& r : refs_->refs)
    if (gpointer o = g_weak_ref_get(&r)) {
      ++alive;
      g_object_unref(o);
    }
  return alive;
}
