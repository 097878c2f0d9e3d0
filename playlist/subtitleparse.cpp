#include "playlist/subtitleparse.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <limits>

#include "playlist/subtitletext.h"

namespace {

constexpr qint64 kTicksPerSecond = 10'000'000;
// A MicroDVD frame in 100 ns units at the 25 frames per second cues are kept at.
constexpr qint64 kTicksPerFrame = 400'000;
constexpr double kStoredRate = 25.0;

const QString kCrLf = QStringLiteral("\r\n");

// A decimal integer as the time and frame fields are written: blanks before
// it, a sign, digits and nothing after; it must fit 32 bits.
bool ReadDecimal(QStringView text, int& value) {
  qsizetype i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size()) return false;
  qint64 v = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
    if (v > qint64(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  value = static_cast<int>(v);
  return true;
}

// Reads the fields of a timing text at the given 0-based starts and widths.
template <size_t N>
bool ReadFields(const QString& text, const int (&at)[N][2], int (&out)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (!ReadDecimal(QStringView(text).mid(at[i][0]).left(at[i][1]), out[i])) return false;
  return true;
}

// Blanks and control characters off both ends, as the MicroDVD lines want.
QString TrimControl(const QString& line) {
  qsizetype b = 0, e = line.size();
  while (b < e && line[b].unicode() <= u' ') ++b;
  while (e > b && line[e - 1].unicode() <= u' ') --e;
  return line.mid(b, e - b);
}

// A read of a whole file through the sink; false when the sink stopped it.
template <typename OnLine>
bool ForEachLine(TSubtitleReader& reader, TSubtitleSink& sink, OnLine onLine) {
  QString line;
  while (reader.ReadLine(line)) {
    onLine(line);
    if (!sink.LineRead(reader.Percent())) return false;
  }
  return true;
}

}  // namespace

QString SubtitleFormatName(TSubtitleFormat format) {
  switch (format) {
    case TSubtitleFormat::MicroDVD: return QStringLiteral("MicroDVD");
    case TSubtitleFormat::SubRip: return QStringLiteral("SubRip");
    case TSubtitleFormat::SubViewer: return QStringLiteral("SubViewer 2.0");
    default: return QString();
  }
}

TSubtitleFormat DetectSubtitleFormat(const QString& path, const QString& firstChars) {
  const QString name = QFileInfo(path).fileName();
  const qsizetype dot = name.lastIndexOf(u'.');
  const QString ext = dot < 0 ? QString() : name.mid(dot).toUpper();
  if (ext == QLatin1String(".SUB") || ext == QLatin1String(".TXT"))
    return firstChars == QLatin1String("[INF") ? TSubtitleFormat::SubViewer
                                                : TSubtitleFormat::MicroDVD;
  if (ext == QLatin1String(".SRT")) return TSubtitleFormat::SubRip;
  return TSubtitleFormat::None;
}

qint64 SubRipTime(const QString& text) {
  static constexpr int at[4][2] = {{0, 2}, {3, 2}, {6, 2}, {9, 3}};
  int f[4];
  if (!ReadFields(text, at, f)) return 0;
  return (((qint64(f[0]) * 60 + f[1]) * 60 + f[2]) * 1000 + f[3]) * 10'000;
}

qint64 SubViewerTime(const QString& text) {
  static constexpr int at[4][2] = {{0, 2}, {3, 2}, {6, 2}, {9, 2}};
  int f[4];
  if (!ReadFields(text, at, f)) return -1;
  return (((qint64(f[0]) * 60 + f[1]) * 60 + f[2]) * 100 + f[3]) * 100'000;
}

int TakeMicroDVDFrame(QString& line) {
  const qsizetype brace = line.indexOf(u'}');
  if (brace < 0) return -1;
  int frame = -1;
  if (!ReadDecimal(QStringView(line).mid(1, qMax<qsizetype>(brace - 1, 0)), frame)) frame = -1;
  line.remove(0, brace + 1);
  return frame;
}

void ParseMicroDVD(TSubtitleReader& reader, TSubtitleSink& sink) {
  ForEachLine(reader, sink, [&](const QString& raw) {
    QString line = TrimControl(raw);
    if (line.isEmpty()) return;
    const qint64 start = TakeMicroDVDFrame(line) * kTicksPerFrame;
    const qint64 stop = TakeMicroDVDFrame(line) * kTicksPerFrame;
    line.replace(u'|', kCrLf);
    if (start >= 0 && stop >= 0) sink.AddSubtitle(line, start, stop);
  });
}

void ParseSubRip(TSubtitleReader& reader, TSubtitleSink& sink) {
  qint64 start = 0, stop = 0;
  QString text;
  bool lastEmpty = true;
  bool timed = false;  // a timing line was read: text from here on is cue text
  const bool complete = ForEachLine(reader, sink, [&](const QString& line) {
    lastEmpty = line.isEmpty();
    if (!line.isEmpty()) text += line + kCrLf;
    const qsizetype arrow = line.indexOf(QLatin1String("-->"));
    if (arrow >= 0) {
      start = SubRipTime(line.left(qMax<qsizetype>(arrow - 1, 0)));
      stop = SubRipTime(line.mid(arrow + 4, 12));
      text.clear();
      timed = true;
    }
    // Not cleared here: a cue with an empty line inside is added again with
    // all its text, and the lookup shows the later, fuller one.
    if (line.isEmpty() && !text.isEmpty()) sink.AddSubtitle(text, start, stop);
  });
  // Many files end with the last cue's text and no empty line after it; the
  // end of the file closes that cue as an empty line would. Text before any
  // timing line (another format saved as .srt) is no cue.
  if (complete && timed && !lastEmpty && !text.isEmpty()) sink.AddSubtitle(text, start, stop);
}

void ParseSubViewer(TSubtitleReader& reader, TSubtitleSink& sink) {
  qint64 start = -1, stop = -1;
  ForEachLine(reader, sink, [&](const QString& line) {
    if (start >= 0 && stop >= 0) {
      QString text = line;
      text.replace(QLatin1String("[br]"), kCrLf);
      sink.AddSubtitle(text, start, stop);
    }
    // Only a timing line yields two valid times, so only it arms the next line.
    start = SubViewerTime(line.left(11));
    stop = SubViewerTime(line.mid(12, 11));
  });
}

void ParseSubtitles(TSubtitleFormat format, TSubtitleReader& reader, TSubtitleSink& sink) {
  switch (format) {
    case TSubtitleFormat::MicroDVD: ParseMicroDVD(reader, sink); break;
    case TSubtitleFormat::SubRip: ParseSubRip(reader, sink); break;
    case TSubtitleFormat::SubViewer: ParseSubViewer(reader, sink); break;
    case TSubtitleFormat::None: break;
  }
}

std::vector<TSubtitle> ParseSubtitleData(TSubtitleFormat format, const QByteArray& data) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  TSubtitleReader reader(buffer, DetectTextFormat(buffer));
  TSubtitleCollector collector;
  ParseSubtitles(format, reader, collector);
  return std::move(collector.Cues);
}

