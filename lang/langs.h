#pragma once
#include <QString>
#include <functional>
#include <span>

class QObject;
class QWidget;

// The interface languages, by the code the switch takes.
enum TLanguageCode : int { lcRussian = 0, lcEnglish = 1 };

// Texts that code composes while it runs. Each user reads its text at the
// moment it composes one, so a switch changes later output only. The table
// starts Russian; the switch replaces it as a whole.
struct TRunTimeTexts {
  // file information and durations
  QString sLocation, sStream, sTypeVideo, sTypeAudio, sTypeText, sDuration, sSize, sColorDepth,
      sFrameRate, sFormat, sMono, sStereo, sChannels, sKBitSec, sBits, sHz, sFileSize, sHours,
      sMinutes, sSeconds, sFileInformation;
  // the engine
  QString sNoProperties, sBrightness, sContrast, sSaturation, sError;
  // failures and questions
  QString sFileLoadingError, sApplicationError, sErrorAdvice, sWarning, sOldDirectX;
  // prefixes of dialog labels
  QString sSubtitlesOffset, sScale;
  // hints of the main window's status controls
  QString sHintVolume, sHintPosition, sHintClock, sHintCPU;
  // the built-in short help (Russian only: English opens the help file)
  QString sHelpCaption, sHelpText;

  static const TRunTimeTexts& Russian();
  static const TRunTimeTexts& English();
};

// The table in use.
const TRunTimeTexts& RunTimeTexts();

// The about window's texts in one language.
struct TAboutTexts {
  const char* Caption;
  const char* RunsOn;   // "%1" Qt version, "%2" media framework version
  const char* Licence;  // "%1" the licence's name
  const char* Report;   // "%1" the address
  const char* Close;
};
// The table of the language in use; codes other than lcEnglish mean Russian.
const TAboutTexts& AboutTexts();
const TAboutTexts& AboutTexts(int code);

// The last code applied; lcRussian before the switch runs.
int LanguageFlag();
inline bool IsEnglishLanguage() { return LanguageFlag() == lcEnglish; }

// The language switch: records the code, puts that language's run-time
// texts in place, then lets every open window relabel itself, in the order
// they registered. Codes other than lcEnglish mean Russian.
void ApplyLanguage(int code);

// A window's relabelling step, run by every later ApplyLanguage. The returned
// handle removes it; a window removes its step before it goes away.
int AddLanguageListener(std::function<void()> relabel);
void RemoveLanguageListener(int handle);
// The same for a window: its step is removed when `owner` is destroyed.
void OnLanguageChange(QObject* owner, std::function<void()> relabel);

// The language start-up applies: English when the first entry of the
// LANGUAGE variable (a colon-separated list, as gettext reads it) names
// English ("en", "en_GB", "en_US.UTF-8"), else Russian.
int LanguageFromEnvironment(const QByteArray& languageVariable);
int LanguageFromEnvironment();

// One English caption of a dialog control. Item -1 is the control's own
// caption; 0 and up is the item of that index in a radio group or a tree.
struct TControlText {
  const char* Form;     // the dialog's object name: "TfrConfig", "TfrFilters", ...
  const char* Control;  // the control's object name
  int Item;
  const char* English;
};
std::span<const TControlText> EnglishControlTexts();

// Gives every control of `form` named in the table its English caption.
// Returns how many controls were found; a missing control is skipped.
int ApplyEnglishControlTexts(QWidget* form, const char* formName);
