// The engine's look into the current graph: names and classes of filters,
// pins, decoders and renderers, the chain behind a filter, property sheets,
// frame stepping and the decoder's picture controls.
#include <QByteArray>
#include <algorithm>

#include "media/DShowHlp.h"
#include "platform/system/msgbox.h"

namespace {

bool IsUncompressedVideo(const GUID& subtype) {
  static const GUID list[] = {
      FourCCSubtype(MakeFourCC('Y', 'V', 'U', '9')), FourCCSubtype(MakeFourCC('C', 'L', 'P', 'L')),
      FourCCSubtype(MakeFourCC('Y', 'U', 'Y', 'V')), FourCCSubtype(MakeFourCC('I', 'Y', 'U', 'V')),
      FourCCSubtype(MakeFourCC('Y', 'V', '1', '2')), FourCCSubtype(MakeFourCC('Y', '4', '1', '1')),
      FourCCSubtype(MakeFourCC('Y', '4', '1', 'P')), FourCCSubtype(MakeFourCC('Y', 'U', 'Y', '2')),
      FourCCSubtype(MakeFourCC('Y', 'V', 'Y', 'U')), FourCCSubtype(MakeFourCC('U', 'Y', 'V', 'Y')),
      FourCCSubtype(MakeFourCC('Y', '2', '1', '1')), FourCCSubtype(MakeFourCC('C', 'L', 'J', 'R')),
      FourCCSubtype(MakeFourCC('I', 'F', '0', '9')), MEDIASUBTYPE_RGB1, MEDIASUBTYPE_RGB4,
      MEDIASUBTYPE_RGB8, MEDIASUBTYPE_RGB565, MEDIASUBTYPE_RGB555, MEDIASUBTYPE_RGB24,
      MEDIASUBTYPE_RGB32, MEDIASUBTYPE_ARGB32, MEDIASUBTYPE_Overlay};
  return std::find(std::begin(list), std::end(list), subtype) != std::end(list);
}

}  // namespace

QString TDirectShowHelper::GetFilterName(const ComPtr<IBaseFilter>& Filter) {
  FILTER_INFO info;
  Check(CallIfPresent(Filter, [&](IBaseFilter& f) { return f.QueryFilterInfo(info); }),
        QStringLiteral("Filter.QueryInfo"));
  info.pGraph.reset();
  // The name comes back in a 256-byte buffer of the local encoding.
  QString name = info.achName;
  while (name.toLocal8Bit().size() > 255) name.chop(1);
  return name;
}

CLSID TDirectShowHelper::GetFilterClassID(const ComPtr<IUnknown>& Object) {
  ComPtr<IPersist> persist;
  Check(QueryInterface(Object, persist), QStringLiteral("Obj.QueryInterface(IID_IPersist)"));
  CLSID clsid;
  Check(CallIfPresent(persist, [&](IPersist& p) { return p.GetClassID(clsid); }), QStringLiteral("P.GetClassID"));
  return clsid;
}

ComPtr<IPin> TDirectShowHelper::FindPin(const ComPtr<IBaseFilter>& Filter, PIN_DIRECTION Direction) {
  ComPtr<IEnumPins> pins;
  Check(CallIfPresent(Filter, [&](IBaseFilter& f) { return f.EnumPins(pins); }), QStringLiteral("Filter.EnumPins"));
  Check(CallIfPresent(pins, [](IEnumPins& e) { return e.Reset(); }), QStringLiteral("Pins.Reset"));
  if (!pins) return nullptr;
  ComPtr<IPin> pin;
  while (pins->Next(pin) == S_OK) {
    PIN_DIRECTION d = PINDIR_INPUT;
    const HRESULT hr = pin->QueryDirection(d);
    Check(hr, QStringLiteral("Pin.QueryDirection"));
    if (SUCCEEDED(hr) && d == Direction) return pin;
  }
  return nullptr;
}

int TDirectShowHelper::ClassifyVideoPin(const ComPtr<IPin>& Pin) {
  if (!Pin) return 0;
  AM_MEDIA_TYPE mt;
  if (FAILED(Pin->ConnectionMediaType(mt))) return 0;
  if (mt.majortype != MEDIATYPE_Video) return 0;
  return IsUncompressedVideo(mt.subtype) ? 2 : 1;
}

void TDirectShowHelper::ForEachFilter(const std::function<void(const ComPtr<IBaseFilter>&)>& visit) {
  if (!Graph) return;
  ComPtr<IEnumFilters> filters;
  Check(Graph->EnumFilters(filters), QStringLiteral("Graph.EnumFilters"));
  if (!filters) return;
  ComPtr<IBaseFilter> f;
  while (filters->Next(f) == S_OK) visit(f);
}

ComPtr<IBaseFilter> TDirectShowHelper::FindVideoDecoder() {
  ComPtr<IBaseFilter> found;
  ForEachFilter([&](const ComPtr<IBaseFilter>& f) {
    if (ClassifyVideoPin(FindPin(f, PINDIR_INPUT)) == 1 && ClassifyVideoPin(FindPin(f, PINDIR_OUTPUT)) == 2)
      found = f;
  });
  return found;
}

ComPtr<IBaseFilter> TDirectShowHelper::FindAudioDecoder() {
  ComPtr<IBaseFilter> found;
  ForEachFilter([&](const ComPtr<IBaseFilter>& f) {
    ComPtr<IPin> out = FindPin(f, PINDIR_OUTPUT);
    AM_MEDIA_TYPE mt;
    if (out && SUCCEEDED(out->ConnectionMediaType(mt)) && mt.formattype == FORMAT_WaveFormatEx &&
        mt.subtype == MEDIASUBTYPE_PCM)
      found = f;
  });
  return found;
}

