// Arbitrary bytes as a handed-over command line: the tokeniser must end and
// never read outside the text.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "core/cmdline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QStringList args = CommandLineArguments(text);
  // Each token comes off the front, so there are never more tokens than characters.
  if (args.size() > text.size() + 1) __builtin_trap();
  QString rest = text;
  for (int i = 0; i < 4 && !rest.isEmpty(); ++i) TakeToken(rest);
  FolderPart(text);
  return 0;
}
