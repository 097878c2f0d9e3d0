// Arbitrary bytes from the remote server through the client's read handler,
// delivered in pieces the input chooses: lines must come out the same
// however the stream is cut, the held partial line never passes its bound,
// and a press only ever posts commands that exist.
#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>

#include "commands/keymap.h"
#include "commands/remoteline.h"
#include "commands/winlirc.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte sets the piece length; the rest is the stream.
  const qsizetype step = 1 + data[0] % 64;
  const QByteArrayView stream(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  TRemoteLineBuffer whole;
  const QList<QByteArray> expected = whole.Feed(stream);
  TRemoteLineBuffer pieces;
  QList<QByteArray> got;
  for (qsizetype at = 0; at < stream.size(); at += step) {
    got.append(pieces.Feed(stream.sliced(at, qMin(step, stream.size() - at))));
    Check(pieces.Pending() <= TRemoteLineBuffer::MaxLine);
  }
  Check(got == expected);
  Check(pieces.Pending() == whole.Pending() && pieces.Dropping() == whole.Dropping());
  for (const QByteArray& line : got) Check(!line.contains('\n') && line.size() <= TRemoteLineBuffer::MaxLine);

  TKeyMap map;
  map.ApplyPreset(TKeyPreset::Default);
  TWinLIRCClient client(map);
  QList<int> posted;
  int learnt = 0;
  client.PostCommand = [&](int id) { posted.append(id); };
  // Every third press goes into the key grid instead.
  client.Learner = [&](const QString& button) {
    Check(!button.isEmpty() && !button.contains(QLatin1Char(' ')));
    return ++learnt % 3 == 0;
  };
  for (qsizetype at = 0; at < stream.size(); at += step) {
    const qsizetype before = posted.size();
    client.Receive(stream.sliced(at, qMin(step, stream.size() - at)));
    for (qsizetype i = before; i < posted.size(); ++i) Check(IsCommandId(posted[i]));
    Check(!client.StatusText().contains(QLatin1Char('\n')));
    Check(client.StatusText() == TrimControls(client.StatusText()));
  }
  return 0;
}
