#include "playlist/subtitletext.h"

#include <QIODevice>
#include <QLocale>
#include <QStringDecoder>
#include <cstring>

namespace {

// Subtitle files are small; a buffer this size reads most of them at once
// and keeps a large one from being read byte by byte.
constexpr qint64 kChunk = 64 * 1024;

constexpr char16_t kBad = 0xFFFD;

// Upper halves (0x80..0xFF) of the two code pages.
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kBad,   0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0: А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0: а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// 0x80..0x9F of Windows-1252; above that it is Latin-1.
constexpr char16_t kCp1252Low[32] = {
    0x20AC, kBad,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kBad,   0x017D, kBad,
    kBad,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kBad,   0x017E, 0x0178,
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no sequence cut off at the end. Fed in pieces so the file is not held whole.
class TUtf8Check {
 public:
  void Feed(const uchar* p, qsizetype n) {
    for (qsizetype i = 0; i < n && !bad_; ++i) {
      const uchar b = p[i];
      if (need_ == 0) {
        if (b < 0x80) continue;
        lo_ = 0x80;
        hi_ = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
          need_ = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
          need_ = 2;
          if (b == 0xE0) lo_ = 0xA0;
          if (b == 0xED) hi_ = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
          need_ = 3;
          if (b == 0xF0) lo_ = 0x90;
          if (b == 0xF4) hi_ = 0x8F;
        } else {
          bad_ = true;
        }
      } else if (b < lo_ || b > hi_) {
        bad_ = true;
      } else {
        lo_ = 0x80;
        hi_ = 0xBF;
        --need_;
      }
    }
  }
  bool Valid() const { return !bad_ && need_ == 0; }
  bool Failed() const { return bad_; }

 private:
  int need_ = 0;
  uchar lo_ = 0x80, hi_ = 0xBF;
  bool bad_ = false;
};

bool StartsWith(const QByteArray& data, const char* mark, int size) {
  return data.size() >= size && std::memcmp(data.constData(), mark, static_cast<size_t>(size)) == 0;
}

int UnitWidth(TTextEncoding encoding) {
  switch (encoding) {
    case TTextEncoding::Utf16LE:
    case TTextEncoding::Utf16BE:
      return 2;
    case TTextEncoding::Utf32LE:
    case TTextEncoding::Utf32BE:
      return 4;
    default:
      return 1;
  }
}

QStringConverter::Encoding ConverterOf(TTextEncoding encoding) {
  switch (encoding) {
    case TTextEncoding::Utf16LE: return QStringConverter::Utf16LE;
    case TTextEncoding::Utf16BE: return QStringConverter::Utf16BE;
    case TTextEncoding::Utf32LE: return QStringConverter::Utf32LE;
    case TTextEncoding::Utf32BE: return QStringConverter::Utf32BE;
    default: return QStringConverter::Utf8;
  }
}

}  // namespace

int LegacyCodePage() {
  return QLocale::system().script() == QLocale::CyrillicScript ? 1251 : 1252;
}

char16_t DecodeCodePageByte(int codePage, uchar byte) {
  if (byte < 0x80) return byte;
  if (codePage == 1251) return kCp1251[byte - 0x80];
  return byte < 0xA0 ? kCp1252Low[byte - 0x80] : char16_t(byte);
}

QString DecodeText(const char* data, qsizetype size, TTextEncoding encoding) {
  switch (encoding) {
    case TTextEncoding::Utf8:
      return QString::fromUtf8(data, size);
    case TTextEncoding::Legacy: {
      static const int codePage = LegacyCodePage();
      QString text(size, Qt::Uninitialized);
      char16_t* out = reinterpret_cast<char16_t*>(text.data());
      for (qsizetype i = 0; i < size; ++i)
        out[i] = DecodeCodePageByte(codePage, static_cast<uchar>(data[i]));
      return text;
    }
    default: {
      QStringDecoder decoder(ConverterOf(encoding), QStringConverter::Flag::Stateless);
      return decoder.decode(QByteArrayView(data, size));
    }
  }
}

