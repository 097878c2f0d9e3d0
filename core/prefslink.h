#pragma once
#include <QString>

// What ties the preferences dialog and the help file to the main window.
class TfrMain;
class TfrConfig;

// The dialog of this window, created on first use and kept while the window
// lives.
TfrConfig& PreferencesDialog(TfrMain& main);
// The preferences command: save, load, the dialog, load again.
void ShowPreferences(TfrMain& main);
// Where the English help is: beside the program (a build tree), else in the
// data folder of an installed program, found from the program's own folder
// (<prefix>/bin -> <prefix>/share/kelvara) so that any prefix works. Empty
// when neither holds it.
QString HelpFileIn(const QString& programDir);
// The English help, looked for from the running program's folder and opened
// by the desktop's handler; a missing file or handler is said in a box.
void OpenHelpFile();
void OpenHelpFile(const QString& programDir);
