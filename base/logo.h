#pragma once
#include <QByteArray>

// The program's logo as the JPEG file that is compiled in (scripts/makelogo.sh
// draws it). Decoding is the platform's business; this layer only holds it.
QByteArray LogoJpeg();