TTextFormat DetectTextFormat(QIODevice& device) {
  device.seek(0);
  const QByteArray head = device.peek(4);
  TTextFormat format;
  // The four-byte marks first: FF FE 00 00 also starts with the UTF-16 one.
  if (StartsWith(head, "\xFF\xFE\x00\x00", 4)) {
    format = {TTextEncoding::Utf32LE, 4};
  } else if (StartsWith(head, "\x00\x00\xFE\xFF", 4)) {
    format = {TTextEncoding::Utf32BE, 4};
  } else if (StartsWith(head, "\xEF\xBB\xBF", 3)) {
    format = {TTextEncoding::Utf8, 3};
  } else if (StartsWith(head, "\xFF\xFE", 2)) {
    format = {TTextEncoding::Utf16LE, 2};
  } else if (StartsWith(head, "\xFE\xFF", 2)) {
    format = {TTextEncoding::Utf16BE, 2};
  } else {
    TUtf8Check check;
    for (;;) {
      const QByteArray chunk = device.read(kChunk);
      if (chunk.isEmpty()) break;
      check.Feed(reinterpret_cast<const uchar*>(chunk.constData()), chunk.size());
      if (check.Failed()) break;
    }
    format.Encoding = check.Valid() ? TTextEncoding::Utf8 : TTextEncoding::Legacy;
  }
  device.seek(0);
  return format;
}

QString ReadTextProbe(QIODevice& device, TTextFormat format, int chars) {
  const int width = UnitWidth(format.Encoding);
  device.seek(0);
  const QByteArray head = device.read(format.BomSize + qint64(chars) * width);
  device.seek(0);
  const QByteArray body = head.mid(format.BomSize);
  return DecodeText(body.constData(), body.size() - body.size() % width, format.Encoding);
}

TSubtitleReader::TSubtitleReader(QIODevice& device, TTextFormat format)
    : device_(device),
      encoding_(format.Encoding),
      width_(UnitWidth(format.Encoding)),
      size_(device.size()) {
  device_.seek(0);
  consumed_ = device_.read(format.BomSize).size();
}

int TSubtitleReader::Percent() const {
  if (size_ <= 0) return 0;
  // A file that grew while we read it must not push the gauge past its end.
  return static_cast<int>(qMin<qint64>(consumed_ * 100 / size_, 100));
}

bool TSubtitleReader::Refill() {
  if (eof_) return false;
  buffer_.remove(0, pos_);
  pos_ = 0;
  const QByteArray chunk = device_.read(kChunk);
  if (chunk.isEmpty()) {
    eof_ = true;
    return false;
  }
  buffer_.append(chunk);
  return true;
}

quint32 TSubtitleReader::UnitAt(qsizetype pos) const {
  const auto* b = reinterpret_cast<const uchar*>(buffer_.constData()) + pos;
  switch (encoding_) {
    case TTextEncoding::Utf16LE: return b[0] | (b[1] << 8);
    case TTextEncoding::Utf16BE: return (b[0] << 8) | b[1];
    case TTextEncoding::Utf32LE: return b[0] | (b[1] << 8) | (b[2] << 16) | (quint32(b[3]) << 24);
    case TTextEncoding::Utf32BE: return (quint32(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
    default: return b[0];
  }
}

bool TSubtitleReader::ReadLine(QString& line) {
  line_.clear();
  bool any = false;  // a line exists once a byte of it was consumed
  for (;;) {
    if (buffer_.size() - pos_ < width_) {
      if (!Refill()) break;
      continue;
    }
    if (width_ == 1) {
      // Single-byte units: LF and CR never occur inside a UTF-8 sequence or a
      // code-page character, so the bytes can be split as they are.
      const char* start = buffer_.constData() + pos_;
      const qsizetype avail = buffer_.size() - pos_;
      const char* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(avail)));
      const char* end = lf ? lf : start + avail;
      for (const char* p = start; p < end;) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
        const char* stop = cr ? cr : end;
        line_.append(p, stop - p);
        p = cr ? cr + 1 : end;
      }
      const qsizetype used = (end - start) + (lf ? 1 : 0);
      pos_ += used;
      consumed_ += used;
      any = any || used > 0;
      if (lf) break;
      continue;
    }
    const quint32 unit = UnitAt(pos_);
    pos_ += width_;
    consumed_ += width_;
    any = true;
    if (unit == 10) break;
    if (unit != 13) line_.append(buffer_.constData() + pos_ - width_, width_);
  }
  // A cut-off code unit at the very end still belongs to the last line.
  if (eof_ && pos_ < buffer_.size()) {
    line_.append(buffer_.constData() + pos_, buffer_.size() - pos_);
    consumed_ += buffer_.size() - pos_;
    pos_ = buffer_.size();
    any = true;
  }
  if (!any) {
    line.clear();
    return false;
  }
  line = DecodeText(line_.constData(), line_.size(), encoding_);
  return true;
}