double EffectiveMicroDVDRate(const TMicroDVDRate& rate) {
  bool ok = false;
  const double fps = rate.SetMicroDVDFPS == 1 ? QLocale::system().toDouble(rate.MicroDVDFPS, &ok)
                                              : rate.MovieFrameRate;
  if (rate.SetMicroDVDFPS == 1 && !ok) return kStoredRate;
  return std::isfinite(fps) && fps > 0 ? fps : kStoredRate;
}

qint64 ScaleToMicroDVD(qint64 position, double fps) {
  if (fps == kStoredRate) return position;
  // Rounded to the nearest value, halves to even.
  const long double scaled = std::nearbyint(static_cast<long double>(position) * fps / kStoredRate);
  constexpr long double kMax = static_cast<long double>(std::numeric_limits<qint64>::max());
  if (scaled >= kMax) return std::numeric_limits<qint64>::max();
  if (scaled <= -kMax) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(scaled);
}

QString FindSubtitle(const std::vector<TSubtitle>& cues, qint64 position) {
  // The last match in file order wins, so the scan never stops early.
  const TSubtitle* found = nullptr;
  for (const TSubtitle& cue : cues)
    if (cue.Start <= position && position <= cue.Stop) found = &cue;
  return found ? found->Text : QString();
}

qint64 SubtitlePosition(qint64 enginePosition, int offsetSeconds) {
  return enginePosition - qint64(offsetSeconds) * kTicksPerSecond;
}
