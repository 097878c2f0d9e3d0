#pragma once
// The audio dialog: one volume and balance pair per audio renderer, every
// change written to each renderer at once, and the audio decoder's sheet.
#include "media/escdialog.h"

class QPushButton;
class TDirectShowHelper;
class TMultiVolumeBar;
class TPlayHost;

class TfrAudioProps : public TEscDialog {
  Q_OBJECT
 public:
  TfrAudioProps(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent = nullptr);

  void Fill();
  // Writes every shown pair to its renderer.
  void Apply();
  void ShowDecoderProperties();

  TMultiVolumeBar* Volumes;
  QPushButton* sbReset;
  QPushButton* sbAudioDecoder;

 private:
  void Place();
  TDirectShowHelper& engine_;
  TPlayHost& host_;
};
