#pragma once
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

// Window and video arithmetic of the main window, apart from any widget so
// that it can be checked figure by figure. Integer division truncates toward
// zero and Round() rounds halves to even, as everywhere in the program.

// Round half to even.
int RoundEven(double v);

// The aspect modes of the preferences' choice list.
enum TAspectMode { amAsIs = 0, am16x9 = 1, am4x3 = 2, amFitWidth = 3, amFitHeight = 4, amCustom = 5 };

struct TVideoPlacementInput {
  int VideoWidth = 0, VideoHeight = 0;
  int PanelWidth = 0, PanelHeight = 0;
  int AspectMode = amAsIs;
  QString CustomAspectRatio;  // "47 : 20", read with the locale's decimal separator
  bool KeepAspect = true;
  int ZoomX = 0, ZoomY = 100;  // track positions 0..100
  int PanX = 0, PanY = 0;
};

// The video window's rectangle inside the movie panel; nothing when the
// figures do not allow one (a zero-sized panel or video, non-finite or
// out-of-range results), in which case the caller takes the fallback.
std::optional<QRect> ComputeVideoRect(const TVideoPlacementInput& in);
// Where a failed placement leaves the video window.
inline constexpr QRect FallbackVideoRect{0, 0, 40, 30};

// The height the aspect mode gives a video of width w and height h.
int AspectHeight(int w, int h, int mode, const QString& customRatio);

// The monitor whose centre is nearest to the window's centre, distances in
// monitor widths and heights; the first monitor wins ties. `screen` is the
// answer when there are no monitors.
QRect NearestMonitorRect(const QRect& window, const std::vector<QRect>& monitors,
                         const QRect& screen);

// Heights of the caption bar above the movie and the control panel below it.
inline constexpr int kCaptionHeight = 20;
inline constexpr int kControlHeight = 79;

// The smallest window the size limit allows: "hidden" is the height of the
// control panel and the caption bar when they are hidden.
QSize MinimumWindowSize(int hidden);
// Interactive sizing: keeps the edge that is not dragged in place.
QRect ClampSizingRect(QRect r, Qt::Edges dragged, int hidden);

// "Zoom: 1,30 x 1,00" with the locale's decimal separator.
QString ZoomText(int zoomX, int zoomY);
