#pragma once
#include <QString>
#include <array>
#include <span>

// The file types the player can be the default program for, in list order.
struct TFileType {
  const char* Text;  // "AVI - Audio-Video Interleaved"; the extension is the text before the first space
  bool Video;        // checked by the "Видео" group button
  bool Audio;        // checked by the "Аудио" group button
};
inline constexpr int FileTypeCount = 27;
std::span<const TFileType, FileTypeCount> FileTypes();

// "AVI" of "AVI - Audio-Video Interleaved".
QString FileTypeExtension(const TFileType& type);
// The icon of the type: 1 the playlist, 5 sound (index 17 on), 3 video.
int FileTypeIcon(int index);
// "Multimedia files|*.KPL;*.ASF;...;*.WAV;|Any files|*.*": the open dialog's filter.
QString MultimediaFilter();

// The check marks of the file-type list. The marks are the wish; the
// association work applies them at the next apply step.
enum class TFileGroup { None, Video, Audio, All };
class TFileTypeMarks {
 public:
  bool Checked(int index) const { return index >= 0 && index < FileTypeCount && marks_[size_t(index)]; }
  void SetChecked(int index, bool on) {
    if (index >= 0 && index < FileTypeCount) marks_[size_t(index)] = on;
  }
  // The group buttons: None clears all, Video and Audio clear all and check
  // their group, All checks all.
  void ApplyGroup(TFileGroup group);
  bool operator==(const TFileTypeMarks&) const = default;

 private:
  std::array<bool, FileTypeCount> marks_{};
};
