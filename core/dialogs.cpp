#include "core/dialogs.h"

#include <algorithm>

#include "commands/commandtable.h"
#include "core/MainUnit.h"
#include "core/about.h"
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
  explicit TMainPlayHost(TfrMain& main) : main_(main) {}
  void RestorePlayState() override { main_.RestorePlayState(); }
  void PauseMovie() override { main_.PauseMovie(); }
  void Play() override { main_.Play(); }
  void OpenFile(const QString& name) override { main_.OpenFile(name); }
  QString CurrentFile() const override { return main_.FileName; }
  int64_t FirstBookmark() const override {
    const TPlayList* list = main_.PlayList();
    const int i = list->CurrentItem();
    if (i < 0 || i >= list->Count()) return 0;
    const auto& marks = list->Item(i).Bookmarks;
    if (marks.empty()) return 0;
    return std::min_element(marks.begin(), marks.end(),
                            [](const TBookMark& a, const TBookMark& b) { return a.Time < b.Time; })
        ->Time;
  }

 private:
  TfrMain& main_;
};

}  // namespace

std::unique_ptr<TPlayHost> MakePlayHost(TfrMain& main) { return std::make_unique<TMainPlayHost>(main); }

void ShowFiltersWindow(TfrMain& main) {
  if (!main.ButtonEnabled(cmFilters)) return;
  const auto host = MakePlayHost(main);
  TfrFilters w(*main.Engine(), *host, &main);
  w.Fill();
  w.exec();
}

void ShowAudioWindow(TfrMain& main) {
  if (!main.ButtonEnabled(cmAudioProperties)) return;
  const auto host = MakePlayHost(main);
  TfrAudioProps w(*main.Engine(), *host, &main);
  w.Fill();
  w.exec();
}

void ShowAboutWindow(TfrMain& main) {
  TfrAbout w(main.IsEnglish(), &main);
  w.exec();
}

TfrReport& ReportWindow(TfrMain& main) {
  if (auto* w = main.findChild<TfrReport*>(QString(), Qt::FindDirectChildrenOnly)) return *w;
  TReportSource s;
  TfrMain* m = &main;
  s.Count = [m] { return m->PlayList()->Count(); };
  s.FileName = [m](int i) { return m->PlayList()->Item(i).FileName; };
  s.Stop = [m] { m->Engine()->Stop(); };
  s.Inspect = &InspectForReport;
  s.RestorePlayState = [m] { m->RestorePlayState(); };
  return *new TfrReport(std::move(s), &main);
}

void ShowReportWindow(TfrMain& main) { ReportWindow(main).exec(); }
