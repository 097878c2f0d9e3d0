// The main window's furniture services: which controls work with and without
// a file, the subtitle line, screenshots, the short help and file information.
#include <QFileDialog>
#include <QLabel>

#include "commands/commandtable.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "core/MainUnit.h"
#include "core/cmdline.h"
#include "media/DShowHlp.h"
#include "platform/media/mediadet.h"
#include "platform/system/msgbox.h"
#include "playlist/playlist.h"

void TfrMain::EnableControls(bool open) {
  // The engine's stream flags outlive a closed or failed file; they count
  // only while a file is open.
  const bool video = open && engine_->HasVideo, audio = open && engine_->HasAudio;
  Button(3)->SetEnabled(playList_->Count() > 0);
  for (int i : {1, 4, 5, 34, 16}) Button(i)->SetEnabled(open);
  tbSeek->setEnabled(open);
  Button(11)->SetEnabled(audio);
  Button(12)->SetEnabled(video);
  Button(2)->SetEnabled(video);
  Button(13)->SetEnabled(open && video && FileInfo.Valid);
  Button(18)->SetEnabled(open && FileInfo.Valid);
}

void TfrMain::ShowSubtitleLine(bool on) {
  pnStandard->setVisible(!on);
  pnPosition->setVisible(!on);
  pnAdvanced->setVisible(!on);
  lbSubtitles->setVisible(on);
}

void TfrMain::SaveScreenshot() {
  engine_->Stop();
  const int64_t p = engine_->GetPosition();
  double t = 0;
  {
    ComPtr<IMediaPosition> position;
    engine_->Check(QueryInterface(engine_->Graph, position), "Graph.QueryInterface(IID_IMediaPosition)");
    engine_->Check(position ? position->get_CurrentPosition(t) : E_POINTER,
                   "MediaPosition.get_CurrentPosition");
  }
  std::unique_ptr<IMediaDet> det;
  engine_->Check(CreateMediaDet(det), "CoCreateInstance(CLSID_MediaDet)");
  if (det) {
    engine_->Check(det->put_Filename(FileName), "MediaDet.put_FileName");
    long n = 0;
    engine_->Check(det->get_OutputStreams(&n), "MediaDet.get_OutputStreams");
    bool found = false;
    for (long i = 0; i < n && !found; ++i) {
      engine_->Check(det->put_CurrentStream(i), "MediaDet.put_CurrentStream");
      GUID type;
      engine_->Check(det->get_StreamType(&type), "MediaDet.get_StreamType");
      found = type == MEDIATYPE_Video;
    }
    if (found) {
      QFileDialog dlg(this, "Save screenshot...", Settings.ScreenShotDir, "Bitmap files (*.bmp)");
      dlg.setAcceptMode(QFileDialog::AcceptSave);
      dlg.setDefaultSuffix("bmp");
      if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) {
        const QString name = dlg.selectedFiles().first();
        Settings.ScreenShotDir = FolderPart(name);
        engine_->Check(det->WriteBitmapBits(t, engine_->VideoWidth, engine_->VideoHeight, name),
                       "MediaDet.WriteBitmapBits");
      }
    }
  }
  engine_->SetPosition(0);
  engine_->SetPosition(p);
  RestorePlayState();
}

QString TfrMain::HelpText() const {
  QString text = QStringLiteral(
      "Для работы необходим DirectX 8\r\n\r\n=== Мышь ===\r\nЛевая кнопка - Play/Stop\r\n"
      "Правая кнопка - убрать/показать панель управления и мышь\r\nСредняя кнопка - Окно/Полный "
      "экран\r\nShift + мышь - таскать окно (не FullScreen)\r\nCtrl + мышь - таскать фильм (только "
      "FullScreen)\r\nAlt + мышь - масштаб фильма (только FullScreen)\r\n\r\n=== Клавиатура ===");
  int lines = 0;
  for (int i = 0; i < 36; ++i) {
    const int id = Button(i)->Command;
    const QString key = KeyMap.Cell(id, TKeyColumn::Window);
    if (key.isEmpty() || lines >= 19) continue;
    const TCommandInfo* c = FindCommand(id);
    text += "\r\n" + key + " - " + QString::fromUtf8(c ? c->NameRussian : "");
    ++lines;
  }
  return text;
}

void TfrMain::ShowHelp() { ShowInfoBox("Краткая справка", HelpText()); }

void TfrMain::ShowFileInformation() {
  if (!FileInfo.Text.isEmpty()) ShowInfoBox("Информация о файле", FileInfo.Text);
}
