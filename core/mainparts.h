#pragma once

class QWidget;
class TCommandDispatch;
class TDirectShowHelper;
class TFileAssociations;
class TKeyMap;
class TMainInput;
class TMainPanels;
class TPlayList;
class TPlayback;
class TSysHelper;
class TWindowGeometry;
class TfrSubtitles;
struct TSettings;

// The parts of the main window and what they share. The window builds each
// part, fills this in and hands it to every part; a part reaches another
// only through the other's own interface.
struct TMainParts {
  QWidget* Window = nullptr;
  TSettings* Settings = nullptr;
  TKeyMap* KeyMap = nullptr;
  TSysHelper* SysHelper = nullptr;
  TPlayList* PlayList = nullptr;
  TfrSubtitles* Subtitles = nullptr;  // null until the window is given one
  TMainPanels* Panels = nullptr;
  TPlayback* Playback = nullptr;
  TWindowGeometry* Geometry = nullptr;
  TCommandDispatch* Commands = nullptr;
  TMainInput* Input = nullptr;
  TFileAssociations* FileTypes = nullptr;  // the desktop's file types the player holds
};
