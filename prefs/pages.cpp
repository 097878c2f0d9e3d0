// The ten pages of the preferences dialog, as designed (Russian captions;
// the language switch gives the English ones).
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>

#include "commands/keymap.h"
#include "commands/winlirc.h"
#include "prefs/associations.h"
#include "core/settings.h"
#include "prefs/config.h"
#include "prefs/keygrid.h"
#include "prefs/pagelinks.h"
#include "prefs/prefshost.h"
#include "prefs/prefstexts.h"

namespace {

QLabel* Label(QWidget* parent, const QString& text, const QRect& r, const char* name = nullptr) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(name);
  l->setGeometry(r);
  return l;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, const QRect& r) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(r);
  b->setAutoDefault(false);
  return b;
}

QSlider* TrackBar(QWidget* parent, const char* name, Qt::Orientation o, int min, int max, int tick,
                  const QRect& r) {
  auto* t = new QSlider(o, parent);
  t->setObjectName(name);
  t->setRange(min, max);
  t->setSingleStep(1);
  t->setPageStep(o == Qt::Vertical || max == 100 ? 10 : 1);
  t->setTickInterval(tick);
  t->setTickPosition(o == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
  t->setGeometry(r);
  return t;
}

}  // namespace

void TfrConfig::BuildVideoPage() {
  QWidget* p = AddPage("Видео");
  Label(p, "Изменение скорости:", {8, 4, 150, 16}, "lbSpeedChange");
  tbSpeed = TrackBar(p, "tbSpeed", Qt::Horizontal, 1, 20, 1, {8, 20, 170, 26});
  Label(p, "0,1", {8, 46, 30, 14});
  Label(p, "2,0", {160, 46, 30, 14});
  lbSpeed = Label(p, QString(), {182, 24, 40, 16}, "lbSpeed");
  connect(tbSpeed, &QSlider::valueChanged, this, [this](int v) {
    host_.Settings().SpeedMultiplier = v;
    ShowSpeed();
    host_.SpeedChanged();
  });
  readers_.push_back([this] {
    const QSignalBlocker block(tbSpeed);
    tbSpeed->setValue(host_.Settings().SpeedMultiplier);
    ShowSpeed();
  });

  cbOverlay = BoundCheck(p, "cbOverlay", "Включать оверлей принудительно", {8, 64, 345, 18}, &TSettings::ForceOverlay);

  auto* gbFullScreen = new QGroupBox(" Полноэкранный режим ", p);
  gbFullScreen->setObjectName("gbFullScreen");
  gbFullScreen->setGeometry(8, 86, 215, 66);
  cbFullScrMode = BoundCheck(gbFullScreen, "cbFullScrMode", "Менять разрешение на:", {8, 18, 200, 18},
                             &TSettings::FullScrMode, [this](bool on) {
                               btScrMode->setEnabled(on);
                               host_.SettingsHost().EnableDisplayModeButton(on);
                             });
  btScrMode = Button(gbFullScreen, "btScrMode", "640 x 480, 16 Bits", {8, 38, 198, 22});
  pmScrModes = new QMenu(this);
  pmScrModes->setObjectName("pmScrModes");
  connect(btScrMode, &QPushButton::clicked, this, [this] { ScrModeClick(); });
  readers_.push_back([this] {
    const TSettings& s = host_.Settings();
    btScrMode->setEnabled(s.FullScrMode);
    btScrMode->setText(DisplayModeCaption(s.ScrWidth, s.ScrHeight, s.ScrDepth));
  });

  // Zoom: the horizontal bar stretches the width, the vertical one the height
  // (its top is 200%).
  Label(p, "100%", {232, 4, 40, 14});
  Label(p, "200%", {300, 4, 40, 14});
  Label(p, "200%", {346, 4, 40, 14});
  tbZoomX = TrackBar(p, "tbZoomX", Qt::Horizontal, 0, 100, 10, {232, 18, 120, 26});
  tbZoomY = TrackBar(p, "tbZoomY", Qt::Vertical, 0, 100, 10, {356, 18, 26, 66});
  tbZoomY->setInvertedAppearance(true);
  pnZoom = Label(p, QString(), {232, 44, 120, 18}, "pnZoom");
  pnZoom->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pnZoom->setAlignment(Qt::AlignCenter);
  for (QSlider* bar : {tbZoomX, tbZoomY})
    connect(bar, &QSlider::valueChanged, this, [this] {
      host_.SetZoom(tbZoomX->value(), tbZoomY->value());
      ShowZoom();
    });
  readers_.push_back([this] {
    const QSignalBlocker bx(tbZoomX), by(tbZoomY);
    tbZoomX->setValue(host_.ZoomX());
    tbZoomY->setValue(host_.ZoomY());
    ShowZoom();
  });

  rgAspectRatio = BoundRadio(p, "rgAspectRatio", " Пропорции видео ",
                             {"как есть", "16 : 9", "4 : 3", "по ширине", "по высоте", "другие:"},
                             {8, 154, 215, 130}, nullptr, [this](int mode) { host_.SetAspectMode(mode); });
  edAspectRatio = BoundEdit(rgAspectRatio, "edAspectRatio", {100, 106, 100, 20}, &TSettings::CustomAspectRatio);
  QButtonGroup* aspect = radioGroups_.back();
  readers_.push_back([this, aspect] {
    const QSignalBlocker block(aspect);
    if (QAbstractButton* b = aspect->button(host_.AspectMode())) b->setChecked(true);
  });

  auto* gbSeek = new QGroupBox(" Перемотка ", p);
  gbSeek->setObjectName("gbSeek");
  gbSeek->setGeometry(228, 90, 157, 104);
  Label(gbSeek, "Кнопками, в секундах:", {8, 16, 145, 32}, "lbKeySeeking")->setWordWrap(true);
  edKeySeek = BoundEdit(gbSeek, "edKeySeek", {8, 50, 60, 20}, &TSettings::KeySeek);
  cbKeyFrameSeek = BoundCheck(gbSeek, "cbKeyFrameSeek", "Быстрая перемотка", {8, 76, 147, 18}, &TSettings::KeyFrameSeek);
}

