#include "lang/langs.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <map>

#include "base/identity.h"

namespace {

TRunTimeTexts MakeRussian() {
  TRunTimeTexts t;
  t.sLocation = "Расположение";
  t.sStream = "Поток";
  t.sTypeVideo = "Тип: Видео";
  t.sTypeAudio = "Тип: Звук";
  t.sTypeText = "Тип: Текст";
  t.sDuration = "Продолжительность";
  t.sSize = "Размер";
  t.sColorDepth = "Глубина цвета";
  t.sFrameRate = "Частота кадров";
  t.sFormat = "Формат";
  t.sMono = "Моно";
  t.sStereo = "Стерео";
  t.sChannels = "канала(-ов)";
  t.sKBitSec = "КБит/сек";
  t.sBits = "Бит";
  t.sHz = "Гц";
  t.sFileSize = "Размер файла";
  t.sHours = "ч";
  t.sMinutes = "мин";
  t.sSeconds = "сек";
  t.sFileInformation = "Информация о файле";
  t.sNoProperties = "Нет свойств";
  t.sBrightness = "Яркость";
  t.sContrast = "Контраст";
  t.sSaturation = "Насыщенность";
  t.sError = "Ошибка";
  t.sFileLoadingError = "Ошибка загрузки файла";
  t.sApplicationError = "Ошибка в программе";
  t.sErrorAdvice = QString::fromUtf8(
      "Если вы хотите, чтобы эта ошибка больше не возникала, отправьте содержимое этого окна "
      "по адресу %1: автор постарается исправить её в следующей версии.\n"
      "ОБЯЗАТЕЛЬНО ОПИШИТЕ, КАК ВОЗНИКЛА ОШИБКА.")
                       .arg(QLatin1String(Identity::ReportAddress));
  t.sWarning = "Внимание";
  t.sOldDirectX =
      "У вас установлен DirectX старой версии. Установите DirectX 8 или новее.\r\n"
      "Открыть домашнюю страницу DirectX ?";
  t.sSubtitlesOffset = "Смещение субтитров относительно видео";
  t.sScale = "Масштаб";
  t.sHintVolume = "Громкость";
  t.sHintPosition = "Позиция / Продолжительность";
  t.sHintClock = "Время";
  t.sHintCPU = "Загрузка процессора";
  t.sHelpCaption = "Краткая справка";
  t.sHelpText =
      "Для работы необходим DirectX 8\r\n\r\n=== Мышь ===\r\nЛевая кнопка - Play/Stop\r\n"
      "Правая кнопка - убрать/показать панель управления и мышь\r\nСредняя кнопка - Окно/Полный "
      "экран\r\nShift + мышь - таскать окно (не FullScreen)\r\nCtrl + мышь - таскать фильм (только "
      "FullScreen)\r\nAlt + мышь - масштаб фильма (только FullScreen)\r\n\r\n=== Клавиатура ===";
  return t;
}

TRunTimeTexts MakeEnglish() {
  TRunTimeTexts t = MakeRussian();  // the short help stays as it is
  t.sLocation = "Location";
  t.sStream = "Stream";
  t.sTypeVideo = "Type: Video";
  t.sTypeAudio = "Type: Audio";
  t.sTypeText = "Type: Text";
  t.sDuration = "Duration";
  t.sSize = "Size";
  t.sColorDepth = "Color depth";
  t.sFrameRate = "Frame rate";
  t.sFormat = "Format";
  t.sMono = "Mono";
  t.sStereo = "Stereo";
  t.sChannels = "channels";
  t.sKBitSec = "KBit/sec";
  t.sBits = "Bits";
  t.sHz = "Hz";
  t.sFileSize = "File Size";
  t.sHours = "h";
  t.sMinutes = "min";
  t.sSeconds = "sec";
  t.sFileInformation = "File information";
  t.sNoProperties = "No properties";
  t.sBrightness = "Brightness";
  t.sContrast = "Contrast";
  t.sSaturation = "Saturation";
  t.sError = "Error";
  t.sFileLoadingError = "File loading error";
  t.sApplicationError = "Application error";
  t.sErrorAdvice = QString::fromUtf8(
      "If you want this error not to happen again, please mail the contents of this window to "
      "%1: the author will try to fix it in the next version.\n"
      "It is OBLIGATORY to describe how the error happened.")
                       .arg(QLatin1String(Identity::ReportAddress));
  t.sWarning = "Warning";
  t.sOldDirectX =
      "You have old version of DirectX. Please, install DirectX 8 or later.\r\n"
      "Would you like to open DirectX homepage now ?";
  t.sSubtitlesOffset = "Subtitles offset";
  t.sScale = "Scale";
  t.sHintVolume = "Sound volume";
  t.sHintPosition = "Position / Duration";
  t.sHintClock = "Current Time";
  t.sHintCPU = "CPU Usage";
  return t;
}

int& Flag() {
  static int flag = lcRussian;
  return flag;
}

std::map<int, std::function<void()>>& Listeners() {
  static std::map<int, std::function<void()>> listeners;
  return listeners;
}

}  // namespace

