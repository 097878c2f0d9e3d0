#include "playlist/playlist.h"
#include "media/fileinfo.h"
#include "platform/system/msgbox.h"
#include <sys/stat.h>
#include <gst/gst.h>
#include <QFileInfo>
#include "core/MainUnit.h"
#include "tests/support/tempenv.h"
