#pragma once
// How GStreamer failures become results: each error gets a 32-bit code, and
// the message GStreamer gave is kept as that code's platform text.
#include <QString>
#include <gst/gst.h>

#include "platform/media/dshow.h"

// Code for a GStreamer error; its message becomes AMGetErrorText's answer.
HRESULT HresultFromGError(const GError* error);
// Starts GStreamer once per process; false (with the reason recorded under
// E_FAIL) when it cannot start.
bool EnsureGStreamer();