const TRunTimeTexts& TRunTimeTexts::Russian() {
  static const TRunTimeTexts t = MakeRussian();
  return t;
}

const TRunTimeTexts& TRunTimeTexts::English() {
  static const TRunTimeTexts t = MakeEnglish();
  return t;
}

const TRunTimeTexts& RunTimeTexts() {
  return Flag() == lcEnglish ? TRunTimeTexts::English() : TRunTimeTexts::Russian();
}

int LanguageFlag() { return Flag(); }

void ApplyLanguage(int code) {
  Flag() = code == lcEnglish ? lcEnglish : lcRussian;
  // A listener may register or remove others (a window built while
  // relabelling); walk a copy of the handles.
  std::vector<int> handles;
  for (const auto& [handle, relabel] : Listeners()) handles.push_back(handle);
  for (int h : handles) {
    auto it = Listeners().find(h);
    if (it != Listeners().end()) it->second();
  }
}

int AddLanguageListener(std::function<void()> relabel) {
  static int next = 0;
  Listeners()[++next] = std::move(relabel);
  return next;
}

void RemoveLanguageListener(int handle) { Listeners().erase(handle); }

namespace {
// Lives as a child of the window it relabels; children go before their
// parent's QObject part, so the step never outlives the window.
class TLanguageHook : public QObject {
 public:
  TLanguageHook(QObject* owner, int handle) : QObject(owner), handle_(handle) {}
  ~TLanguageHook() override { RemoveLanguageListener(handle_); }

 private:
  int handle_;
};
}  // namespace

void OnLanguageChange(QObject* owner, std::function<void()> relabel) {
  new TLanguageHook(owner, AddLanguageListener(std::move(relabel)));
}

int LanguageFromEnvironment(const QByteArray& languageVariable) {
  const QByteArray first = languageVariable.split(':').first().trimmed();
  // "en", or "en" followed by a territory, code set or modifier.
  if (first == "en" || first.startsWith("en_") || first.startsWith("en.") || first.startsWith("en@"))
    return lcEnglish;
  return lcRussian;
}

int LanguageFromEnvironment() { return LanguageFromEnvironment(qgetenv("LANGUAGE")); }

