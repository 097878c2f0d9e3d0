#pragma once
#include <QString>
#include <array>
#include <vector>

#include "commands/commandtable.h"
#include "commands/keytext.h"

class TIniFile;

// The three cells of a command's row, in grid column order.
enum class TKeyColumn : int { Window = 0, FullScreen = 1, Remote = 2 };
inline constexpr int KeyColumnCount = 3;
// Column headers of the key grid, the same in every interface language.
inline constexpr const char* KeyColumnHeaders[KeyColumnCount] = {"Window", "Full-Scr", "WinLIRC"};

// The section of the settings file that holds the key map.
inline constexpr const char* CommandMapSection = "CommandMap";
// "Wind_000", "FScr_03B", "WIRC_03C": the settings key of one cell.
QString CommandMapKey(TKeyColumn column, int id);

// The binding of key texts and remote button names to commands: one row per
// command, one free-text cell per column, empty = unbound. Texts are only ever
// compared whole and case-sensitively; several rows may hold the same text.
class TKeyMap {
 public:
  // Empty for an identifier outside 0..60.
  const QString& Cell(int id, TKeyColumn column) const;
  // Ignored for an identifier outside 0..60.
  void SetCell(int id, TKeyColumn column, const QString& text);
  void ClearCell(int id, TKeyColumn column) { SetCell(id, column, QString()); }
  void ClearAll();

  // Every command whose cell in the column equals text, lowest id first. An
  // empty text matches nothing.
  std::vector<int> Lookup(TKeyColumn column, const QString& text) const;

  // A key pressed while the cell (id, column) is current in the key grid.
  // Remote names are never typed, so the remote column ignores it. Without
  // multiKeys the key is first taken away from every other row of the same
  // column. True when the cell was written.
  bool CaptureKey(int id, TKeyColumn column, quint16 virtualKey, TShiftState shift, bool multiKeys);

  // Empties every cell, then writes the preset's keys into both key columns
  // and its remote names into the remote column.
  void ApplyPreset(TKeyPreset preset);

  // Every cell of every row, empty ones included, id by id in the order
  // window, full screen, remote: 183 keys.
  void Save(TIniFile& ini) const;
  // An absent key reads as empty, so it unbinds its cell.
  void Load(const TIniFile& ini);

  bool operator==(const TKeyMap&) const = default;

 private:
  std::array<std::array<QString, KeyColumnCount>, CommandCount> cells_;
};
