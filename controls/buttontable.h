#pragma once
// The main window's 36 skinned buttons in creation order. The n-th button
// created takes the n-th skin cell (large cells first, then small ones), so
// a button's cell x is the sum of the sizes of the buttons before it.
#include <array>

#include "commands/commandtable.h"

enum class TButtonParent { pnControlLeft, pnControlRight, pnAdvLeft, pnAdvRight, pnPlayListBottom, CaptionBar };

struct TButtonSpec {
  int Index;  // place in the main window's button array
  int Size;   // 21 (panel) or 15 (caption bar)
  TButtonParent Parent;
  int Left, Top;
  TCommandId Command;
  int RightOffset;  // caption buttons kept at width - RightOffset; 0 for the others
};

inline constexpr int MainButtonCount = 36;

// The caption bar's right-hand buttons: minimize, full screen, close.
inline constexpr std::array<int, 3> CaptionRightOffsets = {51, 34, 17};

inline constexpr std::array<TButtonSpec, MainButtonCount> MainButtons = {{
    {0, 21, TButtonParent::pnControlLeft, 4, 4, cmLoadFiles, 0},
    {1, 21, TButtonParent::pnControlLeft, 32, 4, cmStop, 0},
    {2, 21, TButtonParent::pnControlLeft, 56, 4, cmFrameStep, 0},
    {3, 21, TButtonParent::pnControlLeft, 80, 4, cmPlay, 0},
    {4, 21, TButtonParent::pnControlLeft, 104, 4, cmSpeedChange, 0},
    {5, 21, TButtonParent::pnControlLeft, 244, 4, cmFullScreen, 0},
    {6, 21, TButtonParent::pnControlLeft, 268, 4, cmOriginalSize, 0},
    {7, 21, TButtonParent::pnControlRight, 4, 4, cmPrevInPlaylist, 0},
    {8, 21, TButtonParent::pnControlRight, 28, 4, cmPlaylist, 0},
    {9, 21, TButtonParent::pnControlRight, 52, 4, cmNextInPlaylist, 0},
    {10, 21, TButtonParent::pnAdvLeft, 4, 4, cmMute, 0},
    {11, 21, TButtonParent::pnAdvLeft, 96, 4, cmAudioProperties, 0},
    {12, 21, TButtonParent::pnAdvLeft, 122, 4, cmVideoProperties, 0},
    {13, 21, TButtonParent::pnAdvLeft, 146, 4, cmSaveScreenshot, 0},
    {14, 21, TButtonParent::pnAdvLeft, 170, 4, cmVideoProportions, 0},
    {15, 21, TButtonParent::pnAdvLeft, 194, 4, cmSubtitles, 0},
    {16, 21, TButtonParent::pnAdvRight, 4, 4, cmFilters, 0},
    {18, 21, TButtonParent::pnAdvRight, 28, 4, cmFileInformation, 0},
    {17, 21, TButtonParent::pnAdvRight, 108, 4, cmPreferences, 0},
    {19, 21, TButtonParent::pnPlayListBottom, 4, 4, cmPlayFromPlaylist, 0},
    {20, 21, TButtonParent::pnPlayListBottom, 4, 28, cmRepeatPlaylist, 0},
    {21, 21, TButtonParent::pnPlayListBottom, 32, 4, cmAddFiles, 0},
    {22, 21, TButtonParent::pnPlayListBottom, 32, 28, cmAddFolder, 0},
    {23, 21, TButtonParent::pnPlayListBottom, 56, 4, cmRemoveFromPlaylist, 0},
    {24, 21, TButtonParent::pnPlayListBottom, 56, 28, cmClearPlaylist, 0},
    {25, 21, TButtonParent::pnPlayListBottom, 80, 4, cmMoveUp, 0},
    {26, 21, TButtonParent::pnPlayListBottom, 80, 28, cmMoveDown, 0},
    {27, 21, TButtonParent::pnPlayListBottom, 104, 4, cmShufflePlaylist, 0},
    {28, 21, TButtonParent::pnPlayListBottom, 104, 28, cmGenerateReport, 0},
    {29, 21, TButtonParent::pnPlayListBottom, 132, 4, cmBookmarksInPlaylist, 0},
    {30, 21, TButtonParent::pnPlayListBottom, 132, 28, cmSavePlaylist, 0},
    {31, 15, TButtonParent::CaptionBar, 2, 2, cmAbout, 0},
    {32, 15, TButtonParent::CaptionBar, 19, 2, cmStayOnTop, 0},
    {33, 15, TButtonParent::CaptionBar, 2, 2, cmMinimize, CaptionRightOffsets[0]},
    {34, 15, TButtonParent::CaptionBar, 2, 2, cmFullScreen, CaptionRightOffsets[1]},
    {35, 15, TButtonParent::CaptionBar, 2, 2, cmExit, CaptionRightOffsets[2]},
}};

// The skin cell x of the button created n-th.
constexpr int ButtonSkinX(int n) {
  int x = 0;
  for (int i = 0; i < n; ++i) x += MainButtons[i].Size;
  return x;
}
