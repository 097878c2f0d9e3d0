#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The remote server reports each button press as one text line:
// "<code> <repeat> <button> <remote>", for example
// "000000000000f00f 00 Play myremote". Only the repeat count and the button
// name matter to the player.

// Cuts the server's byte stream into lines. TCP keeps no message bounds:
// several presses may arrive in one read and one line may be split over two,
// so bytes are kept until their line break arrives. A line longer than
// MaxLine bytes is no press; it is dropped up to its line break, so a peer
// that never sends one cannot make the buffer grow.
class TRemoteLineBuffer {
 public:
  static constexpr qsizetype MaxLine = 1024;

  // Takes the bytes just received; returns every line they complete, in
  // order, without its line break.
  QList<QByteArray> Feed(QByteArrayView data);
  // Bytes of the unfinished line held for the next read.
  qsizetype Pending() const { return partial_.size(); }
  // Whether an overlong line is being skipped up to its line break.
  bool Dropping() const { return dropping_; }

 private:
  QByteArray partial_;
  bool dropping_ = false;
};

// The text with every blank and control character (code 32 and below) taken
// off both ends; the line break is one of them.
QString TrimControls(const QString& text);

struct TRemotePress {
  QString Button;       // empty = nothing to run
  bool Repeat = false;  // a report of a held button after its first one
};

// Reads one trimmed line: drops the code field, takes the repeat flag from
// the first two characters of the rest (anything but "00" is a repeat),
// drops the repeat field and keeps the button name up to its first space.
// A line with fewer fields keeps whatever the missing spaces leave.
TRemotePress ParseRemoteLine(const QString& line);

// Whether a held button repeats the command: only the two volume commands
// do; every other command runs once per press.
bool CommandRepeats(int id);
