#pragma once
#include "platform/system/msgbox.h"
#include <cstdint>