ComPtr<IBaseFilter> TDirectShowHelper::FindVideoRenderer() {
  ComPtr<IBaseFilter> found;
  ForEachFilter([&](const ComPtr<IBaseFilter>& f) {
    if (GetFilterClassID(f) == CLSID_VideoRenderer) found = f;
  });
  return found;
}

ComPtr<IBaseFilter> TDirectShowHelper::FindAudioRenderer(int Index) {
  ComPtr<IBaseFilter> found;
  int n = 0;
  ForEachFilter([&](const ComPtr<IBaseFilter>& f) {
    if (found || GetFilterClassID(f) != CLSID_DSoundRender) return;
    if (n++ == Index) found = f;
  });
  return found;
}

int TDirectShowHelper::CountAudioRenderers() {
  int n = 0;
  ForEachFilter([&](const ComPtr<IBaseFilter>& f) {
    if (GetFilterClassID(f) == CLSID_DSoundRender) ++n;
  });
  return n;
}

ComPtr<IBaseFilter> TDirectShowHelper::GetDownstreamFilter(const ComPtr<IBaseFilter>& Filter) {
  ComPtr<IPin> out = FindPin(Filter, PINDIR_OUTPUT);
  if (!out) return nullptr;
  ComPtr<IPin> partner;
  Check(out->ConnectedTo(partner), QStringLiteral("Pin.ConnectedTo(CPin)"));
  PIN_INFO info;
  Check(CallIfPresent(partner, [&](IPin& p) { return p.QueryPinInfo(info); }), QStringLiteral("PInfo.QueryPinInfo"));
  return info.pFilter;
}

void TDirectShowHelper::RemoveDownstream(const ComPtr<IBaseFilter>& Filter) {
  if (!Filter) return;
  RemoveDownstream(GetDownstreamFilter(Filter));
  Check(CallIfPresent(Graph, [&](IGraphBuilder& g) { return g.RemoveFilter(Filter); }),
        QStringLiteral("Graph.RemoveFilter"));
}

bool TDirectShowHelper::HasPropertyPages(const ComPtr<IBaseFilter>& Filter) {
  if (!Filter) return false;
  ComPtr<ISpecifyPropertyPages> specify;
  if (FAILED(QueryInterface(Filter, specify))) return false;
  int count = 0;
  if (FAILED(specify->GetPages(count))) return false;
  return count > 0;
}

void TDirectShowHelper::ShowFilterProperties(const ComPtr<IBaseFilter>& Filter) {
  if (!Filter) return;
  ComPtr<ISpecifyPropertyPages> specify;
  const HRESULT hr = QueryInterface(Filter, specify);
  if (hr == E_NOINTERFACE) {
    MessageBoxes().Show(QStringLiteral("Kelvara"), Texts().sNoProperties, TMsgIcon::Warning, TMsgButtons::Ok,
                        MainWindow.data());
    return;
  }
  Check(hr, QStringLiteral("Filter.QueryInterface(IID_ISpecifyPropertyPages)"));
  int count = 0;
  Check(CallIfPresent(specify, [&](ISpecifyPropertyPages& s) { return s.GetPages(count); }),
        QStringLiteral("Specify.GetPages"));
  Check(CallIfPresent(specify,
             [this](ISpecifyPropertyPages& s) {
               return s.ShowPropertyFrame(MainWindow.data(), QStringLiteral("Kelvara stream"));
             }),
        QStringLiteral("OleCreatePropertyFrame"));
}

void TDirectShowHelper::FrameStep(int Frames) {
  ComPtr<IVideoFrameStep> step;
  Check(QueryInterface(Graph, step), QStringLiteral("Graph.QueryInterface(IID_IVideoFrameStep)"));
  Check(CallIfPresent(step, [Frames](IVideoFrameStep& s) { return s.Step(uint32_t(Frames), nullptr); }),
        QStringLiteral("VFS.Step"));
}

void TDirectShowHelper::AdjustDivXPicture(int Brightness, int Contrast, int Saturation) {
  if (!Graph) return;
  ComPtr<IBaseFilter> decoder = FindVideoDecoder();
  if (!decoder) return;
  ComPtr<IDivXFilterInterface> divx;
  if (FAILED(QueryInterface(decoder, divx))) {
    Info(QStringLiteral("No DivX interface found."));
    return;
  }
  struct TControl {
    int delta;
    HRESULT (IDivXFilterInterface::*get)(int&);
    HRESULT (IDivXFilterInterface::*put)(int);
    const char* getLabel;
    const char* putLabel;
    const QString* name;
  };
  const TControl controls[] = {
      {Brightness, &IDivXFilterInterface::get_Brightness, &IDivXFilterInterface::put_Brightness,
       "DivX.GetBrightness", "DivX.PutBrightness", &Texts().sBrightness},
      {Contrast, &IDivXFilterInterface::get_Contrast, &IDivXFilterInterface::put_Contrast,
       "DivX.GetContrast", "DivX.PutContrast", &Texts().sContrast},
      {Saturation, &IDivXFilterInterface::get_Saturation, &IDivXFilterInterface::put_Saturation,
       "DivX.GetSaturation", "DivX.PutSaturation", &Texts().sSaturation},
  };
  for (const TControl& c : controls) {
    if (c.delta == 0) continue;
    int value = 0;
    Check(((*divx).*c.get)(value), QString::fromLatin1(c.getLabel));
    value = std::clamp(value + c.delta, -128, 127);
    Check(((*divx).*c.put)(value), QString::fromLatin1(c.putLabel));
    Info(QStringLiteral("%1: %2").arg(*c.name).arg(value));
  }
}
