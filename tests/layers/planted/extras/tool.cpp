#include "core/window.h"
