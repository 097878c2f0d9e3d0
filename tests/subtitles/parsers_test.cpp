// The three parsers against hand-written files, and their time fields.
#include <gtest/gtest.h>

#include <limits>

#include "playlist/subtitleparse.h"
#include "tests/support/qt_printers.h"

namespace {

constexpr qint64 kSecond = 10'000'000;
constexpr qint64 kFrame = 400'000;

struct TCue {
  qint64 Start, Stop;
  const char* Text;
};

void ExpectCues(const std::vector<TSubtitle>& got, std::initializer_list<TCue> want) {
  ASSERT_EQ(got.size(), want.size());
  size_t i = 0;
  for (const TCue& w : want) {
    EXPECT_EQ(got[i].Start, w.Start) << "cue " << i;
    EXPECT_EQ(got[i].Stop, w.Stop) << "cue " << i;
    EXPECT_EQ(got[i].Text, QString::fromUtf8(w.Text)) << "cue " << i;
    ++i;
  }
}

std::vector<TSubtitle> Parse(TSubtitleFormat format, const char* text) {
  return ParseSubtitleData(format, QByteArray(text));
}

TEST(SubRip, IndexAndTimingLinesStayOutOfTheText) {
  ExpectCues(Parse(TSubtitleFormat::SubRip,
                   "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\nworld\r\n\r\n"
                   "2\r\n01:02:03,456 --> 01:02:04,000\r\nBye\r\n\r\n"),
             {{1 * kSecond, 25'000'000, "Hello\r\nworld\r\n"},
              {((3600 + 120 + 3) * 1000LL + 456) * 10'000, 3724 * kSecond, "Bye\r\n"}});
}

TEST(SubRip, EmptyLineInsideACueAddsItAgainWithAllItsText) {
  // The index line "2" joins the text gathered so far and is dropped by the
  // timing line after it; the lookup shows the later, fuller copy.
  ExpectCues(Parse(TSubtitleFormat::SubRip,
                   "1\n00:00:01,000 --> 00:00:05,000\nA\n\nB\n\n2\n"
                   "00:00:06,000 --> 00:00:07,000\nC\n\n"),
             {{kSecond, 5 * kSecond, "A\r\n"},
              {kSecond, 5 * kSecond, "A\r\nB\r\n"},
              {6 * kSecond, 7 * kSecond, "C\r\n"}});
}

TEST(SubRip, EndOfFileClosesTheLastCueOnce) {
  ExpectCues(Parse(TSubtitleFormat::SubRip, "1\n00:00:01,000 --> 00:00:02,000\nLast\n"),
             {{kSecond, 2 * kSecond, "Last\r\n"}});
  ExpectCues(Parse(TSubtitleFormat::SubRip, "1\n00:00:01,000 --> 00:00:02,000\nLast"),
             {{kSecond, 2 * kSecond, "Last\r\n"}});
  ExpectCues(Parse(TSubtitleFormat::SubRip, "1\n00:00:01,000 --> 00:00:02,000\nLast\n\n"),
             {{kSecond, 2 * kSecond, "Last\r\n"}});
  // A timing line with nothing after it is no cue, nor is text before any
  // timing line.
  ExpectCues(Parse(TSubtitleFormat::SubRip, "1\n00:00:01,000 --> 00:00:02,000\n"), {});
  ExpectCues(Parse(TSubtitleFormat::SubRip, "{1}{2}MicroDVD text\r\nmore"), {});
}

TEST(SubRip, TimingLineRules) {
  // Separators are not checked; a bad field makes that time 0; a line of
  // blanks is text, not the end of a cue.
  ExpectCues(Parse(TSubtitleFormat::SubRip,
                   "00.00.01.500 --> 00:00:02.250\nDots\n\n"
                   "xx:00:03,000 --> 00:00:04,000\nBad start\n   \nstill\n\n"),
             {{15'000'000, 22'500'000, "Dots\r\n"},
              {0, 4 * kSecond, "Bad start\r\n   \r\nstill\r\n"}});
  // An arrow at the very start of a line leaves no start text at all.
  ExpectCues(Parse(TSubtitleFormat::SubRip, "--> 00:00:04,000\nx\n\n"), {{0, 4 * kSecond, "x\r\n"}});
  EXPECT_EQ(SubRipTime("99:59:59,999"), ((99 * 3600 + 59 * 60 + 59) * 1000LL + 999) * 10'000);
  EXPECT_EQ(SubRipTime("00:00:01"), 0);  // no milliseconds
}

TEST(SubViewer, TimingLineArmsTheNextLineOnly) {
  ExpectCues(Parse(TSubtitleFormat::SubViewer,
                   "[INFORMATION]\r\n[TITLE]Film\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n"
                   "00:01:02.50,00:01:04.00\r\nHello[br]world\r\n\r\n"
                   "stray text\r\n"
                   "00:01:05.00,00:01:06.00\r\n\r\n"
                   "00:01:07.00,00:01:08.00\r\n00:01:09.00,00:01:10.00\r\nlast[br][br]x"),
             {{625'000'000, 640'000'000, "Hello\r\nworld"},
              {650'000'000, 660'000'000, ""},  // an empty text line is an empty cue
              // A timing line straight after another is taken as its text, and
              // still arms the line after it.
              {670'000'000, 680'000'000, "00:01:09.00,00:01:10.00"},
              {690'000'000, 700'000'000, "last\r\n\r\nx"}});
}

TEST(MicroDVD, FramesTextAndDroppedLines) {
  ExpectCues(Parse(TSubtitleFormat::MicroDVD,
                   "{1}{1}23.976\r\n"
                   "{100}{200}First|Second\r\n"
                   "{300}Only one number\r\n"
                   "\t {400}{500}{y:i}Italic|{c:$0000FF}Red  \r\n"
                   "   \r\n"
                   "no braces at all\r\n"
                   "{x}{10}bad first\r\n"
                   "{10}{-5}negative\r\n"
                   "{600}{700}"),
             {{kFrame, kFrame, "23.976"},  // the frame-rate hint is an ordinary cue
              {100 * kFrame, 200 * kFrame, "First\r\nSecond"},
              {400 * kFrame, 500 * kFrame, "{y:i}Italic\r\n{c:$0000FF}Red"},
              {600 * kFrame, 700 * kFrame, ""}});
}

TEST(MicroDVD, FrameField) {
  QString line = "{12}{34}rest";
  EXPECT_EQ(TakeMicroDVDFrame(line), 12);
  EXPECT_EQ(line, "{34}rest");
  // The first character is skipped unchecked.
  line = "[56}x";
  EXPECT_EQ(TakeMicroDVDFrame(line), 56);
  EXPECT_EQ(line, "x");
  line = "}x";
  EXPECT_EQ(TakeMicroDVDFrame(line), -1);
  EXPECT_EQ(line, "x");
  line = "{99999999999}x";  // beyond 32 bits
  EXPECT_EQ(TakeMicroDVDFrame(line), -1);
}

TEST(Detection, ByExtensionAndProbe) {
  EXPECT_EQ(DetectSubtitleFormat("/a/film.srt", "[INF"), TSubtitleFormat::SubRip);
  EXPECT_EQ(DetectSubtitleFormat("/a/film.SrT", "{1}{"), TSubtitleFormat::SubRip);
  EXPECT_EQ(DetectSubtitleFormat("/a/film.txt", "[INF"), TSubtitleFormat::SubViewer);
  EXPECT_EQ(DetectSubtitleFormat("/a/film.sub", "[inf"), TSubtitleFormat::MicroDVD);
  EXPECT_EQ(DetectSubtitleFormat("/a/film.TXT", "{1}{"), TSubtitleFormat::MicroDVD);
  EXPECT_EQ(DetectSubtitleFormat("/a/film.ass", "[INF"), TSubtitleFormat::None);
  EXPECT_EQ(DetectSubtitleFormat("/a.srt/film", "[INF"), TSubtitleFormat::None);
  EXPECT_EQ(SubtitleFormatName(TSubtitleFormat::SubViewer), "SubViewer 2.0");
}

TEST(Lookup, InclusiveEndsAndLastMatchWins) {
  const std::vector<TSubtitle> cues = {
      {10, 20, "a"}, {15, 30, "b"}, {25, 25, "c"}, {40, 50, "d"}};
  EXPECT_EQ(FindSubtitle(cues, 9), "");
  EXPECT_EQ(FindSubtitle(cues, 10), "a");
  EXPECT_EQ(FindSubtitle(cues, 15), "b");
  EXPECT_EQ(FindSubtitle(cues, 20), "b");
  EXPECT_EQ(FindSubtitle(cues, 25), "c");
  EXPECT_EQ(FindSubtitle(cues, 31), "");
}

TEST(Lookup, OffsetShiftsCuesLater) {
  const std::vector<TSubtitle> cues = {{10 * kSecond, 11 * kSecond, "cue"}};
  EXPECT_EQ(FindSubtitle(cues, SubtitlePosition(12 * kSecond - 1, 2)), "");
  EXPECT_EQ(FindSubtitle(cues, SubtitlePosition(12 * kSecond, 2)), "cue");
  EXPECT_EQ(FindSubtitle(cues, SubtitlePosition(8 * kSecond, -2)), "cue");
}

TEST(MicroDVDRate, EffectiveRate) {
  EXPECT_DOUBLE_EQ(EffectiveMicroDVDRate({0, "25,00", 29.97}), 29.97);
  EXPECT_DOUBLE_EQ(EffectiveMicroDVDRate({0, "30,00", 0}), 25);  // no rate known
  EXPECT_DOUBLE_EQ(EffectiveMicroDVDRate({1, "23,976", 29.97}), 23.976);
  // The program runs under the Russian locale: a point is not its separator.
  EXPECT_DOUBLE_EQ(EffectiveMicroDVDRate({1, "23.976", 29.97}), 25);
  EXPECT_DOUBLE_EQ(EffectiveMicroDVDRate({1, "0", 29.97}), 25);
}

TEST(MicroDVDRate, FrameShowsFromItsTimeAtTheRate) {
  // Frame 250 is stored as 10 s; at F fps it belongs to 250 / F seconds.
  const std::vector<TSubtitle> cues = {{250 * kFrame, 500 * kFrame, "f250"}};
  auto at = [&](double seconds, double fps) {
    return FindSubtitle(cues, ScaleToMicroDVD(qint64(seconds * kSecond), fps));
  };
  EXPECT_EQ(at(9.999, 25), "");
  EXPECT_EQ(at(10.0, 25), "f250");
  EXPECT_EQ(at(10.426, 23.976), "");  // 250 / 23.976 = 10.4271
  EXPECT_EQ(at(10.428, 23.976), "f250");
  EXPECT_EQ(at(20.854, 23.976), "f250");  // frame 500 = 20.8542 s
  EXPECT_EQ(at(20.855, 23.976), "");
  EXPECT_EQ(at(8.341, 29.97), "");  // 250 / 29.97 = 8.3417
  EXPECT_EQ(at(8.342, 29.97), "f250");
  EXPECT_EQ(ScaleToMicroDVD(123456789, 25), 123456789);
  // Halves round to even.
  EXPECT_EQ(ScaleToMicroDVD(5, 12.5), 2);
  EXPECT_EQ(ScaleToMicroDVD(7, 12.5), 4);
  EXPECT_EQ(ScaleToMicroDVD(std::numeric_limits<qint64>::max(), 50),
            std::numeric_limits<qint64>::max());
}

}  // namespace
