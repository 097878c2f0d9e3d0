#include "core/dialogs.h"

#include <algorithm>

#include "core/about.h"
#include "core/playback.h"
#include "media/DShowHlp.h"
#include "media/aprops.h"
#include "media/fileinfo.h"
#include "media/filters.h"
#include "media/playhost.h"
#include "playlist/playlist.h"
#include "playlist/report.h"

namespace {

// Any failed step ends the inspection of that file; the report then marks
// the file as one it could not inspect.
struct TInspectionFailed {};

bool InspectForReport(const QString& name, TReportInfo& out) {
  TFileInfo info;
  bool ok = true;
  try {
    GetFileInfo(name, info, false, [](HRESULT hr, const QString&) {
      if (FAILED(hr)) throw TInspectionFailed{};
    });
  } catch (const TInspectionFailed&) {
    ok = false;
  }
  out = {info.VideoSummary, info.AudioSummary, info.AudioDuration};
  return ok;
}

class TMainPlayHost : public TPlayHost {
 public:
  TMainPlayHost(TPlayback& play, TPlayList& list) : play_(play), list_(list) {}
  void RestorePlayState() override { play_.RestorePlayState(); }
  void PauseMovie() override { play_.PauseMovie(); }
  void Play() override { play_.Play(); }
  void OpenFile(const QString& name) override { play_.OpenFile(name); }
  QString CurrentFile() const override { return play_.FileName(); }
  int64_t FirstBookmark() const override {
    const int i = list_.CurrentItem();
    if (i < 0 || i >= list_.Count()) return 0;
    const auto& marks = list_.Item(i).Bookmarks;
    if (marks.empty()) return 0;
    return std::min_element(marks.begin(), marks.end(),
                            [](const TBookMark& a, const TBookMark& b) { return a.Time < b.Time; })
        ->Time;
  }

 private:
  TPlayback& play_;
  TPlayList& list_;
};

}  // namespace

std::unique_ptr<TPlayHost> MakePlayHost(TPlayback& play, TPlayList& list) {
  return std::make_unique<TMainPlayHost>(play, list);
}

TfrReport& ReportWindow(QWidget& owner, TPlayback& play, TPlayList& list) {
  if (auto* w = owner.findChild<TfrReport*>(QString(), Qt::FindDirectChildrenOnly)) return *w;
  TReportSource s;
  s.Count = [&list] { return list.Count(); };
  s.FileName = [&list](int i) { return list.Item(i).FileName; };
  s.Stop = [&play] { play.Engine().Stop(); };
  s.Inspect = &InspectForReport;
  s.RestorePlayState = [&play] { play.RestorePlayState(); };
  return *new TfrReport(std::move(s), &owner);
}

void ShowReportWindow(QWidget& owner, TPlayback& play, TPlayList& list) { ReportWindow(owner, play, list).exec(); }

void ShowFiltersWindow(QWidget& owner, TPlayback& play, TPlayList& list) {
  const auto host = MakePlayHost(play, list);
  TfrFilters w(play.Engine(), *host, &owner);
  w.Fill();
  w.exec();
}

void ShowAudioWindow(QWidget& owner, TPlayback& play, TPlayList& list) {
  const auto host = MakePlayHost(play, list);
  TfrAudioProps w(play.Engine(), *host, &owner);
  w.Fill();
  w.exec();
}

void ShowAboutWindow(QWidget& owner) {
  TfrAbout w(&owner);
  w.exec();
}
