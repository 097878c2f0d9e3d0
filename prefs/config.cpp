#include "prefs/config.h"

#include <QButtonGroup>
#include <QEvent>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>

#include "commands/keymap.h"
#include "core/geometry.h"
#include "lang/langs.h"
#include "platform/system/displaymode.h"
#include "platform/system/exceptions.h"
#include "platform/system/msgbox.h"
#include "commands/winlirc.h"
#include "prefs/associations.h"
#include "prefs/keygrid.h"
#include "prefs/pagelinks.h"
#include "prefs/prefshost.h"
#include "prefs/prefstexts.h"

TfrConfig::TfrConfig(TPrefsHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), host_(host) {
  setObjectName("frConfig");
  setWindowTitle("Kelvara Configuration");
  setFixedSize(519, 329);
  setModal(true);

  tvCategory = new QTreeWidget(this);
  tvCategory->setObjectName("tvCategory");
  tvCategory->setGeometry(4, 4, 121, 289);
  tvCategory->setHeaderHidden(true);
  tvCategory->setRootIsDecorated(false);
  tvCategory->setIndentation(0);
  tvCategory->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tvCategory->setMouseTracking(true);  // hot tracking
  tvCategory->setSelectionBehavior(QAbstractItemView::SelectRows);

  nbPages = new QStackedWidget(this);
  nbPages->setObjectName("nbPages");
  nbPages->setGeometry(130, 4, 385, 289);

  BuildVideoPage();
  BuildAudioPage();
  BuildMiscPage();
  BuildSubtitlesPage();
  BuildFileTypesPage();
  BuildEventsPage();
  BuildControlPage();
  BuildWinLIRCPage();
  BuildInterfacePage();
  BuildMousePage();

  btOk = new QPushButton("OK", this);
  btOk->setObjectName("btOk");
  btOk->setGeometry(360, 300, 75, 25);
  btOk->setDefault(true);
  btOk->setAutoDefault(true);
  connect(btOk, &QPushButton::clicked, this, [this] { OkClick(); });
  btCancel = new QPushButton("Отмена", this);
  btCancel->setObjectName("btCancel");
  btCancel->setGeometry(440, 300, 75, 25);
  btCancel->setAutoDefault(false);
  connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

  connect(tvCategory, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) nbPages->setCurrentIndex(tvCategory->indexOfTopLevelItem(item));
  });
  connect(nbPages, &QStackedWidget::currentChanged, this, [this] {
    // Every whole minute within four minutes either side.
    tbSTOfs->setTickInterval(60);
  });
  tvCategory->setCurrentItem(tvCategory->topLevelItem(0));
  nbPages->setCurrentIndex(0);

  ReadControls();
  OnLanguageChange(this, [this] { Relabel(); });
  Relabel();
}

QWidget* TfrConfig::AddPage(const char* node) {
  auto* item = new QTreeWidgetItem(tvCategory, QStringList(QString::fromUtf8(node)));
  (void)item;
  auto* page = new QWidget(nbPages);
  nbPages->addWidget(page);
  return page;
}

QGroupBox* TfrConfig::RadioGroup(const char* name) const {
  return findChild<QGroupBox*>(QString::fromLatin1(name));
}

QCheckBox* TfrConfig::BoundCheck(QWidget* page, const char* name, const char* caption, const QRect& r,
                                 bool TSettings::*field, std::function<void(bool)> effect) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setObjectName(name);
  box->setGeometry(r);
  connect(box, &QCheckBox::clicked, this, [this, field, effect](bool on) {
    host_.Settings().*field = on;
    if (effect) effect(on);
  });
  readers_.push_back([this, box, field] {
    const QSignalBlocker block(box);
    box->setChecked(host_.Settings().*field);
  });
  return box;
}

