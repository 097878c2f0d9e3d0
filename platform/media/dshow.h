#pragma once
// The media interfaces the program speaks: a small filter-graph vocabulary
// (graph, filters, pins, seeking, events, video window, audio) with counted
// references and 32-bit results. The GStreamer implementation lives behind
// it; nothing here pulls in a GStreamer header.
#include <QByteArray>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/hresult.h"

class QObject;
class QWidget;

using REFERENCE_TIME = int64_t;  // 100 ns units
using GUID = QUuid;
using CLSID = QUuid;
using OAHWND = QWidget*;

// A counted reference; clearing it releases the object.
template <class T>
using ComPtr = std::shared_ptr<T>;

inline constexpr long OATRUE = -1;
inline constexpr long OAFALSE = 0;
inline constexpr long WS_CHILD = 0x40000000;
inline constexpr long WS_CLIPCHILDREN = 0x02000000;

// Event codes that the event queue reports.
inline constexpr long EC_COMPLETE = 0x01;
inline constexpr long EC_USERABORT = 0x02;
inline constexpr long EC_ERRORABORT = 0x03;
inline constexpr long EC_STEP_COMPLETE = 0x24;

inline constexpr uint32_t AM_SEEKING_NoPositioning = 0;
inline constexpr uint32_t AM_SEEKING_AbsolutePositioning = 1;
inline constexpr uint32_t AM_SEEKING_RelativePositioning = 2;
inline constexpr uint32_t AM_SEEKING_PositioningBitsMask = 3;
inline constexpr uint32_t AM_SEEKING_SeekToKeyFrame = 4;

// Major types, subtypes, format types and time formats.
inline const GUID MEDIATYPE_Video{"{73646976-0000-0010-8000-00AA00389B71}"};
inline const GUID MEDIATYPE_Audio{"{73647561-0000-0010-8000-00AA00389B71}"};
inline const GUID MEDIATYPE_Text{"{73747874-0000-0010-8000-00AA00389B71}"};
inline const GUID MEDIATYPE_Stream{"{E436EB83-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_PCM{"{00000001-0000-0010-8000-00AA00389B71}"};
inline const GUID MEDIASUBTYPE_RGB1{"{E436EB78-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB4{"{E436EB79-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB8{"{E436EB7A-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB565{"{E436EB7B-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB555{"{E436EB7C-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB24{"{E436EB7D-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_RGB32{"{E436EB7E-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID MEDIASUBTYPE_ARGB32{"{773C9AC0-3274-11D0-B724-00AA006C1A01}"};
inline const GUID MEDIASUBTYPE_Overlay{"{E436EB7F-524F-11CE-9F53-0020AF0BA770}"};
inline const GUID FORMAT_VideoInfo{"{05589F80-C356-11CE-BF01-00AA0055595A}"};
inline const GUID FORMAT_WaveFormatEx{"{05589F81-C356-11CE-BF01-00AA0055595A}"};
inline const GUID FORMAT_None{"{0F6417D6-C318-11D0-A43F-00A0C9223196}"};
inline const GUID TIME_FORMAT_MEDIA_TIME{"{7B785574-8C82-11CF-BC0C-00AA00AC74F6}"};

// The subtype that carries a four-character code (or a wave format tag).
GUID FourCCSubtype(uint32_t fourcc);
inline constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}

// Classes that can be created, and the classes filters report.
inline const CLSID CLSID_FilterGraph{"{E436EBB3-524F-11CE-9F53-0020AF0BA770}"};
inline const CLSID CLSID_CaptureGraphBuilder2{"{BF87B6E1-8C27-11D0-B3F0-00AA003761C5}"};
inline const CLSID CLSID_OverlayMixer{"{CD8743A1-3736-11D0-9E69-00C04FD7C15B}"};
inline const CLSID CLSID_VideoRenderer{"{70E102B0-5556-11CE-97C0-00AA0055595A}"};
inline const CLSID CLSID_DSoundRender{"{79376820-07D0-11CF-A24D-0020AFD79767}"};
inline const CLSID CLSID_NullRenderer{"{C1F400A4-3F08-11D3-9F0B-006008039E37}"};
inline const CLSID CLSID_MediaDet{"{65BD0711-24D2-4FF7-9324-ED2E5D3ABAFA}"};
inline const CLSID CLSID_SampleGrabber{"{C1F400A0-3F08-11D3-9F0B-006008039E37}"};

// A stream format. `format` holds the format block (a VIDEOINFOHEADER or a
// WAVEFORMATEX laid out as on disk).
struct AM_MEDIA_TYPE {
  GUID majortype;
  GUID subtype;
  GUID formattype;
  QByteArray format;
};

// The common root: asks an object for another of its interfaces.
class IUnknown {
 public:
  virtual ~IUnknown() = default;
  // E_NOINTERFACE when the object does not have `iid`.
  virtual HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) = 0;
};

// Typed query: `QueryInterface(graph, control)` fills `control` or leaves it empty.
template <class T, class S>
HRESULT QueryInterface(const ComPtr<S>& object, ComPtr<T>& out) {
  out.reset();
  if (!object) return E_POINTER;
  ComPtr<IUnknown> u;
  HRESULT hr = object->QueryInterface(T::IID, u);
  if (FAILED(hr)) return hr;
  out = std::dynamic_pointer_cast<T>(u);
  return out ? hr : E_NOINTERFACE;
}

class IBaseFilter;
class IGraphBuilder;

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

class IPin;
struct PIN_INFO {
  ComPtr<IBaseFilter> pFilter;
  PIN_DIRECTION dir = PINDIR_INPUT;
  QString achName;
};

struct FILTER_INFO {
  QString achName;
  ComPtr<IGraphBuilder> pGraph;
};

class IPin : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IPin";
  // VFW_E_NOT_CONNECTED for a free pin.
  virtual HRESULT ConnectedTo(ComPtr<IPin>& pin) = 0;
  virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE& mt) = 0;
  virtual HRESULT QueryDirection(PIN_DIRECTION& dir) = 0;
  virtual HRESULT QueryPinInfo(PIN_INFO& info) = 0;
};

// Enumerators answer S_OK with an item and S_FALSE at the end.
class IEnumPins : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IEnumPins";
  virtual HRESULT Next(ComPtr<IPin>& pin) = 0;
  virtual HRESULT Reset() = 0;
};

class IPersist : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IPersist";
  virtual HRESULT GetClassID(CLSID& clsid) = 0;
};

class IBaseFilter : public IPersist {
 public:
  static constexpr const char* IID = "IBaseFilter";
  virtual HRESULT EnumPins(ComPtr<IEnumPins>& pins) = 0;
  virtual HRESULT QueryFilterInfo(FILTER_INFO& info) = 0;
};

class IEnumFilters : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IEnumFilters";
  virtual HRESULT Next(ComPtr<IBaseFilter>& filter) = 0;
  virtual HRESULT Reset() = 0;
};

class IGraphBuilder : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IGraphBuilder";
  // Builds the whole chain for a file: every stream gets its renderer.
  virtual HRESULT RenderFile(const QString& file, const QString* playList) = 0;
  virtual HRESULT AddFilter(const ComPtr<IBaseFilter>& filter, const QString& name) = 0;
  virtual HRESULT RemoveFilter(const ComPtr<IBaseFilter>& filter) = 0;
  virtual HRESULT EnumFilters(ComPtr<IEnumFilters>& filters) = 0;
  virtual HRESULT Disconnect(const ComPtr<IPin>& pin) = 0;
};

