#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <vector>

class TSubtitleReader;

// One timed cue; times in 100 ns units, both ends inclusive. MicroDVD cues
// keep frame * 400,000, i.e. the frame's time at 25 frames per second.
struct TSubtitle {
  qint64 Start = 0;
  qint64 Stop = 0;
  QString Text;  // lines separated by CR LF
};

enum class TSubtitleFormat { None, MicroDVD, SubRip, SubViewer };

// "MicroDVD", "SubRip", "SubViewer 2.0"; empty for None.
QString SubtitleFormatName(TSubtitleFormat format);

// By the upper-cased extension of the path (from its last "." on): ".SRT" is
// SubRip; ".SUB" and ".TXT" are SubViewer 2.0 when the file's text opens
// with exactly "[INF", else MicroDVD; anything else is not read.
TSubtitleFormat DetectSubtitleFormat(const QString& path, const QString& firstChars);

// Where parsed cues go and who hears about progress.
class TSubtitleSink {
 public:
  virtual ~TSubtitleSink() = default;
  virtual void AddSubtitle(const QString& text, qint64 start, qint64 stop) = 0;
  // After every line, with the reader's percentage; false stops the parse at
  // once (nothing more is added).
  virtual bool LineRead(int percent) = 0;
};

// Collects the cues in file order; never stops.
class TSubtitleCollector : public TSubtitleSink {
 public:
  void AddSubtitle(const QString& text, qint64 start, qint64 stop) override {
    Cues.push_back({start, stop, text});
  }
  bool LineRead(int) override { return true; }
  std::vector<TSubtitle> Cues;
};

void ParseMicroDVD(TSubtitleReader& reader, TSubtitleSink& sink);
void ParseSubRip(TSubtitleReader& reader, TSubtitleSink& sink);
void ParseSubViewer(TSubtitleReader& reader, TSubtitleSink& sink);
void ParseSubtitles(TSubtitleFormat format, TSubtitleReader& reader, TSubtitleSink& sink);
// The same over bytes already in memory, encoding detected as for a file.
std::vector<TSubtitle> ParseSubtitleData(TSubtitleFormat format, const QByteArray& data);

// Times of the timing lines. SubRip "hh:mm:ss,mmm" (separators unchecked;
// 0 when a piece is not a number); SubViewer "hh:mm:ss.cc" (hundredths; -1
// when a piece is not a number).
qint64 SubRipTime(const QString& text);
qint64 SubViewerTime(const QString& text);
// Takes "{number}" off the front of a MicroDVD line: the text between the
// line's second character and the first "}" is the number (-1 when it is not
// one) and the line keeps what follows. No "}" at all: -1, line unchanged.
int TakeMicroDVDFrame(QString& line);

// The frame-rate settings the MicroDVD lookup needs, read by the caller at
// the moment of the lookup.
struct TMicroDVDRate {
  int SetMicroDVDFPS = 0;                // 0: the movie's rate, 1: MicroDVDFPS
  QString MicroDVDFPS = QStringLiteral("25,00");  // locale decimal separator
  double MovieFrameRate = 0;             // 0 when the movie has no known rate
};
// The rate MicroDVD frames are counted at; 25 when none is known or the typed
// value is not a positive number.
double EffectiveMicroDVDRate(const TMicroDVDRate& rate);
// Brings a playback position to the 25-frames-per-second scale of stored
// MicroDVD cues, so that frame f shows from f / fps seconds on.
qint64 ScaleToMicroDVD(qint64 position, double fps);
// Text of the last cue in list order whose Start <= position <= Stop; "" if none.
QString FindSubtitle(const std::vector<TSubtitle>& cues, qint64 position);
// The position subtitles are looked up at: a positive offset (whole
// seconds) shows every cue later.
qint64 SubtitlePosition(qint64 enginePosition, int offsetSeconds);
