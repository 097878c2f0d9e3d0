#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "core/settings.h"
#include "prefs/filetypes.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QScrollArea;
class QSlider;
class QStackedWidget;
class QTreeWidget;
class TKeyGrid;
class TPrefsHost;

// The preferences dialog: a category tree on the left, one page per node,
// OK and Cancel. Every control edits the main window's live settings at
// once; OK writes the settings file, and the caller's reload after the
// dialog closes undoes what Cancel leaves behind.
class TfrConfig : public QDialog {
  Q_OBJECT
 public:
  TfrConfig(TPrefsHost& host, QWidget* parent = nullptr);

  // Every control from the live values (settings, key map, zoom, aspect,
  // offset). Runs whenever the dialog is shown.
  void ReadControls();
  // The key grid's header and names, then its cells.
  void RefreshKeyGrid();

  // ---- the FileTypes page: the associations' marks, which the list shows
  TFileTypeMarks FileTypeMarks() const;
  void SetFileTypeMarks(const TFileTypeMarks& marks);

  // ---- actions the page buttons run, callable without their dialogs
  // Loads a skin file chosen by the user; a file that is not an 820 x 126
  // picture changes nothing and goes to the error handler.
  void LoadSkinFile(const QString& path);
  void FillDisplayModeMenu();
  void ChooseDisplayMode(int width, int height, int bits);
  void ApplyKeyPreset(int preset);  // TKeyPreset
  // The subtitle font and colour, as the font and colour dialogs return them.
  void SetSubtitleFont(const QFont& font);
  void SetSubtitleColour(const QColor& colour);

  // Controls, named as the pages name them.
  QTreeWidget* tvCategory = nullptr;
  QStackedWidget* nbPages = nullptr;
  QPushButton* btOk = nullptr;
  QPushButton* btCancel = nullptr;
  // Video
  QSlider* tbSpeed = nullptr;
  QLabel* lbSpeed = nullptr;
  QCheckBox* cbOverlay = nullptr;
  QCheckBox* cbFullScrMode = nullptr;
  QPushButton* btScrMode = nullptr;
  QMenu* pmScrModes = nullptr;
  QSlider* tbZoomX = nullptr;
  QSlider* tbZoomY = nullptr;
  QLabel* pnZoom = nullptr;
  QGroupBox* rgAspectRatio = nullptr;
  QLineEdit* edAspectRatio = nullptr;
  QLineEdit* edKeySeek = nullptr;
  QCheckBox* cbKeyFrameSeek = nullptr;
  // Misc
  QCheckBox* cbHints = nullptr;
  QCheckBox* cbHighPriority = nullptr;
  QCheckBox* cbShowBookmarks = nullptr;
  // Subtitles
  QPushButton* sbSTFont = nullptr;
  QPushButton* sbSTColor = nullptr;
  QLabel* lbSTFace = nullptr;
  QSlider* tbSTOfs = nullptr;
  QLabel* lbSTOfs = nullptr;
  QLineEdit* edMicroDVDFPS = nullptr;
  // FileTypes
  QListWidget* clbFileTypes = nullptr;
  // Control
  TKeyGrid* sgCommands = nullptr;
  QCheckBox* cbMultiKeys = nullptr;
  // WinLIRC
  QCheckBox* cbWIRCenable = nullptr;
  QLineEdit* edWIRCsrv = nullptr;
  QLineEdit* edWIRCport = nullptr;
  QLabel* pnWIRC = nullptr;
  // Interface
  QLabel* imButtons = nullptr;
  QPushButton* sbSkinLoad = nullptr;
  QPushButton* sbDefaultSkin = nullptr;

  QGroupBox* RadioGroup(const char* name) const;

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  QWidget* AddPage(const char* node);
  void BuildVideoPage();
  void BuildAudioPage();
  void BuildMiscPage();
  void BuildSubtitlesPage();
  void BuildFileTypesPage();
  void BuildEventsPage();
  void BuildControlPage();
  void BuildWinLIRCPage();
  void BuildInterfacePage();
  void BuildMousePage();

  // Controls bound to a settings field: each adds its reader.
  QCheckBox* BoundCheck(QWidget* page, const char* name, const char* caption, const QRect& r,
                        bool TSettings::*field, std::function<void(bool)> effect = {});
  QGroupBox* BoundRadio(QWidget* page, const char* name, const char* caption, const QStringList& items,
                        const QRect& r, int TSettings::*field, std::function<void(int)> effect = {});
  QLineEdit* BoundEdit(QWidget* page, const char* name, const QRect& r, QString TSettings::*field);

  void Relabel();
  void ShowZoom();
  void ShowSpeed();
  void ShowOffset();
  void ShowSkinCaption();
  void ShowSubtitleSample();
  void SkinLoadClick();
  void DefaultSkinClick();
  void ScrModeClick();
  void OkClick();

  TPrefsHost& host_;
  std::vector<std::function<void()>> readers_;
  std::vector<QButtonGroup*> radioGroups_;
};
