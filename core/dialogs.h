#pragma once
// The secondary windows the main window's commands open: the playlist
// report, the filter graph and audio dialogs (with the decoder benchmark
// behind the first) and the about window. Each talks to playback (the
// engine and the play-state functions) and the playlist, not to widgets.
#include <memory>

class QWidget;
class TPlayback;
class TPlayList;
class TPlayHost;
class TfrReport;

// Command 34: the report window, made once per owner and kept (its table
// stays between openings until the next build).
void ShowReportWindow(QWidget& owner, TPlayback& play, TPlayList& list);
TfrReport& ReportWindow(QWidget& owner, TPlayback& play, TPlayList& list);
// Commands 51 and 40 (the caller checks their buttons) and 58.
void ShowFiltersWindow(QWidget& owner, TPlayback& play, TPlayList& list);
void ShowAudioWindow(QWidget& owner, TPlayback& play, TPlayList& list);
void ShowAboutWindow(QWidget& owner);
// Playback's play-state functions as the engine's dialogs see them.
std::unique_ptr<TPlayHost> MakePlayHost(TPlayback& play, TPlayList& list);
