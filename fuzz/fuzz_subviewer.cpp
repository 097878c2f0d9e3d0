// Arbitrary bytes as a SubViewer 2.0 file.
#include "fuzz/subtitle_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSubtitleParser(TSubtitleFormat::SubViewer, data, size, [](const TSubtitle& cue) {
    // Only a line after a valid timing line becomes a cue.
    FuzzCheck(cue.Start >= 0 && cue.Stop >= 0);
    FuzzCheck(cue.Start % 100'000 == 0 && cue.Stop % 100'000 == 0);
    FuzzCheck(!cue.Text.contains(QStringLiteral("[br]")));
  });
  return 0;
}
