#pragma once
#include <QString>

struct TFileInfo;

// Fills info.KeyFrames with the start times (100 ns) of the key frames listed
// in an AVI file's idx1 index, in file order, counting video chunks at
// info.FrameRate. Leaves the list empty for a file that cannot be opened, is
// not AVI, has no index, or when no usable frame rate is known.
void ReadAviKeyFrames(const QString& name, TFileInfo& info);
