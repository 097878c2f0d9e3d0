#include "platform/media/gsterror.h"

#include <QHash>
#include <mutex>

#include "platform/media/dshow.h"

namespace {

std::mutex& TextLock() {
  static std::mutex m;
  return m;
}

QHash<HRESULT, QString>& RecordedTexts() {
  static QHash<HRESULT, QString> texts;
  return texts;
}

// Texts for the codes this layer returns on its own.
QString BuiltInText(HRESULT hr) {
  switch (static_cast<uint32_t>(hr)) {
    case 0x00000000u: return QStringLiteral("No error.");
    case 0x00000001u: return QStringLiteral("False.");
    case 0x80004001u: return QStringLiteral("Not implemented.");
    case 0x80004002u: return QStringLiteral("No such interface supported.");
    case 0x80004003u: return QStringLiteral("Invalid pointer.");
    case 0x80004004u: return QStringLiteral("Operation aborted.");
    case 0x80004005u: return QStringLiteral("Unspecified error.");
    case 0x8000FFFFu: return QStringLiteral("Catastrophic failure.");
    case 0x8007000Eu: return QStringLiteral("Out of memory.");
    case 0x80070057u: return QStringLiteral("The parameter is incorrect.");
    case 0x80070002u: return QStringLiteral("The system cannot find the file specified.");
    case 0x80070005u: return QStringLiteral("Access is denied.");
    case 0x80040209u: return QStringLiteral("The operation cannot be performed because the pins are not connected.");
    case 0x80040216u: return QStringLiteral("An object or name was not found.");
    case 0x80040218u: return QStringLiteral("No combination of filters could be found to render the stream.");
    case 0x80040224u: return QStringLiteral("The operation cannot be performed because the filter is active.");
    case 0x80040227u: return QStringLiteral("The operation could not be performed because the filter is in the wrong state.");
    case 0x8004022Eu: return QStringLiteral("The operation timed out.");
    case 0x8004022Fu: return QStringLiteral("The file format is invalid.");
    case 0x80040240u: return QStringLiteral("The media type of this file is not recognized.");
    case 0x80040256u: return QStringLiteral("No audio hardware is available.");
    case 0x8004025Fu: return QStringLiteral("The filter is not in the graph.");
    case 0x80040265u: return QStringLiteral("The stream is not supported.");
    default: return {};
  }
}

}  // namespace

HRESULT HresultFromGError(const GError* error) {
  HRESULT hr = E_FAIL;
  if (!error) return hr;
  if (error->domain == GST_RESOURCE_ERROR) {
    switch (error->code) {
      case GST_RESOURCE_ERROR_NOT_FOUND: hr = HRESULT_FILE_NOT_FOUND; break;
      case GST_RESOURCE_ERROR_OPEN_READ:
      case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
      case GST_RESOURCE_ERROR_NOT_AUTHORIZED: hr = HRESULT_ACCESS_DENIED; break;
      case GST_RESOURCE_ERROR_BUSY: hr = VFW_E_NO_AUDIO_HARDWARE; break;
      default: hr = E_FAIL; break;
    }
  } else if (error->domain == GST_STREAM_ERROR) {
    switch (error->code) {
      case GST_STREAM_ERROR_TYPE_NOT_FOUND: hr = VFW_E_UNKNOWN_FILE_TYPE; break;
      case GST_STREAM_ERROR_WRONG_TYPE: hr = VFW_E_UNKNOWN_FILE_TYPE; break;
      case GST_STREAM_ERROR_CODEC_NOT_FOUND: hr = VFW_E_UNSUPPORTED_STREAM; break;
      case GST_STREAM_ERROR_DEMUX:
      case GST_STREAM_ERROR_DECODE:
      case GST_STREAM_ERROR_FORMAT: hr = VFW_E_INVALID_FILE_FORMAT; break;
      default: hr = VFW_E_CANNOT_RENDER; break;
    }
  } else if (error->domain == GST_CORE_ERROR &&
             error->code == GST_CORE_ERROR_MISSING_PLUGIN) {
    hr = VFW_E_UNSUPPORTED_STREAM;
  }
  RecordPlatformErrorText(hr, QString::fromUtf8(error->message));
  return hr;
}

void RecordPlatformErrorText(HRESULT hr, const QString& text) {
  std::lock_guard<std::mutex> lock(TextLock());
  RecordedTexts().insert(hr, text);
}

void ForgetPlatformErrorTexts() {
  std::lock_guard<std::mutex> lock(TextLock());
  RecordedTexts().clear();
}

QString AMGetErrorText(HRESULT hr) {
  {
    std::lock_guard<std::mutex> lock(TextLock());
    auto it = RecordedTexts().constFind(hr);
    if (it != RecordedTexts().constEnd()) return *it;
  }
  return BuiltInText(hr);
}

bool EnsureGStreamer() {
  static const bool ok = [] {
    GError* error = nullptr;
    if (gst_init_check(nullptr, nullptr, &error)) return true;
    RecordPlatformErrorText(E_FAIL, error ? QString::fromUtf8(error->message)
                                          : QStringLiteral("GStreamer could not start."));
    if (error) g_error_free(error);
    return false;
  }();
  return ok;
}