class ICaptureGraphBuilder2 : public virtual IUnknown {
 public:
  static constexpr const char* IID = "ICaptureGraphBuilder2";
  virtual HRESULT SetFiltergraph(const ComPtr<IGraphBuilder>& graph) = 0;
  // A null sink means the default renderer for the stream.
  virtual HRESULT RenderStream(const GUID* category, const GUID* type,
                               const ComPtr<IUnknown>& source,
                               const ComPtr<IBaseFilter>& intermediate,
                               const ComPtr<IBaseFilter>& sink) = 0;
};

class IMediaControl : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IMediaControl";
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
};

class IMediaSeeking : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IMediaSeeking";
  virtual HRESULT SetTimeFormat(const GUID& format) = 0;
  virtual HRESULT GetDuration(REFERENCE_TIME& duration) = 0;
  virtual HRESULT GetCurrentPosition(REFERENCE_TIME& position) = 0;
  virtual HRESULT SetPositions(REFERENCE_TIME* current, uint32_t currentFlags,
                               REFERENCE_TIME* stop, uint32_t stopFlags) = 0;
  virtual HRESULT SetRate(double rate) = 0;
  // The rate the playing segment actually has.
  virtual HRESULT GetRate(double& rate) = 0;
};

class IMediaEventEx : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IMediaEventEx";
  // While events wait, an event of type `message` is posted to `target`.
  virtual HRESULT SetNotifyWindow(QObject* target, long message, intptr_t instance) = 0;
  // E_ABORT when no event arrives within `timeoutMs`.
  virtual HRESULT GetEvent(long& code, intptr_t& param1, intptr_t& param2, long timeoutMs) = 0;
  virtual HRESULT FreeEventParams(long code, intptr_t param1, intptr_t param2) = 0;
};

class IVideoWindow : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IVideoWindow";
  virtual HRESULT put_WindowStyle(long style) = 0;
  virtual HRESULT put_Owner(OAHWND owner) = 0;
  virtual HRESULT put_Visible(long visible) = 0;
  virtual HRESULT get_Visible(long& visible) = 0;
  // Mouse and key input over the picture goes to `drain`.
  virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
  virtual HRESULT SetWindowPosition(long left, long top, long width, long height) = 0;
};

class IBasicVideo : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IBasicVideo";
  virtual HRESULT GetVideoSize(long& width, long& height) = 0;
};

