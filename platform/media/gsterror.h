#pragma once
// How GStreamer failures become results: each error gets a 32-bit code, and
// the message GStreamer gave is kept as that code's platform text.
#include <QString>
#include <gst/gst.h>

#include "platform/media/hresult.h"

// Code for a GStreamer error; its message becomes AMGetErrorText's answer.
HRESULT HresultFromGError(const GError* error);
// Makes `text` the platform text of `hr` (the latest failure's text wins).
void RecordPlatformErrorText(HRESULT hr, const QString& text);
// Starts GStreamer once per process; false (with the reason recorded under
// E_FAIL) when it cannot start.
bool EnsureGStreamer();
