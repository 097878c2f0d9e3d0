#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// How the bytes of a subtitle file become text. Files from the old days are
// in the code page of their author's system, newer ones in UTF-8 or, from
// some editors, UTF-16 with a byte-order mark.
enum class TTextEncoding { Legacy, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

struct TTextFormat {
  TTextEncoding Encoding = TTextEncoding::Legacy;
  int BomSize = 0;  // bytes of byte-order mark at the start of the file
};

// A byte-order mark decides; without one, a stream that is valid UTF-8 from
// end to end is UTF-8 and anything else is in the legacy code page. Reads the
// device from its start and leaves it there.
TTextFormat DetectTextFormat(QIODevice& device);

// The single-byte code page whose files we meet on this system's language:
// 1251 for Cyrillic-script languages, 1252 for the rest.
int LegacyCodePage();

// Decodes a piece of text that holds whole code units of `encoding`
// (an odd trailing byte of UTF-16 becomes a replacement character).
QString DecodeText(const char* data, qsizetype size, TTextEncoding encoding);
// One byte of Windows-1251 or Windows-1252; unassigned bytes give U+FFFD.
char16_t DecodeCodePageByte(int codePage, uchar byte);

// Up to `chars` code units that follow the byte-order mark, decoded; the
// device is left at its start.
QString ReadTextProbe(QIODevice& device, TTextFormat format, int chars);

// Splits a subtitle file into lines: a line ends at LF, every CR is dropped
// wherever it stands, and the end of the file ends the last line. Reads the
// device through a buffer and counts the bytes consumed, so the caller can
// show how far it has come. The device must be open and positioned at 0.
class TSubtitleReader {
 public:
  TSubtitleReader(QIODevice& device, TTextFormat format);
  TSubtitleReader(const TSubtitleReader&) = delete;
  TSubtitleReader& operator=(const TSubtitleReader&) = delete;

  // False at the end of the file (line is then left empty).
  bool ReadLine(QString& line);
  // (bytes consumed so far * 100) div (file size); 0 for an empty file.
  int Percent() const;
  qint64 BytesRead() const { return consumed_; }

 private:
  bool Refill();
  // Code unit at the read position; only when a whole unit is buffered.
  quint32 UnitAt(qsizetype pos) const;

  QIODevice& device_;
  TTextEncoding encoding_;
  int width_;  // bytes per code unit
  qint64 size_;
  qint64 consumed_ = 0;
  QByteArray buffer_;
  qsizetype pos_ = 0;
  bool eof_ = false;
  QByteArray line_;
};
