#include "platform/system/leak.h"
#include "core/identity.h"
#include "platform/media/hresult.h"
#include "base/hresult.h"
#include <X11/Xlib.h>
#include <sys/stat.h>
