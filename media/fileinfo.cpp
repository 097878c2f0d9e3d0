#include "media/fileinfo.h"

#include <QFile>
#include <QLocale>

#include <cmath>
#include <limits>
#include <memory>

#include "media/avikeyframes.h"
#include "lang/langs.h"
#include "platform/media/mediadet.h"

namespace {

qint64 FileSize(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.size() : 0;
}

QString ChannelsText(unsigned channels, const TRunTimeTexts& s) {
  if (channels == 1) return s.sMono;
  if (channels == 2) return s.sStereo;
  return QString::number(channels) + " " + s.sChannels;
}

// Appends what the stream's format block says about a video stream.
void DescribeVideo(IMediaDet& det, const AM_MEDIA_TYPE& mt, TFileInfo& info,
                   const TCheckResult& check) {
  const TRunTimeTexts& s = RunTimeTexts();
  TBitmapHeader bmi;
  if (mt.formattype == FORMAT_VideoInfo && ReadBitmapHeader(mt.format, bmi)) {
    info.Text += "FourCC: " + FourCCToText(mt.subtype.data1) + "\r\n";
    info.Text += QStringLiteral("%1: %2 x %3\r\n").arg(s.sSize).arg(bmi.biWidth).arg(bmi.biHeight);
    info.Text += QStringLiteral("%1: %2 %3\r\n").arg(s.sColorDepth).arg(bmi.biBitCount).arg(s.sBits);
    info.VideoSummary =
        QStringLiteral("%1x%2x%3, ").arg(bmi.biWidth).arg(bmi.biHeight).arg(bmi.biBitCount);
  }
  double rate = 0;
  check(det.get_FrameRate(&rate), "MediaDet.get_FrameRate");
  info.FrameRate = rate;
  const QString hz = FormatFixed(rate, 2) + " " + s.sHz;
  info.Text += s.sFrameRate + ": " + hz + "\r\n";
  info.VideoSummary += hz;
}

void DescribeAudio(const AM_MEDIA_TYPE& mt, double length, TFileInfo& info) {
  TWaveHeader w;
  if (mt.formattype != FORMAT_WaveFormatEx || !ReadWaveHeader(mt.format, w)) return;
  const TRunTimeTexts& s = RunTimeTexts();
  // 64-bit, so a huge declared byte rate cannot wrap into a small one.
  const QString kbits = QString::number(uint64_t(w.nAvgBytesPerSec) * 8 / 1000) + " " + s.sKBitSec;
  info.Text += QStringLiteral("%1: %2 %3, ").arg(s.sFormat).arg(w.nSamplesPerSec).arg(s.sHz);
  info.Text += ChannelsText(w.nChannels, s) + ", " + kbits + "\r\n";
  info.AudioSummary = kbits;
  info.AudioDuration = FormatDuration(float(length));
}

}  // namespace

QString FormatFixed(double value, int decimals) {
  QLocale locale = QLocale::system();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(value, 'f', decimals);
}

QString FormatDuration(float seconds) {
  const TRunTimeTexts& s = RunTimeTexts();
  // Truncation of a value beyond the integer range (or not a number) is not
  // defined; such lengths come only from damaged files and show as 0.
  const bool usable = std::isfinite(seconds) && std::fabs(seconds) < 9.0e15f;
  const qint64 t = usable ? qint64(seconds) : 0;
  QString text;
  if (usable && seconds >= 3600) text += QString::number(t / 3600) + " " + s.sHours + " ";
  if (usable && seconds >= 60) text += QString::number(t / 60 % 60) + " " + s.sMinutes + " ";
  return text + QString::number(t % 60) + " " + s.sSeconds + ".";
}

QString FourCCToText(uint32_t code) {
  if (code == 0) return QStringLiteral("0x00000000");
  QString text;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>(code >> (8 * i));
    text += c < 32 ? QChar('?') : QChar::fromLatin1(char(c));
  }
  return text;
}

void GetFileInfo(const QString& name, TFileInfo& info, bool keyFrameSeek, const TCheckResult& check) {
  const TRunTimeTexts& s = RunTimeTexts();
  const qint64 size = FileSize(name);
  info.Text = s.sLocation + ": " + name + "\r\n";
  info.Text += s.sFileSize + ": " + FormatFixed(double(size / 1024) / 1024, 3) + " Mb\r\n";
  info.VideoSummary.clear();
  info.AudioSummary.clear();
  info.AudioDuration.clear();
  // A record used for an earlier file must not lend this one its frame rate
  // or its key frames.
  info.Valid = false;
  info.FrameRate = 0;
  info.KeyFrames.clear();

  std::unique_ptr<IMediaDet> det;
  check(CreateMediaDet(det), "CoCreateInstance(CLSID_MediaDet)");
  if (!det) return;  // the policy let us go on, but there is nothing to ask
  check(det->put_Filename(name), "MediaDet.put_FileName");
  long streams = 0;
  check(det->get_OutputStreams(&streams), "MediaDet.get_OutputStreams");
  info.Valid = true;

  for (long i = 0; i < streams; ++i) {
    info.Text += " \r\n";
    check(det->put_CurrentStream(i), "MediaDet.put_CurrentStream");
    info.Text += s.sStream + " N" + QString::number(i + 1) + ": ";
    GUID type;
    check(det->get_StreamType(&type), "MediaDet.get_StreamType");
    if (type == MEDIATYPE_Video) info.Text += s.sTypeVideo;
    if (type == MEDIATYPE_Audio) info.Text += s.sTypeAudio;
    if (type == MEDIATYPE_Text) info.Text += s.sTypeText;
    info.Text += "\r\n";
    double length = 0;
    check(det->get_StreamLength(&length), "MediaDet.get_StreamLength");
    info.Text += s.sDuration + ": " + FormatDuration(float(length)) + "\r\n";
    AM_MEDIA_TYPE mt;
    check(det->get_StreamMediaType(&mt), "MediaDet.get_StreamMediaType");
    if (type == MEDIATYPE_Video) DescribeVideo(*det, mt, info, check);
    if (type == MEDIATYPE_Audio) DescribeAudio(mt, length, info);
  }

  if (keyFrameSeek) ReadAviKeyFrames(name, info);
}
