#pragma once
#include <QString>

// "GStreamer 1.22.0": the media framework's version, for the system
// description.
QString MediaFrameworkVersion();
