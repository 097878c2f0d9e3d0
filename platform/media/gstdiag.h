#pragma once
// Counts for leak checks: the GStreamer objects alive now, as the leaks
// tracer sees them (-1 when it is not running; it runs when GST_TRACERS
// names "leaks" before the first media call).
int LiveGStreamerObjects();
