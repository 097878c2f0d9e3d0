#pragma once
// What every subtitle parser must hold to on any input: it ends, reads the
// whole input, reports progress that only climbs to 100, and yields cues
// whose line breaks are all CR LF pairs. Each format adds its own checks.
#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "playlist/subtitleparse.h"
#include "playlist/subtitletext.h"

inline void FuzzCheck(bool ok) {
  if (!ok) __builtin_trap();
}

class TFuzzSink : public TSubtitleCollector {
 public:
  bool LineRead(int percent) override {
    FuzzCheck(percent >= last && percent <= 100);
    last = percent;
    return true;
  }
  int last = 0;
};

inline bool PairedLineBreaks(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) return false;
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) return false;
  }
  return true;
}

inline void FuzzSubtitleParser(TSubtitleFormat format, const uint8_t* data, size_t size,
                               const std::function<void(const TSubtitle&)>& checkCue) {
  QBuffer buffer;
  buffer.setData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  buffer.open(QIODevice::ReadOnly);
  const TTextFormat text = DetectTextFormat(buffer);
  FuzzCheck(buffer.pos() == 0);
  TSubtitleReader reader(buffer, text);
  TFuzzSink sink;
  ParseSubtitles(format, reader, sink);
  FuzzCheck(reader.BytesRead() == static_cast<qint64>(size));
  FuzzCheck(size == 0 || reader.Percent() == 100);
  for (const TSubtitle& cue : sink.Cues) {
    FuzzCheck(PairedLineBreaks(cue.Text));
    checkCue(cue);
  }
  // The lookup finds the last cue at its own start (no later cue can hide it).
  if (!sink.Cues.empty()) {
    const TSubtitle& last = sink.Cues.back();
    if (last.Start <= last.Stop) FuzzCheck(FindSubtitle(sink.Cues, last.Start) == last.Text);
  }
}
