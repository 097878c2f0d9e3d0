#include "media/inspectiontexts.h"

TInspectionTexts TInspectionTexts::English() {
  TInspectionTexts t;
  t.sLocation = "Location";
  t.sStream = "Stream";
  t.sTypeVideo = "Type: Video";
  t.sTypeAudio = "Type: Audio";
  t.sTypeText = "Type: Text";
  t.sDuration = "Duration";
  t.sSize = "Size";
  t.sColorDepth = "Color depth";
  t.sFrameRate = "Frame rate";
  t.sFormat = "Format";
  t.sMono = "Mono";
  t.sStereo = "Stereo";
  t.sChannels = "channels";
  t.sKBitSec = "KBit/sec";
  t.sBits = "Bits";
  t.sHz = "Hz";
  t.sFileSize = "File Size";
  t.sHours = "h";
  t.sMinutes = "min";
  t.sSeconds = "sec";
  return t;
}

TInspectionTexts& InspectionTexts() {
  static TInspectionTexts texts;
  return texts;
}

void ApplyInspectionLanguage(int code) {
  InspectionTexts() = code == 1 ? TInspectionTexts::English() : TInspectionTexts::Russian();
}
