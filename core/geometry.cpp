#include "core/geometry.h"

#include <QLocale>
#include <cmath>
#include <limits>

int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

namespace {

bool FitsInt(double v) {
  return std::isfinite(v) && v > std::numeric_limits<int>::min() &&
         v < std::numeric_limits<int>::max();
}

// The number the locale reads, or nothing.
std::optional<double> ReadNumber(const QString& text) {
  bool ok = false;
  const double v = QLocale::system().toDouble(text, &ok);
  if (ok) return v;
  return std::nullopt;
}

}  // namespace

int AspectHeight(int w, int h, int mode, const QString& customRatio) {
  switch (mode) {
    case am16x9: return RoundEven(w * 9.0 / 16.0);
    case am4x3: return RoundEven(w * 3.0 / 4.0);
    case amCustom: {
      const qsizetype colon = customRatio.indexOf(':');
      if (colon < 0) return w;
      const auto a = ReadNumber(customRatio.left(colon).trimmed());
      const auto b = ReadNumber(customRatio.mid(colon + 1, 100).trimmed());
      if (!a || !b || *a == 0) return w;
      const double v = w * *b / *a;
      return FitsInt(v) ? RoundEven(v) : w;
    }
    default: return h;
  }
}

std::optional<QRect> ComputeVideoRect(const TVideoPlacementInput& in) {
  double fx = (in.ZoomX + 100) / 100.0;
  const double fy = (200 - in.ZoomY) / 100.0;
  const int w = in.VideoWidth;
  const int h = AspectHeight(w, in.VideoHeight, in.AspectMode, in.CustomAspectRatio);
  const int P = in.PanelWidth, Q = in.PanelHeight;
  int left = 0, top = 0, W = P, H = Q;
  if (in.KeepAspect) {
    fx = fy;
    // A zero-sized panel or video has no ratio to fit by.
    if (w <= 0 || h <= 0 || P <= 0 || Q <= 0) return std::nullopt;
    const double rX = double(w) / P, rY = double(h) / Q;
    const bool fitWidth =
        in.AspectMode == amFitWidth || (in.AspectMode != amFitHeight && rX >= rY);
    if (fitWidth) {
      const double hh = h / rX;
      if (!FitsInt(hh)) return std::nullopt;
      W = P;
      H = RoundEven(hh);
      top = (Q - H) / 2;
    } else {
      const double ww = w / rY;
      if (!FitsInt(ww)) return std::nullopt;
      H = Q;
      W = RoundEven(ww);
      left = (P - W) / 2;
    }
  }
  const double w2 = W * fx, h2 = H * fy;
  if (!FitsInt(w2) || !FitsInt(h2)) return std::nullopt;
  const int W2 = RoundEven(w2), H2 = RoundEven(h2);
  left = left - (W2 - W) / 2 + in.PanX;
  top = top - (H2 - H) / 2 + in.PanY;
  return QRect(left, top, W2, H2);
}

QRect NearestMonitorRect(const QRect& window, const std::vector<QRect>& monitors,
                         const QRect& screen) {
  const int cx = window.left() + window.width() / 2;
  const int cy = window.top() + window.height() / 2;
  QRect result = screen;
  bool have = false;
  double best = 0;
  for (const QRect& m : monitors) {
    if (m.width() <= 0 || m.height() <= 0) continue;
    const int dx = m.left() + m.width() / 2, dy = m.top() + m.height() / 2;
    const double d = std::sqrt(std::pow(double(cx - dx) / m.width(), 2) +
                               std::pow(double(cy - dy) / m.height(), 2));
    if (!have || d < best) {
      have = true;
      best = d;
      result = m;
    }
  }
  return result;
}

QSize MinimumWindowSize(int hidden) { return QSize(376, 250 - hidden); }

QRect ClampSizingRect(QRect r, Qt::Edges dragged, int hidden) {
  const QSize min = MinimumWindowSize(hidden);
  if (r.width() < min.width()) {
    if (dragged & Qt::LeftEdge)
      r.setLeft(r.right() + 1 - min.width());
    else
      r.setWidth(min.width());
  }
  if (r.height() < min.height()) {
    if (dragged & Qt::TopEdge)
      r.setTop(r.bottom() + 1 - min.height());
    else
      r.setHeight(min.height());
  }
  return r;
}

QString ZoomText(int zoomX, int zoomY) {
  const QLocale loc = QLocale::system();
  return QStringLiteral("Zoom: %1 x %2")
      .arg(loc.toString(zoomX / 100.0 + 1, 'f', 2), loc.toString((100 - zoomY) / 100.0 + 1, 'f', 2));
}