void TfrConfig::BuildAudioPage() {
  QWidget* p = AddPage("Звук");
  BoundRadio(p, "rgVolume", " Регулировка громкости ", {"Общий цифровой звук (WaveOut)", "Только звук фильма"},
             {8, 4, 370, 62}, &TSettings::VolumeControl);
  BoundRadio(p, "rgSoundFreq", " Дискретизация звука ",
             {"не изменять", "установить 11 КГц", "установить 22 КГц", "установить 44 КГц"}, {8, 72, 370, 98},
             &TSettings::SoundFreq);
}

void TfrConfig::BuildMiscPage() {
  QWidget* p = AddPage("Всякая всячина");
  cbHints = BoundCheck(p, "cbHints", "Показывать подсказки", {8, 8, 370, 18}, &TSettings::Hints,
                       [this](bool on) { host_.SettingsHost().ShowHints(on); });
  cbHighPriority = BoundCheck(p, "cbHighPriority", "Установить повышенный приоритет", {8, 30, 370, 18},
                              &TSettings::HighPriority, [this](bool on) { host_.SettingsHost().SetHighPriority(on); });
  cbShowBookmarks = BoundCheck(p, "cbShowBookmarks", "Показывать метки", {8, 52, 370, 18}, &TSettings::ShowBookmarks,
                               [this](bool on) { host_.SettingsHost().ShowSeekBarBookmarks(on); });
  BoundCheck(p, "cbResizeLimit", "Ограничение на изменение размера окна", {8, 74, 370, 18}, &TSettings::ResizeLimit);
  BoundCheck(p, "cbMultiInstance", "Разрешить загружать более одной копии", {8, 96, 370, 18},
             &TSettings::MultiInstance);
  BoundCheck(p, "cbRevPlayTime", "Обратный отсчет времени воспроизведения", {8, 118, 370, 18},
             &TSettings::ReversePlayTime);
}

