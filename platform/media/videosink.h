#pragma once
// Which element shows the picture on an X display. A careful choice matters:
// an OpenGL sink on a display without hardware OpenGL renders in software and
// costs several times the CPU and memory of the whole rest of the player.
#include <QByteArray>
#include <optional>

// What the display offers, asked once per run and only as far as the choice
// needs (opening an OpenGL context loads the driver, which is not free).
class TVideoOutputProbe {
 public:
  virtual ~TVideoOutputProbe() = default;
  // An Xv port takes the YUV formats decoders hand out.
  virtual bool XvTakesOurFormat() = 0;
  // The OpenGL renderer is a real GPU's, not a software rasteriser.
  virtual bool HardwareGl() = 0;
  // The OpenGL sink starts at all, in software or not.
  virtual bool AnyGl() = 0;
};

// Xv where the server offers it; OpenGL where it is hardware; otherwise the
// plain X sink, which the graph scales for. `forceOverlay` takes an overlay
// sink (Xv or OpenGL) even where it would run in software.
QByteArray ChooseVideoSink(TVideoOutputProbe& probe, bool forceOverlay);

// Software rasterisers as their renderer strings name them.
bool IsSoftwareGlRenderer(const QByteArray& renderer);

// The probe of this run's display, made on first use.
TVideoOutputProbe& DisplayVideoOutputs();

// The sink for a new graph on an X display: the element named by
// KELVARA_VIDEOSINK when there is one of that name (for diagnosis), else the
// choice above on this run's display.
QByteArray VideoSinkFactory(bool forceOverlay);

// The plain X sink shows frames at their own size, so the graph scales for it.
inline bool SinkNeedsScaling(const QByteArray& factory) { return factory == "ximagesink"; }
