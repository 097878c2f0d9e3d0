#pragma once
#include <QString>

// "GStreamer 1.22.0": the media framework's version, shown where a DirectX
// version would stand.
QString MediaFrameworkVersion();
