#include "media/aprops.h"

#include <QPushButton>

#include "controls/multivolume.h"
#include "media/DShowHlp.h"
#include "media/playhost.h"

namespace {
const char* const kCaption = "Audio";
const char* const kStreams = "Audio: %1 stream(s)";
const char* const kReset = "Сброс";
const char* const kDecoder = "Свойства аудио декодера";
}  // namespace

TfrAudioProps::TfrAudioProps(TDirectShowHelper& engine, TPlayHost& host, QWidget* parent)
    : TEscDialog(parent), engine_(engine), host_(host) {
  setObjectName("frAudioProps");
  setWindowTitle(QString::fromUtf8(kCaption));
  setStyleSheet("TfrAudioProps { background: black; }");
  Volumes = new TMultiVolumeBar(this);
  Volumes->move(4, 4);
  Volumes->OnChange = [this] { Apply(); };
  sbReset = new QPushButton(QString::fromUtf8(kReset), this);
  sbAudioDecoder = new QPushButton(QString::fromUtf8(kDecoder), this);
  connect(sbReset, &QPushButton::clicked, this, [this] { Volumes->Reset(); });
  connect(sbAudioDecoder, &QPushButton::clicked, this, &TfrAudioProps::ShowDecoderProperties);
  Place();
}

// The buttons sit under the control, which is as wide as its streams.
void TfrAudioProps::Place() {
  const int top = Volumes->y() + Volumes->height() + 6;
  sbReset->setGeometry(4, top, 80, 25);
  sbAudioDecoder->setGeometry(90, top, 190, 25);
  setFixedSize(std::max(Volumes->x() + Volumes->width() + 4, 284), top + 31);
}

void TfrAudioProps::Fill() {
  const int n = engine_.CountAudioRenderers();
  setWindowTitle(QString::fromUtf8(kStreams).arg(n));
  Volumes->SetCount(n);
  for (int i = 0; i < Volumes->Count(); ++i) {
    ComPtr<IBasicAudio> audio;
    engine_.Check(QueryInterface(engine_.FindAudioRenderer(i), audio), "Filter.QueryInterface(IID_IBasicAudio)");
    long volume = 0, balance = 0;
    engine_.Check(audio ? audio->get_Volume(volume) : E_POINTER, "BasicAudio.get_Volume");
    engine_.Check(audio ? audio->get_Balance(balance) : E_POINTER, "BasicAudio.get_Balance");
    Volumes->Levels[size_t(i)] = {int(volume), int(balance)};
  }
  Place();
  Volumes->update();
}

void TfrAudioProps::Apply() {
  for (int i = 0; i < Volumes->Count(); ++i) {
    ComPtr<IBasicAudio> audio;
    engine_.Check(QueryInterface(engine_.FindAudioRenderer(i), audio), "Filter.QueryInterface(IID_IBasicAudio)");
    const TVolumeLevel& level = Volumes->Levels[size_t(i)];
    engine_.Check(audio ? audio->put_Volume(level.Volume) : E_POINTER, "BasicAudio.put_Volume");
    engine_.Check(audio ? audio->put_Balance(level.Balance) : E_POINTER, "BasicAudio.put_Balance");
  }
}

void TfrAudioProps::ShowDecoderProperties() {
  engine_.Stop();
  if (ComPtr<IBaseFilter> decoder = engine_.FindAudioDecoder()) engine_.ShowFilterProperties(decoder);
  host_.RestorePlayState();
  close();
}