class IBasicAudio : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IBasicAudio";
  // Hundredths of a decibel, -10000 (silence) .. 0.
  virtual HRESULT get_Volume(long& volume) = 0;
  virtual HRESULT put_Volume(long volume) = 0;
  // -10000 (left) .. 10000 (right).
  virtual HRESULT get_Balance(long& balance) = 0;
  virtual HRESULT put_Balance(long balance) = 0;
};

class IMediaPosition : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IMediaPosition";
  virtual HRESULT get_CurrentPosition(double& seconds) = 0;
};

class IVideoFrameStep : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IVideoFrameStep";
  // Steps `frames` frames while paused.
  virtual HRESULT Step(uint32_t frames, const ComPtr<IUnknown>& filter) = 0;
};

class IMediaFilter : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IMediaFilter";
  // A null clock: the renderers play as fast as the data comes.
  virtual HRESULT SetSyncSource(const ComPtr<IUnknown>& clock) = 0;
};

class IGraphVersion : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IGraphVersion";
  virtual HRESULT QueryVersion(long& version) = 0;
};

// Rebuilds the open file's graph with each video decoder fed straight by the
// demuxer: no queue between them, and no parser where the demuxer already
// hands out whole pictures. A measurement of the decoder then times the
// decoder, not the hand-over between threads. Sound is left out. The graph
// ends paused at the start, as after RenderFile; S_FALSE says the file could
// not be built that way and was rendered as usual instead.
class IDirectDecoding : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IDirectDecoding";
  virtual HRESULT RenderDirect() = 0;
};

// A filter's settings sheet. "Has pages" means there is something to edit.
class ISpecifyPropertyPages : public virtual IUnknown {
 public:
  static constexpr const char* IID = "ISpecifyPropertyPages";
  virtual HRESULT GetPages(int& count) = 0;
  // Shows the modal sheet owned by `owner` with `caption`.
  virtual HRESULT ShowPropertyFrame(QWidget* owner, const QString& caption) = 0;
};

// The picture controls of an MPEG-4 Visual (DivX family) video decoder;
// values -128..127.
class IDivXFilterInterface : public virtual IUnknown {
 public:
  static constexpr const char* IID = "IDivXFilterInterface";
  virtual HRESULT put_Brightness(int value) = 0;
  virtual HRESULT put_Contrast(int value) = 0;
  virtual HRESULT put_Saturation(int value) = 0;
  virtual HRESULT get_Brightness(int& value) = 0;
  virtual HRESULT get_Contrast(int& value) = 0;
  virtual HRESULT get_Saturation(int& value) = 0;
};

// Told of every sample that passes a sample grabber, on the streaming
// thread that carries it: an implementation must not block, allocate or
// touch anything the UI thread uses without synchronisation.
class ISampleGrabberCB : public virtual IUnknown {
 public:
  static constexpr const char* IID = "ISampleGrabberCB";
  // `sample` is not handed out (always null): the time is all a listener gets.
  virtual HRESULT SampleCB(double sampleTime, IUnknown* sample) = 0;
  virtual HRESULT BufferCB(double sampleTime, uint8_t* buffer, long length) = 0;
};

// A pass-through filter that reports every sample. `SetCallback` takes a
// listener the caller keeps alive until it sets another one or the grabber
// leaves the graph; `which` 0 selects SampleCB, 1 BufferCB.
class ISampleGrabber : public virtual IUnknown {
 public:
  static constexpr const char* IID = "ISampleGrabber";
  virtual HRESULT SetOneShot(bool oneShot) = 0;
  virtual HRESULT SetBufferSamples(bool buffer) = 0;
  virtual HRESULT SetCallback(ISampleGrabberCB* callback, long which) = 0;
};

// The object factory (what CoCreateInstance reaches). Tests install a fake.
class TMediaPlatform {
 public:
  virtual ~TMediaPlatform() = default;
  virtual HRESULT CreateInstance(const CLSID& clsid, ComPtr<IUnknown>& out) = 0;
};

// The installed factory; the GStreamer one unless a test replaced it.
TMediaPlatform& MediaPlatform();
// Installs `platform` (nullptr restores the GStreamer one). Not owned.
void SetMediaPlatform(TMediaPlatform* platform);

template <class T>
HRESULT CoCreateInstance(const CLSID& clsid, ComPtr<T>& out) {
  out.reset();
  ComPtr<IUnknown> u;
  HRESULT hr = MediaPlatform().CreateInstance(clsid, u);
  if (FAILED(hr)) return hr;
  out = std::dynamic_pointer_cast<T>(u);
  return out ? hr : E_NOINTERFACE;
}

// The platform's text for a result (empty when it has none). For failures
// that came from GStreamer, the message GStreamer gave.
QString AMGetErrorText(HRESULT hr);
// Makes `text` the platform text of `hr` (the latest failure's text wins).
// Services outside the media layer that explain their own failures put
// their reason here, so the result check shows it like any other.
void RecordPlatformErrorText(HRESULT hr, const QString& text);
// Drops every recorded text: the failures they explained have been reported,
// and a later failure with the same code has causes of its own.
void ForgetPlatformErrorTexts();