void TfrConfig::BuildSubtitlesPage() {
  QWidget* p = AddPage("Субтитры");
  sbSTFont = Button(p, "sbSTFont", "Шрифт", {8, 8, 80, 24});
  sbSTColor = Button(p, "sbSTColor", "Цвет", {8, 36, 80, 24});
  lbSTFace = Label(p, "Kelvara forever", {96, 8, 282, 52}, "lbSTFace");
  lbSTFace->setAlignment(Qt::AlignCenter);
  lbSTFace->setAutoFillBackground(true);
  connect(sbSTFont, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, lbSTFace->font(), this);
    if (ok) SetSubtitleFont(f);
  });
  connect(sbSTColor, &QPushButton::clicked, this, [this] {
    const QColor c = QColorDialog::getColor(lbSTFace->palette().color(QPalette::WindowText), this);
    if (c.isValid()) SetSubtitleColour(c);
  });
  readers_.push_back([this] { ShowSubtitleSample(); });

  lbSTOfs = Label(p, "Смещение субтитров относительно видео:  0:00", {8, 68, 370, 16}, "lbSTOfs");
  tbSTOfs = TrackBar(p, "tbSTOfs", Qt::Horizontal, -300, 300, 30, {8, 86, 370, 26});
  tbSTOfs->setPageStep(30);
  Label(p, "-5:00", {8, 112, 40, 14});
  Label(p, "0:00", {180, 112, 40, 14});
  Label(p, "+5:00", {346, 112, 40, 14});
  connect(tbSTOfs, &QSlider::valueChanged, this, [this](int v) {
    host_.SetSubtitleOffset(v);
    ShowOffset();
  });
  readers_.push_back([this] {
    const QSignalBlocker block(tbSTOfs);
    tbSTOfs->setValue(host_.SubtitleOffset());
  });

  BoundCheck(p, "cbSTAutoload", "Подгружать субтитры автоматически", {8, 134, 370, 18}, &TSettings::SubtitlesAutoLoad);
  QGroupBox* fps = BoundRadio(p, "rgMicroDVDFPS", " Частота кадров для MicroDVD  ", {"Как в фильме", "Другая:"},
                              {8, 158, 370, 62}, &TSettings::SetMicroDVDFPS);
  edMicroDVDFPS = BoundEdit(fps, "edMicroDVDFPS", {120, 36, 80, 20}, &TSettings::MicroDVDFPS);
}

