#pragma once
#include <QString>

// The program's own folder, which holds its settings and playlist:
// $XDG_CONFIG_HOME/kelvara (~/.config/kelvara when unset), created on demand,
// without a trailing "/".
QString WindowsDirectory();
// Where folder settings start out: the user's home folder with a trailing "/".
QString DefaultFolder();
