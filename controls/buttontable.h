#pragma once
// The main window's 36 skinned buttons in creation order. The n-th button
// created takes the n-th skin cell (large cells first, then small ones), so
// a button's cell x is the sum of the sizes of the buttons before it.
#include <array>

#include "commands/commandtable.h"

// The main window's buttons by their place in its button array: the one
// name of each index. Creation order differs only for Preferences and File
// information, whose cells are created the other way round.
enum TMainButton : int {
  btLoadFiles = 0,
  btStop,
  btFrameStep,
  btPlay,
  btSpeedChange,
  btFullScreen,
  btOriginalSize,
  btPrevInPlaylist,
  btPlaylist,
  btNextInPlaylist,
  btMute,
  btAudioProperties,
  btVideoProperties,
  btSaveScreenshot,
  btVideoProportions,
  btSubtitles,
  btFilters,
  btPreferences,
  btFileInformation,
  btPlayFromPlaylist,
  btRepeatPlaylist,
  btAddFiles,
  btAddFolder,
  btRemoveFromPlaylist,
  btClearPlaylist,
  btMoveUp,
  btMoveDown,
  btShufflePlaylist,
  btGenerateReport,
  btBookmarksInPlaylist,
  btSavePlaylist,
  btAbout,
  btStayOnTop,
  btMinimize,
  btCaptionFullScreen,
  btExit,
};

inline constexpr int MainButtonCount = btExit + 1;

enum class TButtonParent { pnControlLeft, pnControlRight, pnAdvLeft, pnAdvRight, pnPlayListBottom, CaptionBar };

struct TButtonSpec {
  TMainButton Index;
  int Size;   // 21 (panel) or 15 (caption bar)
  TButtonParent Parent;
  int Left, Top;
  TCommandId Command;
  int RightOffset;  // caption buttons kept at width - RightOffset; 0 for the others
};


// The caption bar's right-hand buttons: minimize, full screen, close.
inline constexpr int FirstCaptionRightButton = btMinimize;
inline constexpr std::array<int, 3> CaptionRightOffsets = {51, 34, 17};

inline constexpr std::array<TButtonSpec, MainButtonCount> MainButtons = {{
    {btLoadFiles, 21, TButtonParent::pnControlLeft, 4, 4, cmLoadFiles, 0},
    {btStop, 21, TButtonParent::pnControlLeft, 32, 4, cmStop, 0},
    {btFrameStep, 21, TButtonParent::pnControlLeft, 56, 4, cmFrameStep, 0},
    {btPlay, 21, TButtonParent::pnControlLeft, 80, 4, cmPlay, 0},
    {btSpeedChange, 21, TButtonParent::pnControlLeft, 104, 4, cmSpeedChange, 0},
    {btFullScreen, 21, TButtonParent::pnControlLeft, 244, 4, cmFullScreen, 0},
    {btOriginalSize, 21, TButtonParent::pnControlLeft, 268, 4, cmOriginalSize, 0},
    {btPrevInPlaylist, 21, TButtonParent::pnControlRight, 4, 4, cmPrevInPlaylist, 0},
    {btPlaylist, 21, TButtonParent::pnControlRight, 28, 4, cmPlaylist, 0},
    {btNextInPlaylist, 21, TButtonParent::pnControlRight, 52, 4, cmNextInPlaylist, 0},
    {btMute, 21, TButtonParent::pnAdvLeft, 4, 4, cmMute, 0},
    {btAudioProperties, 21, TButtonParent::pnAdvLeft, 96, 4, cmAudioProperties, 0},
    {btVideoProperties, 21, TButtonParent::pnAdvLeft, 122, 4, cmVideoProperties, 0},
    {btSaveScreenshot, 21, TButtonParent::pnAdvLeft, 146, 4, cmSaveScreenshot, 0},
    {btVideoProportions, 21, TButtonParent::pnAdvLeft, 170, 4, cmVideoProportions, 0},
    {btSubtitles, 21, TButtonParent::pnAdvLeft, 194, 4, cmSubtitles, 0},
    {btFilters, 21, TButtonParent::pnAdvRight, 4, 4, cmFilters, 0},
    {btFileInformation, 21, TButtonParent::pnAdvRight, 28, 4, cmFileInformation, 0},
    {btPreferences, 21, TButtonParent::pnAdvRight, 108, 4, cmPreferences, 0},
    {btPlayFromPlaylist, 21, TButtonParent::pnPlayListBottom, 4, 4, cmPlayFromPlaylist, 0},
    {btRepeatPlaylist, 21, TButtonParent::pnPlayListBottom, 4, 28, cmRepeatPlaylist, 0},
    {btAddFiles, 21, TButtonParent::pnPlayListBottom, 32, 4, cmAddFiles, 0},
    {btAddFolder, 21, TButtonParent::pnPlayListBottom, 32, 28, cmAddFolder, 0},
    {btRemoveFromPlaylist, 21, TButtonParent::pnPlayListBottom, 56, 4, cmRemoveFromPlaylist, 0},
    {btClearPlaylist, 21, TButtonParent::pnPlayListBottom, 56, 28, cmClearPlaylist, 0},
    {btMoveUp, 21, TButtonParent::pnPlayListBottom, 80, 4, cmMoveUp, 0},
    {btMoveDown, 21, TButtonParent::pnPlayListBottom, 80, 28, cmMoveDown, 0},
    {btShufflePlaylist, 21, TButtonParent::pnPlayListBottom, 104, 4, cmShufflePlaylist, 0},
    {btGenerateReport, 21, TButtonParent::pnPlayListBottom, 104, 28, cmGenerateReport, 0},
    {btBookmarksInPlaylist, 21, TButtonParent::pnPlayListBottom, 132, 4, cmBookmarksInPlaylist, 0},
    {btSavePlaylist, 21, TButtonParent::pnPlayListBottom, 132, 28, cmSavePlaylist, 0},
    {btAbout, 15, TButtonParent::CaptionBar, 2, 2, cmAbout, 0},
    {btStayOnTop, 15, TButtonParent::CaptionBar, 19, 2, cmStayOnTop, 0},
    {btMinimize, 15, TButtonParent::CaptionBar, 2, 2, cmMinimize, CaptionRightOffsets[0]},
    {btCaptionFullScreen, 15, TButtonParent::CaptionBar, 2, 2, cmFullScreen, CaptionRightOffsets[1]},
    {btExit, 15, TButtonParent::CaptionBar, 2, 2, cmExit, CaptionRightOffsets[2]},
}};

// The skin cell x of the button created n-th.
constexpr int ButtonSkinX(int n) {
  int x = 0;
  for (int i = 0; i < n; ++i) x += MainButtons[i].Size;
  return x;
}
