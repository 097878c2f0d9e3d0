#include "platform/media/gstversion.h"

#include <gst/gst.h>

QString MediaFrameworkVersion() {
  guint major = 0, minor = 0, micro = 0, nano = 0;
  gst_version(&major, &minor, &micro, &nano);
  return QStringLiteral("GStreamer %1.%2.%3").arg(major).arg(minor).arg(micro);
}