QGroupBox* TfrConfig::BoundRadio(QWidget* page, const char* name, const char* caption,
                                 const QStringList& items, const QRect& r, int TSettings::*field,
                                 std::function<void(int)> effect) {
  auto* group = new QGroupBox(QString::fromUtf8(caption), page);
  group->setObjectName(name);
  group->setGeometry(r);
  auto* buttons = new QButtonGroup(group);
  radioGroups_.push_back(buttons);
  for (int i = 0; i < items.size(); ++i) {
    auto* radio = new QRadioButton(items[i], group);
    radio->setGeometry(8, 18 + 18 * i, r.width() - 16, 18);
    buttons->addButton(radio, i);
  }
  connect(buttons, &QButtonGroup::idClicked, this, [this, field, effect](int id) {
    if (field) host_.Settings().*field = id;
    if (effect) effect(id);
  });
  if (field)
    readers_.push_back([this, buttons, field] {
      const QSignalBlocker block(buttons);
      if (QAbstractButton* b = buttons->button(host_.Settings().*field)) b->setChecked(true);
    });
  return group;
}

QLineEdit* TfrConfig::BoundEdit(QWidget* page, const char* name, const QRect& r, QString TSettings::*field) {
  auto* edit = new QLineEdit(page);
  edit->setObjectName(name);
  edit->setGeometry(r);
  // Any text is kept as typed; its reader copes with what it cannot use.
  connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) { host_.Settings().*field = text; });
  readers_.push_back([this, edit, field] {
    const QSignalBlocker block(edit);
    edit->setText(host_.Settings().*field);
  });
  return edit;
}

void TfrConfig::ReadControls() {
  for (const auto& read : readers_) read();
}

void TfrConfig::RefreshKeyGrid() { sgCommands->Refresh(); }

void TfrConfig::showEvent(QShowEvent* e) {
  ReadControls();
  RefreshKeyGrid();
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  QDialog::showEvent(e);
}

void TfrConfig::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) RefreshKeyGrid();
  QDialog::changeEvent(e);
}

void TfrConfig::Relabel() {
  if (IsEnglishLanguage()) ApplyEnglishControlTexts(this, "TfrConfig");
  // The status panel's caption is only the text for a client that has
  // reported nothing yet; a reported state outlives the switch.
  if (const QString& status = host_.Remote().StatusText(); !status.isEmpty()) pnWIRC->setText(status);
  // The load button keeps a chosen skin's path in either language.
  ShowSkinCaption();
  ShowOffset();
  RefreshKeyGrid();
}

// ---- the effects of the controls

void TfrConfig::ShowSpeed() { lbSpeed->setText(SpeedText(tbSpeed->value())); }

void TfrConfig::ShowZoom() { pnZoom->setText(ZoomText(tbZoomX->value(), tbZoomY->value())); }

void TfrConfig::ShowOffset() { lbSTOfs->setText(OffsetText(RunTimeTexts().sSubtitlesOffset, tbSTOfs->value())); }

void TfrConfig::ShowSkinCaption() {
  const QString& skin = host_.Settings().Skin;
  const bool chosen = !skin.isEmpty() && skin != QString::fromUtf8(SkinButtonCaption);
  QString label = QString::fromUtf8(SkinButtonCaption);
  if (IsEnglishLanguage())
    for (const TControlText& t : EnglishControlTexts())
      if (qstrcmp(t.Control, "sbSkinLoad") == 0) label = QString::fromUtf8(t.English);
  sbSkinLoad->setText(chosen ? skin : label);
  imButtons->setPixmap(QPixmap::fromImage(host_.SkinImage()));
  imButtons->adjustSize();
}

void TfrConfig::ShowSubtitleSample() {
  const TSettings& s = host_.Settings();
  QFont f(s.SubtitlesFontName);
  f.setPointSize(qMax(1, s.SubtitlesFontSize));
  lbSTFace->setFont(f);
  const int c = s.SubtitlesFontColor;
  QPalette p = lbSTFace->palette();
  p.setColor(QPalette::Window, Qt::black);
  p.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  lbSTFace->setPalette(p);
}

void TfrConfig::SetSubtitleFont(const QFont& font) {
  TSettings& s = host_.Settings();
  s.SubtitlesFontName = font.family();
  if (font.pointSize() > 0) s.SubtitlesFontSize = font.pointSize();
  ShowSubtitleSample();
  host_.SettingsHost().ApplySubtitleFont();
}

