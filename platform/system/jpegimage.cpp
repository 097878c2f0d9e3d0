#include "platform/system/jpegimage.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

#include "base/logo.h"

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it jumps back into DecodeJpeg. Warnings (premature end of data, corrupt
// entropy data) mean a damaged picture here and are handled the same way, so
// that a half-grey logo is never shown as if it were the real one.
struct TJpegError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr cinfo, int level) {
  if (level < 0) OnJpegError(cinfo);
}

void Silent(j_common_ptr) {}

// Adobe writes CMYK inverted; that is the only kind found in the wild.
QRgb FromCmyk(const JSAMPLE* p, bool inverted) {
  int c = p[0], m = p[1], y = p[2], k = p[3];
  if (!inverted) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

// Everything the decoder touches after setjmp, so that a longjmp leaves no
// half-built C++ object behind: the image and row buffer are owned here.
struct TDecodeState {
  jpeg_decompress_struct cinfo;
  TJpegError error;
  QImage image;
  QByteArray row;
};

bool Decode(TDecodeState& st, const QByteArray& data) {
  jpeg_decompress_struct& cinfo = st.cinfo;
  if (setjmp(st.error.jump)) return false;
  jpeg_create_decompress(&cinfo);
  // libjpeg keeps whole progressive pictures in memory; a forged header must
  // not be able to ask for more than a real picture of the allowed size needs.
  cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kJpegMaxSide ||
      cinfo.image_height > kJpegMaxSide ||
      static_cast<qint64>(cinfo.image_width) * cinfo.image_height > kJpegMaxPixels)
    return false;
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
  const int channels = cinfo.output_components;
  if ((cmyk && channels != 4) || (!cmyk && channels != 3)) return false;
  st.image = QImage(width, height, QImage::Format_RGB32);
  if (st.image.isNull()) return false;
  st.row.resize(static_cast<qsizetype>(width) * channels);
  JSAMPROW rows[1] = {reinterpret_cast<JSAMPLE*>(st.row.data())};
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) return false;
    auto* out = reinterpret_cast<QRgb*>(st.image.scanLine(y));
    const JSAMPLE* in = rows[0];
    for (int x = 0; x < width; ++x, in += channels)
      out[x] = cmyk ? FromCmyk(in, cinfo.saw_Adobe_marker) : qRgb(in[0], in[1], in[2]);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
  if (data.isEmpty()) return {};
  TDecodeState st{};
  st.cinfo.err = jpeg_std_error(&st.error.pub);
  st.error.pub.error_exit = &OnJpegError;
  st.error.pub.emit_message = &OnJpegMessage;
  st.error.pub.output_message = &Silent;
  const bool ok = Decode(st, data);
  jpeg_destroy_decompress(&st.cinfo);
  return ok ? st.image : QImage();
}

QImage LoadJpegFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return DecodeJpeg(file.readAll());
}

QImage LoadLogoImage() { return DecodeJpeg(LogoJpeg()); }
