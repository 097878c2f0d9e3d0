// Arbitrary bytes as a SubRip file.
#include "fuzz/subtitle_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSubtitleParser(TSubtitleFormat::SubRip, data, size, [](const TSubtitle& cue) {
    // Text comes only from lines after a timing line, never the timing line itself.
    FuzzCheck(cue.Text.endsWith(QStringLiteral("\r\n")));
    FuzzCheck(!cue.Text.contains(QStringLiteral("-->")));
    FuzzCheck(cue.Start % 10'000 == 0 && cue.Stop % 10'000 == 0);
  });
  return 0;
}
