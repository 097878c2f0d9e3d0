#include <gst/gst.h>
#include "base/identity.h"
