#pragma once
#include <QString>
#include <optional>
#include <vector>

struct TDisplayMode;

// Texts and values the preferences dialog composes and reads, apart from
// its widgets.

// The speed label: "x1,3" for position 13, with the system's decimal
// separator.
QString SpeedText(int position);

// The subtitle-offset label: prefix, then ": " and the sign ("-", "+", or a
// space at 0), minutes and two-digit seconds: "...: -1:05", "...:  0:00".
QString OffsetText(const QString& prefix, int seconds);

// "640 x 480, 16 Bits".
QString DisplayModeCaption(int width, int height, int bits);

// One item of the display-mode menu.
struct TModeItem {
  QString Caption;
  int Width = 0, Height = 0, Bits = 0;
  bool Enabled = false;
  bool Checked = false;
};
inline constexpr int MaxDisplayModes = 100;
// The first 100 modes in the order given; a mode whose depth differs from
// the screen's is disabled, the chosen one checked.
std::vector<TModeItem> DisplayModeItems(const std::vector<TDisplayMode>& modes, int screenBits,
                                        int chosenWidth, int chosenHeight, int chosenBits);

// The WinLIRC port the WIRCport text names: a whole number 0..65535 with
// optional blanks around it; nothing for any other text, so the caller
// keeps the port it had.
std::optional<quint16> ParseWIRCport(const QString& text);

// Why a file cannot be the button skin; empty when it can: it must load as a
// picture of exactly 820 x 126 pixels.
QString SkinFileProblem(const QString& path);