void TfrConfig::SetSubtitleColour(const QColor& colour) {
  host_.Settings().SubtitlesFontColor = colour.red() | colour.green() << 8 | colour.blue() << 16;
  ShowSubtitleSample();
  host_.SettingsHost().ApplySubtitleFont();
}

void TfrConfig::ChooseDisplayMode(int width, int height, int bits) {
  TSettings& s = host_.Settings();
  s.ScrWidth = width;
  s.ScrHeight = height;
  s.ScrDepth = bits;
  const QString caption = DisplayModeCaption(width, height, bits);
  btScrMode->setText(caption);
  host_.SettingsHost().SetDisplayModeCaption(caption);
}

void TfrConfig::FillDisplayModeMenu() {
  pmScrModes->clear();
  TDisplayModeService& service = DisplayModes();
  const QRect window = host_.WindowRect();
  std::vector<TDisplayMode> modes;
  TDisplayMode current;
  if (FAILED(service.GetDisplayMode(window, current)) || FAILED(service.EnumDisplayModes(window, modes))) {
    // Nothing to choose from: say why instead of showing an empty menu.
    QString why = service.LastErrorText();
    if (why.isEmpty()) why = QStringLiteral("Display modes are not available");
    pmScrModes->addAction(why)->setEnabled(false);
    return;
  }
  const TSettings& s = host_.Settings();
  for (const TModeItem& m : DisplayModeItems(modes, current.Bits, s.ScrWidth, s.ScrHeight, s.ScrDepth)) {
    QAction* a = pmScrModes->addAction(m.Caption);
    a->setEnabled(m.Enabled);
    a->setCheckable(true);
    a->setChecked(m.Checked);
    connect(a, &QAction::triggered, this, [this, m] { ChooseDisplayMode(m.Width, m.Height, m.Bits); });
  }
}

void TfrConfig::ScrModeClick() {
  FillDisplayModeMenu();
  pmScrModes->popup(btScrMode->mapToGlobal(btScrMode->rect().topRight()));
}

void TfrConfig::LoadSkinFile(const QString& path) {
  const QString problem = SkinFileProblem(path);
  if (!problem.isEmpty()) {
    host_.ReportError(Exception(problem));
    return;
  }
  if (!host_.SettingsHost().LoadSkinBitmap(path)) {
    host_.ReportError(Exception(QStringLiteral("Cannot load the skin bitmap %1").arg(path)));
    return;
  }
  TSettings& s = host_.Settings();
  s.Skin = QFileInfo(path).absoluteFilePath();
  s.SkinDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
  ShowSkinCaption();
}

void TfrConfig::SkinLoadClick() {
  const TSettings& s = host_.Settings();
  QString start = s.SkinDir;
  if (QFileInfo(s.Skin).isFile()) start = QFileInfo(s.Skin).absolutePath();
  const QString path = QFileDialog::getOpenFileName(this, QString(), start, "Uncompressed Bitmap File (*.bmp)");
  if (!path.isEmpty()) LoadSkinFile(path);
}

void TfrConfig::DefaultSkinClick() {
  host_.Settings().Skin.clear();
  ShowSkinCaption();
  MessageBoxes().Show(QStringLiteral("Kelvara"), QStringLiteral("You have to restart player."),
                      TMsgIcon::Information, TMsgButtons::Ok, this);
}

void TfrConfig::ApplyKeyPreset(int preset) {
  host_.KeyMap().ApplyPreset(static_cast<TKeyPreset>(preset));
  RefreshKeyGrid();
}

TFileTypeMarks TfrConfig::FileTypeMarks() const { return host_.FileTypes().Marks(); }

void TfrConfig::SetFileTypeMarks(const TFileTypeMarks& marks) {
  host_.FileTypes().SetMarks(marks);
  ShowFileTypeMarks(host_.FileTypes(), clbFileTypes);
}

void TfrConfig::OkClick() {
  try {
    host_.SaveSettings();
  } catch (const Exception& e) {
    // Not written: the dialog stays open, so nothing typed is lost.
    host_.ReportError(e);
    return;
  }
  accept();
}