void TfrConfig::BuildFileTypesPage() {
  QWidget* p = AddPage("Типы файлов");
  auto* group = new QGroupBox(" Типы файлов ", p);
  group->setObjectName("gbFileTypes");
  group->setGeometry(8, 4, 370, 280);
  clbFileTypes = new QListWidget(group);
  clbFileTypes->setObjectName("clbFileTypes");
  clbFileTypes->setGeometry(8, 18, 260, 254);
  for (const TFileType& t : FileTypes()) {
    auto* item = new QListWidgetItem(QString::fromLatin1(t.Text), clbFileTypes);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  // The marks live in the associations: the settings load refreshes them
  // from the desktop before the dialog shows, and the save applies them.
  LinkFileTypeList(host_.FileTypes(), clbFileTypes);
  readers_.push_back([this] { ShowFileTypeMarks(host_.FileTypes(), clbFileTypes); });
  const struct {
    const char* name;
    const char* caption;
    TFileGroup group;
  } buttons[] = {{"sbNone", "Ни одного", TFileGroup::None},
                 {"sbVideo", "Видео", TFileGroup::Video},
                 {"sbAudio", "Аудио", TFileGroup::Audio},
                 {"sbAll", "Все", TFileGroup::All}};
  int top = 18;
  for (const auto& b : buttons) {
    QPushButton* button = Button(group, b.name, QString::fromUtf8(b.caption), {276, top, 86, 24});
    const TFileGroup g = b.group;
    connect(button, &QPushButton::clicked, this,
            [this, g] { SelectFileTypeGroup(host_.FileTypes(), clbFileTypes, g); });
    top += 30;
  }
}

void TfrConfig::BuildEventsPage() {
  QWidget* p = AddPage("События");
  auto* gbOnOpen = new QGroupBox(" При загрузке видео файла ", p);
  gbOnOpen->setObjectName("gbOnOpen");
  gbOnOpen->setGeometry(8, 4, 370, 92);
  BoundCheck(gbOnOpen, "cbEvOpenClosePanels", "Скрыть панель управления", {8, 16, 350, 18}, &TSettings::OnOpenClosePanels);
  BoundCheck(gbOnOpen, "cbEvOpenResize", "Изменить размер окна под фильм", {8, 34, 350, 18}, &TSettings::OnOpenResize);
  BoundCheck(gbOnOpen, "cbEvOpenFullScreen", "Включить полный экран", {8, 52, 350, 18}, &TSettings::OnOpenFullScreen);
  BoundCheck(gbOnOpen, "cbEvOpenPlay", "Начать проигрывание", {8, 70, 350, 18}, &TSettings::OnOpenPlay);
  BoundRadio(p, "rgOnStop", " При окончании видео ",
             {"Ничего не делать", "Проигрывать следующий файл", "Закрывать проигрыватель", "Выключать компьютер"},
             {8, 100, 370, 96}, &TSettings::OnStop);
  BoundCheck(p, "cbRewind", "Перематывать в начало по окончании видео", {8, 198, 370, 18}, &TSettings::OnStopRewind);
  BoundRadio(p, "rgOnErrors", " При ошибках ",
             {"выдавать сообщение и прекращать работу", "писать на панель и продолжать"}, {8, 218, 370, 62},
             &TSettings::OnErrors);
}

void TfrConfig::BuildControlPage() {
  QWidget* p = AddPage("Клавиатура");
  sgCommands = new TKeyGrid(p);
  sgCommands->setGeometry(0, 0, 385, 200);
  sgCommands->Bind(&host_.KeyMap(), [this] { return host_.Settings().MultiKeys; });
  cbMultiKeys = BoundCheck(p, "cbMultiKeys", "Разрешить более одной функции на кнопку", {0, 204, 385, 18},
                           &TSettings::MultiKeys);
  QPushButton* clear = Button(p, "sbClear", "Очистить", {0, 226, 90, 24});
  connect(clear, &QPushButton::clicked, this, [this] { sgCommands->ClearCurrent(); });
  QPushButton* clearAll = Button(p, "sbClearKeys", "Очистить все", {94, 226, 100, 24});
  connect(clearAll, &QPushButton::clicked, this, [this] {
    host_.KeyMap().ClearAll();
    RefreshKeyGrid();
  });
  const struct {
    const char* name;
    const char* caption;
    int preset;  // -1: no preset of that kind yet
  } presets[] = {{"sbDefaultKeys", "Стандартные", int(TKeyPreset::Default)},
                 {"sbKeysBSp", "BS Player", int(TKeyPreset::BSPlayer)},
                 {"sbKeysSasami", "Sasami", int(TKeyPreset::Sasami)},
                 {"sbKeysWMP", "WMP", -1},
                 {"sbKeysZoom", "Zoom", -1}};
  int left = 0;
  for (const auto& b : presets) {
    const int width = left == 0 ? 92 : 71;  // "Стандартные" is the longest
    QPushButton* button = Button(p, b.name, QString::fromUtf8(b.caption), {left, 256, width, 24});
    left += width + 2;
    const int preset = b.preset;
    if (preset < 0) {
      button->setEnabled(false);
      continue;
    }
    connect(button, &QPushButton::clicked, this, [this, preset] { ApplyKeyPreset(preset); });
  }
}

void TfrConfig::BuildWinLIRCPage() {
  QWidget* p = AddPage("WinLIRC");
  auto* group = new QGroupBox(" WinLIRC ", p);
  group->setObjectName("gbWIRC");
  group->setGeometry(8, 4, 370, 150);
  cbWIRCenable = BoundCheck(group, "cbWIRCenable", "Использовать WinLIRC", {8, 18, 300, 18}, &TSettings::WIRCenable);
  Label(group, "WIRC server:", {8, 44, 90, 18});
  edWIRCsrv = BoundEdit(group, "edWIRCsrv", {100, 42, 120, 20}, &TSettings::WIRCserver);
  Label(group, "Port:", {8, 70, 90, 18});
  edWIRCport = BoundEdit(group, "edWIRCport", {100, 68, 60, 20}, &TSettings::WIRCport);
  pnWIRC = Label(group, "Нет соединения", {8, 118, 354, 22}, "pnWIRC");
  pnWIRC->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  LinkRemoteStatus(host_.Remote(), pnWIRC);
  // A button pressed while the key grid waits on its remote column is
  // learned into the map for that row's command instead of running.
  host_.Remote().Learner =
      GridLearner(sgCommands, int(TKeyColumn::Remote), [this](int row, const QString& name) {
        host_.KeyMap().SetCell(row, TKeyColumn::Remote, name);
      });
}

void TfrConfig::BuildInterfacePage() {
  QWidget* p = AddPage("Внешний вид");
  auto* gbButtons = new QGroupBox(" Кнопки ", p);
  gbButtons->setObjectName("gbButtons");
  gbButtons->setGeometry(8, 4, 370, 200);
  auto* sbButtons = new QScrollArea(gbButtons);
  sbButtons->setObjectName("sbButtons");
  sbButtons->setGeometry(8, 18, 354, 146);
  imButtons = new QLabel;
  imButtons->setObjectName("imButtons");
  sbButtons->setWidget(imButtons);
  sbSkinLoad = Button(gbButtons, "sbSkinLoad", QString::fromUtf8(SkinButtonCaption), {8, 168, 250, 24});
  sbDefaultSkin = Button(gbButtons, "sbDefaultSkin", "По умолчанию", {262, 168, 100, 24});
  connect(sbSkinLoad, &QPushButton::clicked, this, [this] { SkinLoadClick(); });
  connect(sbDefaultSkin, &QPushButton::clicked, this, [this] { DefaultSkinClick(); });
  readers_.push_back([this] { ShowSkinCaption(); });
  BoundCheck(p, "cbWndCaption", "Всегда показывать заголовок в оконном режиме", {8, 210, 370, 18},
             &TSettings::WndCaption);
  BoundCheck(p, "cbNoFullScrCaption", "Не показывать заголовок в режиме полного экрана", {8, 232, 370, 18},
             &TSettings::NoFullScrCaption);
}

void TfrConfig::BuildMousePage() {
  QWidget* p = AddPage("Мышь");
  BoundRadio(p, "rgMouseLeft", " Левая кнопка ", {"х1- Пауза/Стоп", "х1- Таскать окно, х2 - Пауза/Стоп"},
             {8, 4, 370, 62}, &TSettings::MouseLeft);
  BoundRadio(p, "rgMouseMiddle", " Средняя кнопка ", {"Окно / Полный экран", "Пауза и минимизировать"},
             {8, 72, 370, 62}, &TSettings::MouseMiddle);
  BoundRadio(p, "rgMouseWheel", " Колесо ", {"Громкость", "Перемотка"}, {8, 140, 370, 62}, &TSettings::MouseWheel);
}
