// Arbitrary bytes as a MicroDVD file, and the typed frame rate the lookup
// scales with.
#include <QString>
#include <cmath>

#include "fuzz/subtitle_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSubtitleParser(TSubtitleFormat::MicroDVD, data, size, [](const TSubtitle& cue) {
    FuzzCheck(cue.Start >= 0 && cue.Stop >= 0);
    FuzzCheck(cue.Start % 400'000 == 0 && cue.Stop % 400'000 == 0);
    FuzzCheck(!cue.Text.contains(u'|'));
  });
  const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data),
                                          static_cast<qsizetype>(size < 16 ? size : 16));
  const double fps = EffectiveMicroDVDRate({1, typed, 0});
  FuzzCheck(std::isfinite(fps) && fps > 0);
  // Scaling keeps the order of positions.
  FuzzCheck(ScaleToMicroDVD(1'000'000, fps) <= ScaleToMicroDVD(2'000'000, fps));
  return 0;
}
