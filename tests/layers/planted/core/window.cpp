#include "core/window.h"
#include "playlist/playlist.h"
#include "platform/media/dshow.h"
#include "base/logo.h"
// #include <X11/Xlib.h> in a comment is no include
  #  include <X11/Xlib.h>
