// The readers of the preferences dialog's free-text edits: key seek, the
// custom aspect ratio, the MicroDVD frame rate and the WinLIRC port.
#include <cstddef>
#include <cstdint>

#include <QString>

#include "core/geometry.h"
#include "core/playmath.h"
#include "playlist/subtitleparse.h"
#include "prefs/prefstexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  (void)ParseKeySeek(text);
  (void)AspectHeight(640, 480, amCustom, text);
  TVideoPlacementInput in;
  in.VideoWidth = 640;
  in.VideoHeight = 480;
  in.PanelWidth = 400;
  in.PanelHeight = 300;
  in.AspectMode = amCustom;
  in.CustomAspectRatio = text;
  (void)ComputeVideoRect(in);
  const double fps = EffectiveMicroDVDRate({1, text, 25});
  (void)ScaleToMicroDVD(36'000'000'000LL, fps);
  (void)ParseWIRCport(text);
  return 0;
}