namespace {

const TControlText kEnglish[] = {
    // the preferences dialog
    {"TfrConfig", "tvCategory", 0, "Video"},
    {"TfrConfig", "tvCategory", 1, "Audio"},
    {"TfrConfig", "tvCategory", 2, "Miscellaneous"},
    {"TfrConfig", "tvCategory", 3, "Subtitles"},
    {"TfrConfig", "tvCategory", 4, "File types"},
    {"TfrConfig", "tvCategory", 5, "Events"},
    {"TfrConfig", "tvCategory", 6, "Control"},
    {"TfrConfig", "tvCategory", 7, "WinLIRC"},
    {"TfrConfig", "tvCategory", 8, "Interface"},
    {"TfrConfig", "tvCategory", 9, "Mouse"},
    {"TfrConfig", "lbSpeedChange", -1, "Speed Change:"},
    {"TfrConfig", "cbOverlay", -1, "Force using overlay"},
    {"TfrConfig", "rgAspectRatio", -1, " Aspect ratio "},
    {"TfrConfig", "rgAspectRatio", 0, "As is"},
    {"TfrConfig", "rgAspectRatio", 3, "By width"},
    {"TfrConfig", "rgAspectRatio", 4, "By height"},
    {"TfrConfig", "rgAspectRatio", 5, "Custom:"},
    {"TfrConfig", "gbSeek", -1, " Seek "},
    {"TfrConfig", "cbKeyFrameSeek", -1, "Fast position seek"},
    {"TfrConfig", "lbKeySeeking", -1, "By keyboard, in seconds:"},
    {"TfrConfig", "gbFullScreen", -1, " Full screen mode "},
    {"TfrConfig", "cbFullScrMode", -1, "Switch resolution to:"},
    {"TfrConfig", "rgVolume", -1, " Audio Volume "},
    {"TfrConfig", "rgVolume", 0, "A whole digital sound (Wave Out)"},
    {"TfrConfig", "rgVolume", 1, "Only movie sound"},
    {"TfrConfig", "rgSoundFreq", -1, " Sound output "},
    {"TfrConfig", "rgSoundFreq", 0, "don't change"},
    {"TfrConfig", "rgSoundFreq", 1, "set to 11 KHz"},
    {"TfrConfig", "rgSoundFreq", 2, "set to 22 KHz"},
    {"TfrConfig", "rgSoundFreq", 3, "set to 44 KHz"},
    {"TfrConfig", "cbHints", -1, "Show hints"},
    {"TfrConfig", "cbHighPriority", -1, "Set high priority class"},
    {"TfrConfig", "cbShowBookmarks", -1, "Show bookmarks"},
    {"TfrConfig", "cbResizeLimit", -1, "Don't resize window smaller than default"},
    {"TfrConfig", "cbMultiInstance", -1, "Allow multipe instances"},
    {"TfrConfig", "cbRevPlayTime", -1, "Reverse play time indication"},
    {"TfrConfig", "sbSTFont", -1, "Font"},
    {"TfrConfig", "sbSTColor", -1, "Color"},
    {"TfrConfig", "cbSTAutoload", -1, "Automatically load subtitles"},
    {"TfrConfig", "rgMicroDVDFPS", -1, " Set FPS for MicroDVD "},
    {"TfrConfig", "rgMicroDVDFPS", 0, "By video FPS"},
    {"TfrConfig", "rgMicroDVDFPS", 1, "Custom:"},
    {"TfrConfig", "gbFileTypes", -1, " File Type Asociations "},
    {"TfrConfig", "sbNone", -1, "None"},
    {"TfrConfig", "sbVideo", -1, "Video"},
    {"TfrConfig", "sbAudio", -1, "Audio"},
    {"TfrConfig", "sbAll", -1, "All"},
    {"TfrConfig", "gbOnOpen", -1, " On Open "},
    {"TfrConfig", "cbEvOpenClosePanels", -1, "Hide control panel"},
    {"TfrConfig", "cbEvOpenResize", -1, "Resize window to movie bounds"},
    {"TfrConfig", "cbEvOpenFullScreen", -1, "Switch to full-screen mode"},
    {"TfrConfig", "cbEvOpenPlay", -1, "Start playing"},
    {"TfrConfig", "rgOnStop", -1, " On Finish "},
    {"TfrConfig", "rgOnStop", 0, "Do nothing"},
    {"TfrConfig", "rgOnStop", 1, "Play next in playlist"},
    {"TfrConfig", "rgOnStop", 2, "Close player"},
    {"TfrConfig", "rgOnStop", 3, "Power off"},
    {"TfrConfig", "cbRewind", -1, "Rewind to start on media finish"},
    {"TfrConfig", "rgOnErrors", -1, " On Errors "},
    {"TfrConfig", "rgOnErrors", 0, "Show warning and stop"},
    {"TfrConfig", "rgOnErrors", 1, "Write to info panel and continue"},
    {"TfrConfig", "cbMultiKeys", -1, "Allow multi-function keys"},
    {"TfrConfig", "sbClear", -1, "Clear"},
    {"TfrConfig", "sbClearKeys", -1, "Clear all"},
    {"TfrConfig", "sbDefaultKeys", -1, "Default"},
    {"TfrConfig", "cbWIRCenable", -1, "Use WinLIRC"},
    {"TfrConfig", "pnWIRC", -1, "No connection"},
    {"TfrConfig", "gbButtons", -1, " Buttons "},
    {"TfrConfig", "sbSkinLoad", -1, "Load bitmap buttons"},
    {"TfrConfig", "sbDefaultSkin", -1, "Default"},
    {"TfrConfig", "cbWndCaption", -1, "Always show caption in window mode"},
    {"TfrConfig", "cbNoFullScrCaption", -1, "Always hide caption in full-screen mode"},
    {"TfrConfig", "rgMouseLeft", -1, " Left Mouse Button "},
    {"TfrConfig", "rgMouseLeft", 0, "Play/Stop"},
    {"TfrConfig", "rgMouseLeft", 1, "Single - move window, Double - Play/Stop"},
    {"TfrConfig", "rgMouseMiddle", -1, " Middle Mouse Button "},
    {"TfrConfig", "rgMouseMiddle", 0, "Window / FullScreen"},
    {"TfrConfig", "rgMouseMiddle", 1, "Pause and Minimize"},
    {"TfrConfig", "rgMouseWheel", -1, " Mouse Wheel "},
    {"TfrConfig", "rgMouseWheel", 0, "Sound volume"},
    {"TfrConfig", "rgMouseWheel", 1, "Seek position"},
    {"TfrConfig", "btOk", -1, "OK"},
    {"TfrConfig", "btCancel", -1, "Cancel"},
    // the filter graph, benchmark and report windows
    {"TfrFilters", "sbFilterProps", -1, "Properties"},
    {"TfrFilters", "sbPerformance", -1, "Decoder benchmark"},
    {"TfrFilters", "cbStopBeforeProps", -1, "Stop before properties change"},
    {"TfrPerfTest", "lbScale", -1, "Scale 1:10"},
    {"TfrPerfTest", "cbNoVideo", -1, "Turn off video rendering"},
    {"TfrReport", "btReport", -1, "Generate report"},
};

bool SetItemText(QWidget* w, int item, const QString& text) {
  if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    if (item >= tree->topLevelItemCount()) return false;
    tree->topLevelItem(item)->setText(0, text);
    return true;
  }
  // A radio group: the item-th radio button inside the group box.
  const auto radios = w->findChildren<QRadioButton*>();
  if (item >= radios.size()) return false;
  radios[item]->setText(text);
  return true;
}

bool SetCaption(QWidget* w, const QString& text) {
  if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(text);
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(text);
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::span<const TControlText> EnglishControlTexts() { return kEnglish; }

int ApplyEnglishControlTexts(QWidget* form, const char* formName) {
  int found = 0;
  for (const TControlText& t : kEnglish) {
    if (qstrcmp(t.Form, formName) != 0) continue;
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(t.Control));
    if (!w) continue;
    const QString text = QString::fromUtf8(t.English);
    if (t.Item < 0 ? SetCaption(w, text) : SetItemText(w, t.Item, text)) ++found;
  }
  return found;
}

namespace {
const TAboutTexts kAboutTexts[] = {
    {"О программе", "Работает на Qt %1 и %2", "Лицензия: %1",
     "Об ошибках и пожеланиях пишите по адресу %1", "Закрыть"},
    {"About", "Runs on Qt %1 and %2", "Licence: %1", "Please report problems and wishes to %1", "Close"},
};
}  // namespace

const TAboutTexts& AboutTexts(int code) { return kAboutTexts[code == lcEnglish ? 1 : 0]; }
const TAboutTexts& AboutTexts() { return AboutTexts(LanguageFlag()); }
