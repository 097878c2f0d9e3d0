#include "playlist/playlist.h"
