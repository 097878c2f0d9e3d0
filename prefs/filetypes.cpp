#include "prefs/filetypes.h"

namespace {

constexpr TFileType kTypes[FileTypeCount] = {
    {"KPL - Kelvara Playlist", true, true},
    {"ASF - Advanced Streaming Format", true, false},
    {"AVI - Audio-Video Interleaved", true, false},
    {"DAT - MPEG movie on VCD or SVCD", false, false},
    {"DIVX - AVI file compressed with DIVX coder", false, false},
    {"ENC", false, false},
    {"M1V - MPEG1 only video", false, false},
    {"M2V - MPEG2 only video", false, false},
    {"MOV - Quick Time Movie (ver. 2 and lower)", false, false},
    {"MPE - MPEG", true, false},
    {"MPEG - Motion Picture Experts Group", true, false},
    {"MPG - MPEG", true, false},
    {"QT - Quick Time Movie (ver. 2 and lower)", false, false},
    {"VOB - MPEG2 ripped from DVD", false, false},
    {"WM - Windows Media", false, false},
    {"WMA - Windows Media Audio", false, false},
    {"WMV - Windows Media Video", false, false},
    {"AIF - AIFF", false, false},
    {"AIFC - AIFF", false, false},
    {"AIFF - Apple Audio", false, false},
    {"AU - Sun Audio", false, false},
    {"MID - Musical Interface Digital Instruments", false, true},
    {"MP2 - Audio MPEG1 Layer-2", false, false},
    {"MP3 - Audio MPEG1 Layer-3", false, true},
    {"MPA - Audio MPEG", false, false},
    {"SND - Sun Audio", false, false},
    {"WAV - Windows PCM Audio", false, true},
};

}  // namespace

std::span<const TFileType, FileTypeCount> FileTypes() { return std::span<const TFileType, FileTypeCount>(kTypes); }

QString FileTypeExtension(const TFileType& type) {
  const QString text = QString::fromLatin1(type.Text);
  const qsizetype space = text.indexOf(' ');
  return space < 0 ? text : text.left(space);
}

int FileTypeIcon(int index) {
  if (index >= 0 && index < FileTypeCount && FileTypeExtension(kTypes[index]) == QLatin1String("KPL")) return 1;
  return index >= 17 ? 5 : 3;
}

QString MultimediaFilter() {
  QString filter = QStringLiteral("Multimedia files|");
  for (const TFileType& t : kTypes) filter += QStringLiteral("*.") + FileTypeExtension(t) + QLatin1Char(';');
  return filter + QStringLiteral("|Any files|*.*");
}

void TFileTypeMarks::ApplyGroup(TFileGroup group) {
  for (int i = 0; i < FileTypeCount; ++i) {
    const TFileType& t = kTypes[i];
    bool on = false;
    switch (group) {
      case TFileGroup::None: on = false; break;
      case TFileGroup::Video: on = t.Video; break;
      case TFileGroup::Audio: on = t.Audio; break;
      case TFileGroup::All: on = true; break;
    }
    marks_[size_t(i)] = on;
  }
}
