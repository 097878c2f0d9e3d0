#pragma once
#include <QString>
#include <span>

// Every user action is one of these commands; the identifier is its position
// in this list. Each row: symbol, English name, Russian name, then the three
// built-in presets: "Стандартные" key and remote name, "BS Player" key and
// remote name, "Sasami" key (that preset binds no remote names). An empty
// string leaves the cell unbound.
#define KELVARA_COMMAND_TABLE(X)                                                                                   \
  X(cmLoadFiles, "Load file(s)", "Загрузить файл", "F3", "", "L", "", "Ctrl+O")                                  \
  X(cmStopPlay, "Stop / Play", "Стоп / Воспроизведение", "Space", "", "", "", "Space")                            \
  X(cmStop, "Stop", "Стоп", "", "Stop", "C", "stop", "")                                                          \
  X(cmFrameBack, "One frame back", "Кадр назад", "Ctrl+Left", "", "", "", "")                                     \
  X(cmFrameStep, "One frame step", "Кадр вперед", "Ctrl+Right", "", "", "", "")                                   \
  X(cmPlay, "Play", "Воспроизведение", "", "Play", "X", "play", "Ctrl+2")                                         \
  X(cmSpeedChange, "Play speed change", "Изменение скорости", "", "", "", "", "Ctrl+3")                           \
  X(cmFullScreen, "Full-Screen / Window", "Окно / Полный экран", "Enter", "", "F", "tv", "Alt+Enter")             \
  X(cmOriginalSize, "Original size", "Первоначальный размер", "Home", "", "", "", "")                             \
  X(cmZoom50, "Zoom 50%", "Масштаб 50%", "Alt+1", "", "", "", "Alt+1")                                            \
  X(cmZoom100, "Zoom 100%", "Масштаб 100%", "Alt+2", "", "", "", "Alt+2")                                         \
  X(cmZoom200, "Zoom 200%", "Масштаб 200%", "Alt+3", "", "", "", "Alt+3")                                         \
  X(cmAspectAsIs, "Aspect ratio as is", "Пропорции как есть", "Shift+1", "", "Shift+1", "", "")                   \
  X(cmAspect16x9, "Aspect ratio 16:9", "Пропорции 16:9", "Shift+2", "", "Shift+2", "", "")                        \
  X(cmAspect4x3, "Aspect ratio 4:3", "Пропорции 4:3", "Shift+3", "", "Shift+3", "", "")                           \
  X(cmAspectByWidth, "Aspect ratio by width", "Пропорции по ширине", "Shift+4", "", "", "", "")                   \
  X(cmAspectByHeight, "Aspect ratio by height", "Пропорции по высоте", "Shift+5", "", "", "", "")                 \
  X(cmAspectCustom, "Aspect ratio custom", "Пропорции заданные", "Shift+6", "", "", "", "")                       \
  X(cmPrevInPlaylist, "Previous in playlist", "Предыдущий по списку", "PgUp", "", "Z", "p-", "PgUp")              \
  X(cmNextInPlaylist, "Next in playlist", "Следующий по списку", "PgDn", "", "B", "p+", "PgDn")                   \
  X(cmPlaylist, "Playlist", "Список", "P", "", "Alt+E", "", "")                                                   \
  X(cmJumpBackward, "Backward jump", "Перемотка назад", "Left", "", "Left", "frev", "Left")                        \
  X(cmJumpForward, "Forward jump", "Перемотка вперед", "Right", "", "Right", "ffor", "Right")                     \
  X(cmRewindToStart, "Rewind to start", "Перемотка в начало", "BkSp", "", "", "", "Ctrl+Home")                    \
  X(cmSetBookmark, "Set bookmark", "Установить закладку", "B", "", "Alt+I", "", "")                               \
  X(cmPlayFromPlaylist, "Play from playlist", "Запуск из списка", "", "", "", "", "")                             \
  X(cmRepeatPlaylist, "Repeat playlist", "Повтор списка", "R", "", "", "", "R")                                   \
  X(cmAddFiles, "Add files to playlist", "Добавить файл(ы) в список", "", "", "", "", "Ins")                      \
  X(cmAddFolder, "Add folder to playlist", "Добавить папку в список", "", "", "", "", "")                         \
  X(cmRemoveFromPlaylist, "Remove from playlist", "Удалить из списка", "", "", "", "", "")                        \
  X(cmClearPlaylist, "Clear playlist", "Очистить список", "", "", "", "", "")                                     \
  X(cmMoveUp, "Move up", "Переместить выше", "", "", "", "", "")                                                  \
  X(cmMoveDown, "Move down", "Переместить ниже", "", "", "", "", "")                                              \
  X(cmShufflePlaylist, "Shuffle playlist", "Перемешать список", "", "", "", "", "")                               \
  X(cmGenerateReport, "Generate report", "Таблица по списку", "", "", "", "", "")                                 \
  X(cmBookmarksInPlaylist, "Bookmarks in playlist", "Закладки в списке", "Ins", "", "", "", "")                   \
  X(cmSavePlaylist, "Save playlist", "Сохранить список", "F2", "", "", "", "")                                    \
  X(cmMute, "Turn sound on/off", "Отключить звук", "M", "Mute", "Ctrl+M", "mute", "Ctrl+End")                     \
  X(cmVolumeUp, "Increase volume", "Прибавить громкость", "Up", "V+", "Up", "v+", "")                             \
  X(cmVolumeDown, "Decrease volume", "Убавить громкость", "Down", "V-", "Down", "v-", "")                          \
  X(cmAudioProperties, "Audio properties", "Настройки аудио", "Ctrl+A", "", "", "", "")                           \
  X(cmBrightnessUp, "Brightness Up", "Прибавить яркость", "NP+", "", "", "", "")                                  \
  X(cmBrightnessDown, "Brightness down", "Убавить яркость", "NP-", "", "", "", "")                                \
  X(cmContrastUp, "Contrast up", "Прибавить контраст", "Ctrl+NP+", "", "", "", "")                                \
  X(cmContrastDown, "Contrast down", "Убавить контраст", "Ctrl+NP-", "", "", "", "")                              \
  X(cmSaturationUp, "Saturation up", "Прибавить насыщенность", "Alt+NP+", "", "", "", "")                         \
  X(cmSaturationDown, "Saturation down", "Убавить насыщенность", "Alt+NP-", "", "", "", "")                       \
  X(cmVideoProperties, "Video properties", "Настройки видео", "Ctrl+V", "", "", "", "")                           \
  X(cmSaveScreenshot, "Save screen-shot", "Сохранить кадр", "F12", "", "P", "", "")                               \
  X(cmVideoProportions, "Video proportions", "Пропорции видео", "F5", "", "", "", "")                             \
  X(cmSubtitles, "Subtitles", "Субтитры", "Ctrl+S", "", "S", "", "Alt+O")                                         \
  X(cmFilters, "DirectShow Filters", "Фильтры", "F4", "", "", "", "")                                             \
  X(cmPreferences, "Preferences", "Прочие настройки", "F10", "", "Ctrl+P", "", "Ctrl+P")                          \
  X(cmFileInformation, "File information", "Информация о файле", "Ctrl+I", "", "", "", "")                        \
  X(cmControlPanel, "Control panel", "Панель управления", "`", "", "H", "", "")                                   \
  X(cmMinimize, "Minimize", "Свернуть", "End", "", "", "", "")                                                    \
  X(cmStayOnTop, "Stay On Top", "Поверх других окон", "", "", "Ctrl+A", "", "Ctrl+T")                             \
  X(cmHelp, "Help", "Помощь", "F1", "", "", "", "")                                                               \
  X(cmAbout, "About", "О программе", "Ctrl+F1", "", "", "", "")                                                   \
  X(cmExit, "Exit", "Выход", "Escape", "Power", "Alt+F4", "pwr", "Alt+F4")                                        \
  X(cmPowerOff, "Power Off", "Выключить компьютер", "", "", "", "", "")

enum TCommandId : int {
#define KELVARA_COMMAND_SYMBOL(symbol, ...) symbol,
  KELVARA_COMMAND_TABLE(KELVARA_COMMAND_SYMBOL)
#undef KELVARA_COMMAND_SYMBOL
};

inline constexpr int CommandCount = cmPowerOff + 1;
static_assert(CommandCount == 61);

enum class TKeyPreset { Default, BSPlayer, Sasami };
inline constexpr int KeyPresetCount = 3;

struct TPresetBinding {
  const char* Key;     // into both key columns
  const char* Remote;  // into the remote column
};

struct TCommandInfo {
  TCommandId Id;
  const char* Symbol;
  const char* NameEnglish;
  const char* NameRussian;
  TPresetBinding Presets[KeyPresetCount];  // indexed by TKeyPreset
};

bool IsCommandId(int id);
// The row of an identifier; null outside 0..60.
const TCommandInfo* FindCommand(int id);
// All rows, in identifier order.
std::span<const TCommandInfo> Commands();
// "%.3X" of the identifier: "000" .. "03C".
QString CommandHexId(int id);
// The command's name in the interface language in use; empty outside 0..60.
QString CommandName(int id);
