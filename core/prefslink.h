#pragma once
// What ties the preferences dialog and the help file to the main window.
class TfrMain;
class TfrConfig;

// The dialog of this window, created on first use and kept while the window
// lives.
TfrConfig& PreferencesDialog(TfrMain& main);
// The preferences command: save, load, the dialog, load again.
void ShowPreferences(TfrMain& main);
// The English help: kelvar.html beside the executable, opened by the
// desktop's handler; a missing file or handler is said in a box.
void OpenHelpFile();
