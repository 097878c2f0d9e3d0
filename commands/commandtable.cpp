#include "commands/commandtable.h"

#include <iterator>

#include "lang/langs.h"

namespace {

constexpr TCommandInfo CommandTable[] = {
#define KELVARA_COMMAND_ROW(symbol, english, russian, defKey, defRemote, bsKey, bsRemote, sasamiKey) \
  {symbol, #symbol, english, russian, {{defKey, defRemote}, {bsKey, bsRemote}, {sasamiKey, ""}}},
    KELVARA_COMMAND_TABLE(KELVARA_COMMAND_ROW)
#undef KELVARA_COMMAND_ROW
};
static_assert(std::size(CommandTable) == CommandCount);

}  // namespace

bool IsCommandId(int id) { return id >= 0 && id < CommandCount; }

const TCommandInfo* FindCommand(int id) { return IsCommandId(id) ? &CommandTable[id] : nullptr; }

std::span<const TCommandInfo> Commands() { return CommandTable; }

QString CommandHexId(int id) { return QString::asprintf("%.3X", static_cast<unsigned>(id)); }

QString CommandName(int id) {
  const TCommandInfo* c = FindCommand(id);
  if (!c) return QString();
  return QString::fromUtf8(IsEnglishLanguage() ? c->NameEnglish : c->NameRussian);
}
