#pragma once
#include <QString>

// The folder that stands for the Windows directory: $XDG_CONFIG_HOME/kelvara
// (~/.config/kelvara when unset), created on demand, without a trailing "/".
QString WindowsDirectory();
// The stand-in for the "C:\" defaults: the user's home folder with a trailing "/".
QString DefaultFolder();
