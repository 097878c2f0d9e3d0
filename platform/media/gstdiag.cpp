#include "platform/media/gstdiag.h"

#include <cstring>

#include "platform/media/gsterror.h"

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
