#pragma once
// The media engine: the one filter graph every file plays through, the
// check that reports failed platform calls, and the graph inspections.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <cstdint>
#include <functional>

#include "lang/langs.h"
#include "platform/media/dshow.h"

class TDirectShowHelper;

// Hidden receiver of the graph's notifications; they are handled on the UI
// thread when it gets to them.
class TNotifyWindow : public QObject {
 public:
  explicit TNotifyWindow(TDirectShowHelper* owner) : owner_(owner) {}
  // A freed graph's window may still have a notification queued; it must not
  // drain the next graph's events.
  void Detach() { owner_ = nullptr; }
  bool event(QEvent* e) override;

 private:
  TDirectShowHelper* owner_;
};


inline constexpr int WM_GRAPHNOTIFY = 0x400;

// Calls `f` on the interface. One the graph does not have (left unset by an
// earlier failure that the policy let pass) gives E_POINTER, which is
// reported like any failure instead of running into an empty reference.
template <class T, class F>
HRESULT CallIfPresent(const ComPtr<T>& object, F&& f) {
  return object ? f(*object) : E_POINTER;
}

class TDirectShowHelper {
 public:
  using TNotifyEvent = std::function<void(TDirectShowHelper* Sender)>;

  TDirectShowHelper();
  ~TDirectShowHelper();
  TDirectShowHelper(const TDirectShowHelper&) = delete;
  TDirectShowHelper& operator=(const TDirectShowHelper&) = delete;

  ComPtr<ICaptureGraphBuilder2> Builder;
  ComPtr<IGraphBuilder> Graph;
  ComPtr<IMediaControl> MediaControl;
  ComPtr<IVideoWindow> VideoWindow;
  ComPtr<IMediaSeeking> MediaSeeking;
  ComPtr<IMediaEventEx> MediaEventEx;
  TNotifyEvent OnComplete;
  bool ForceOverlay = false;
  QPointer<TNotifyWindow> NotifyWindow;
  int32_t VideoWidth = 400;
  int32_t VideoHeight = 250;
  bool HasVideo = false;
  bool HasAudio = false;

  // What the main window hands in: the info-panel writer, the live
  // "OnErrors" setting (0 raises, 1 continues), the owner of the engine's
  // boxes and sheets, and the texts of the current language.
  std::function<void(const QString&)> ShowInfoText;
  std::function<int()> OnErrors;
  QPointer<QWidget> MainWindow;
  // The run-time texts of the language in use, read when a text is composed.
  static const TRunTimeTexts& Texts() { return RunTimeTexts(); }

  void Check(HRESULT hr, const QString& Label);
  // The text of a failure just seen; the platform text recorded for it is
  // used up, so the next failure with the same code reports its own.
  QString ErrorText(HRESULT hr) const;
  void BuildGraph();
  void FreeGraph();
  void Run();
  void Pause();
  void Stop();
  int64_t GetDuration();
  int64_t GetPosition();
  void SetPosition(int64_t Position);
  void SetRate(double Rate);
  void AttachVideoWindow(QWidget* Owner);
  void ReadVideoInfo();
  // The notification window's procedure; true when the message was its own.
  bool NotifyWndProc(int Message);

  // Graph inspection.
  QString GetFilterName(const ComPtr<IBaseFilter>& Filter);
  CLSID GetFilterClassID(const ComPtr<IUnknown>& Object);
  ComPtr<IPin> FindPin(const ComPtr<IBaseFilter>& Filter, PIN_DIRECTION Direction);
  int ClassifyVideoPin(const ComPtr<IPin>& Pin);
  ComPtr<IBaseFilter> FindVideoDecoder();
  ComPtr<IBaseFilter> FindAudioDecoder();
  ComPtr<IBaseFilter> FindVideoRenderer();
  ComPtr<IBaseFilter> FindAudioRenderer(int Index);
  int CountAudioRenderers();
  ComPtr<IBaseFilter> GetDownstreamFilter(const ComPtr<IBaseFilter>& Filter);
  void RemoveDownstream(const ComPtr<IBaseFilter>& Filter);
  bool HasPropertyPages(const ComPtr<IBaseFilter>& Filter);
  void ShowFilterProperties(const ComPtr<IBaseFilter>& Filter);
  void FrameStep(int Frames);
  void AdjustDivXPicture(int Brightness, int Contrast, int Saturation);

 private:
  void RemoveAllFilters();
  void DisconnectPins(const ComPtr<IBaseFilter>& Filter);
  // Calls `visit` for each filter of the graph in enumeration order.
  void ForEachFilter(const std::function<void(const ComPtr<IBaseFilter>&)>& visit);
  void Info(const QString& text);
};

// The one engine, created by the main window.
extern TDirectShowHelper* DirectShowHelper;
