#include "platform/system/profile.h"
