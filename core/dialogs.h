#pragma once
// The secondary windows the main window's commands open: the playlist
// report, the filter graph and audio dialogs (with the decoder benchmark
// behind the first) and the about window. Each talks to the engine, the
// playlist and the play-state functions of the main window, not to its widgets.
#include <memory>

class TfrMain;
class TfrReport;
class TPlayHost;

// Command 34: the report window, made once and kept (its table stays
// between openings until the next build).
void ShowReportWindow(TfrMain& main);
TfrReport& ReportWindow(TfrMain& main);
// Commands 51 and 40 (each only while its button is enabled) and 58.
void ShowFiltersWindow(TfrMain& main);
void ShowAudioWindow(TfrMain& main);
void ShowAboutWindow(TfrMain& main);
// The main window's play-state functions as the engine's dialogs see them.
std::unique_ptr<TPlayHost> MakePlayHost(TfrMain& main);
