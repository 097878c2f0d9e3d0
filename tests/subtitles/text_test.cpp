// Encodings of subtitle files and the line reader under the parsers.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QStringEncoder>

#include "playlist/subtitletext.h"
#include "tests/support/qt_printers.h"

namespace {

const QString kPrivet = QString::fromUtf8("Привет, Ёлка ё №");
const QByteArray kPrivet1251("\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xEB\xEA\xE0 \xB8 \xB9");

struct TRead {
  TTextFormat Format;
  QStringList Lines;
  std::vector<int> Percents;
};

TRead ReadAll(const QByteArray& data) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  TRead r;
  r.Format = DetectTextFormat(buffer);
  TSubtitleReader reader(buffer, r.Format);
  QString line;
  while (reader.ReadLine(line)) {
    r.Lines << line;
    r.Percents.push_back(reader.Percent());
  }
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_EQ(reader.BytesRead(), data.size());
  return r;
}

QByteArray Encode(QStringConverter::Encoding encoding, const QString& text) {
  QStringEncoder encoder(encoding);
  return encoder.encode(text);
}

TEST(SubtitleText, LineSplitting) {
  EXPECT_EQ(ReadAll("a\r\nb\n\nc").Lines, QStringList({"a", "b", "", "c"}));
  EXPECT_EQ(ReadAll("a\n").Lines, QStringList({"a"}));
  EXPECT_EQ(ReadAll("a\rb\r\r\n\n").Lines, QStringList({"ab", ""}));
  EXPECT_TRUE(ReadAll("").Lines.isEmpty());
  // A line much longer than the read buffer.
  const QByteArray longLine(200'000, 'x');
  EXPECT_EQ(ReadAll(longLine + "\r\nend").Lines, QStringList({QString(longLine), "end"}));
}

TEST(SubtitleText, ProgressClimbsToTheEnd) {
  QByteArray data;
  for (int i = 0; i < 5000; ++i) data += "{1}{2}line " + QByteArray::number(i) + "\r\n";
  const TRead r = ReadAll(data);
  ASSERT_EQ(r.Lines.size(), 5000);
  EXPECT_TRUE(std::is_sorted(r.Percents.begin(), r.Percents.end()));
  EXPECT_LT(r.Percents.front(), 1);
  EXPECT_EQ(r.Percents.back(), 100);
}

TEST(SubtitleText, LegacyCodePageForInvalidUtf8) {
  EXPECT_EQ(LegacyCodePage(), 1251);  // the tests run under Russian
  TRead r = ReadAll(kPrivet1251 + "\r\n");
  EXPECT_EQ(r.Format.Encoding, TTextEncoding::Legacy);
  EXPECT_EQ(r.Lines, QStringList({kPrivet}));
  // Valid UTF-8 for 100 KB, then one code-page letter: the whole file is
  // in the code page, the part read before the bad byte included.
  const QByteArray ascii(100'000, 'a');
  r = ReadAll(ascii + "\n\xE0");
  EXPECT_EQ(r.Format.Encoding, TTextEncoding::Legacy);
  EXPECT_EQ(r.Lines.last(), QString::fromUtf8("а"));
  // Cut-off, overlong and surrogate sequences are not UTF-8.
  for (const char* bad : {"ok\xD0", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
    EXPECT_EQ(ReadAll(bad).Format.Encoding, TTextEncoding::Legacy) << bad;
}

TEST(SubtitleText, Utf8WithAndWithoutMark) {
  // A two-byte letter across the boundary of the 64 KB read buffer.
  const QByteArray pad(65535, 'a');
  TRead r = ReadAll(pad + kPrivet.toUtf8());
  EXPECT_EQ(r.Format.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(r.Lines.first().mid(65535), kPrivet);
  r = ReadAll("\xEF\xBB\xBF" + kPrivet.toUtf8() + "\r\nx");
  EXPECT_EQ(r.Format.Encoding, TTextEncoding::Utf8);
  EXPECT_EQ(r.Format.BomSize, 3);
  EXPECT_EQ(r.Lines, QStringList({kPrivet, "x"}));
}

TEST(SubtitleText, WideEncodingsByTheirMark) {
  const QString text = kPrivet + "\r\nline\u010A two\n\n\U0001F600";  // U+010A has a 0x0A byte
  const QStringList lines = {kPrivet, QString::fromUtf8("line\u010A two"), "",
                             QString::fromUtf8("\U0001F600")};
  const struct {
    const char* mark;
    int size;
    QStringConverter::Encoding encoding;
    TTextEncoding expected;
  } cases[] = {
      {"\xFF\xFE", 2, QStringConverter::Utf16LE, TTextEncoding::Utf16LE},
      {"\xFE\xFF", 2, QStringConverter::Utf16BE, TTextEncoding::Utf16BE},
      {"\xFF\xFE\x00\x00", 4, QStringConverter::Utf32LE, TTextEncoding::Utf32LE},
      {"\x00\x00\xFE\xFF", 4, QStringConverter::Utf32BE, TTextEncoding::Utf32BE},
  };
  for (const auto& c : cases) {
    const TRead r = ReadAll(QByteArray(c.mark, c.size) + Encode(c.encoding, text));
    EXPECT_EQ(r.Format.Encoding, c.expected) << c.size;
    EXPECT_EQ(r.Format.BomSize, c.size);
    EXPECT_EQ(r.Lines, lines) << c.size;
  }
  // A stray odd byte at the end of UTF-16 still ends the file cleanly.
  const TRead r = ReadAll("\xFF\xFE" + Encode(QStringConverter::Utf16LE, "ab\n") + "c");
  ASSERT_EQ(r.Lines.size(), 2);
  EXPECT_EQ(r.Lines[0], "ab");
}

TEST(SubtitleText, ProbeSkipsTheMark) {
  QBuffer buffer;
  buffer.setData("\xFF\xFE" + Encode(QStringConverter::Utf16LE, "[INFORMATION]"));
  buffer.open(QIODevice::ReadOnly);
  const TTextFormat format = DetectTextFormat(buffer);
  EXPECT_EQ(ReadTextProbe(buffer, format, 4), "[INF");
  EXPECT_EQ(buffer.pos(), 0);
}

TEST(SubtitleText, CodePageTables) {
  EXPECT_EQ(DecodeCodePageByte(1251, 0x88), u'€');
  EXPECT_EQ(DecodeCodePageByte(1251, 0x98), u'\uFFFD');
  EXPECT_EQ(DecodeCodePageByte(1252, 0x80), u'€');
  EXPECT_EQ(DecodeCodePageByte(1252, 0xE9), u'é');
}

}  // namespace
