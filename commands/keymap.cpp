#include "commands/keymap.h"

#include "platform/system/profile.h"

namespace {

constexpr const char* ColumnKeyPrefix[KeyColumnCount] = {"Wind_", "FScr_", "WIRC_"};
constexpr TKeyColumn Columns[KeyColumnCount] = {TKeyColumn::Window, TKeyColumn::FullScreen, TKeyColumn::Remote};

int ColumnIndex(TKeyColumn column) { return static_cast<int>(column); }

}  // namespace

QString CommandMapKey(TKeyColumn column, int id) {
  return QLatin1String(ColumnKeyPrefix[ColumnIndex(column)]) + CommandHexId(id);
}

const QString& TKeyMap::Cell(int id, TKeyColumn column) const {
  static const QString none;
  return IsCommandId(id) ? cells_[id][ColumnIndex(column)] : none;
}

void TKeyMap::SetCell(int id, TKeyColumn column, const QString& text) {
  if (IsCommandId(id)) cells_[id][ColumnIndex(column)] = text;
}

void TKeyMap::ClearAll() {
  for (auto& row : cells_)
    for (QString& cell : row) cell.clear();
}

std::vector<int> TKeyMap::Lookup(TKeyColumn column, const QString& text) const {
  std::vector<int> ids;
  if (text.isEmpty()) return ids;
  for (int id = 0; id < CommandCount; ++id)
    if (cells_[id][ColumnIndex(column)] == text) ids.push_back(id);
  return ids;
}

bool TKeyMap::CaptureKey(int id, TKeyColumn column, quint16 virtualKey, TShiftState shift, bool multiKeys) {
  if (column == TKeyColumn::Remote || !IsCommandId(id)) return false;
  const QString text = KeyText(virtualKey, shift);
  if (!multiKeys)
    for (int other : Lookup(column, text)) ClearCell(other, column);
  SetCell(id, column, text);
  return true;
}

void TKeyMap::ApplyPreset(TKeyPreset preset) {
  ClearAll();
  const int p = static_cast<int>(preset);
  for (const TCommandInfo& command : Commands()) {
    const TPresetBinding& binding = command.Presets[p];
    const QString key = QString::fromUtf8(binding.Key);
    SetCell(command.Id, TKeyColumn::Window, key);
    SetCell(command.Id, TKeyColumn::FullScreen, key);
    SetCell(command.Id, TKeyColumn::Remote, QString::fromUtf8(binding.Remote));
  }
}

void TKeyMap::Save(TIniFile& ini) const {
  const QString section = QLatin1String(CommandMapSection);
  for (int id = 0; id < CommandCount; ++id)
    for (TKeyColumn column : Columns) ini.WriteString(section, CommandMapKey(column, id), Cell(id, column));
}

void TKeyMap::Load(const TIniFile& ini) {
  const QString section = QLatin1String(CommandMapSection);
  for (int id = 0; id < CommandCount; ++id)
    for (TKeyColumn column : Columns) SetCell(id, column, ini.ReadString(section, CommandMapKey(column, id), QString()));
}
