// A screenshot of the paused picture, written by the media detector at the
// movie's own size while the engine stands still.
#include <QFileDialog>

#include "core/cmdline.h"
#include "core/mainparts.h"
#include "core/playback.h"
#include "core/settings.h"
#include "media/DShowHlp.h"
#include "platform/media/mediadet.h"

void TPlayback::SaveScreenshot() {
  TSettings& settings = *parts_.Settings;
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
    engine_->Check(det->put_Filename(fileName_), "MediaDet.put_FileName");
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
      QFileDialog dlg(parts_.Window, "Save screenshot...", settings.ScreenShotDir, "Bitmap files (*.bmp)");
      dlg.setAcceptMode(QFileDialog::AcceptSave);
      dlg.setDefaultSuffix("bmp");
      if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) {
        const QString name = dlg.selectedFiles().first();
        settings.ScreenShotDir = FolderPart(name);
        engine_->Check(det->WriteBitmapBits(t, engine_->VideoWidth, engine_->VideoHeight, name),
                       "MediaDet.WriteBitmapBits");
      }
    }
  }
  engine_->SetPosition(0);
  engine_->SetPosition(p);
  RestorePlayState();
}
