#pragma once
// Filters and pins over GStreamer elements and pads. A filter is one
// non-bin element of the pipeline; a pin is one of its own pads, and the
// answers about connections look through ghost pads to the real element.
#include <vector>

#include "platform/media/dshow.h"
#include "platform/media/gstref.h"

class TGstGraph;

// What an element of our own renderer chains stands for.
enum class TElementRole { None = 0, VideoRenderer, AudioRenderer, OverlayMixer, VideoBalance };
void SetElementRole(GstElement* element, TElementRole role);
TElementRole ElementRole(GstElement* element);

// The class a filter reports: ours for the renderers, a stable one derived
// from the element's factory otherwise.
CLSID ElementClassID(GstElement* element);

// Media type of a set of caps, as a pin reports it.
AM_MEDIA_TYPE MediaTypeFromCaps(const GstCaps* caps);

// The real pad at the far end of `pad`'s link, through any ghost pads.
TGstRef<GstPad> RealPeer(GstPad* pad);

// The leaf elements of `bin` (bins looked into, our renderers kept whole) in
// the order they were added.
std::vector<TGstRef<GstElement>> LeafElements(GstBin* bin);

class TGstFilter : public IBaseFilter,
                   public ISpecifyPropertyPages,
                   public IDivXFilterInterface,
                   public std::enable_shared_from_this<TGstFilter> {
 public:
  TGstFilter(TGstRef<GstElement> element, std::weak_ptr<TGstGraph> graph);
  // Wraps an element for callers (nullptr stays nullptr).
  static ComPtr<IBaseFilter> Wrap(GstElement* element, std::weak_ptr<TGstGraph> graph);
  GstElement* Element() const { return element_.get(); }
  std::weak_ptr<TGstGraph> Graph() const { return graph_; }
  void SetGraph(std::weak_ptr<TGstGraph> graph) { graph_ = std::move(graph); }

  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;
  HRESULT GetClassID(CLSID& clsid) override;
  HRESULT EnumPins(ComPtr<IEnumPins>& pins) override;
  HRESULT QueryFilterInfo(FILTER_INFO& info) override;

  HRESULT GetPages(int& count) override;
  HRESULT ShowPropertyFrame(QWidget* owner, const QString& caption) override;

  HRESULT put_Brightness(int value) override;
  HRESULT put_Contrast(int value) override;
  HRESULT put_Saturation(int value) override;
  HRESULT get_Brightness(int& value) override;
  HRESULT get_Contrast(int& value) override;
  HRESULT get_Saturation(int& value) override;

  // Renamed when added to a graph under a name of the caller's choice.
  QString Name;

 private:
  bool IsDivXDecoder() const;
  GstElement* Balance() const;
  HRESULT PutPicture(const char* property, int value);
  HRESULT GetPicture(const char* property, int& value);
  TGstRef<GstElement> element_;
  std::weak_ptr<TGstGraph> graph_;
};

class TGstPin : public IPin {
 public:
  TGstPin(TGstRef<GstPad> pad, std::weak_ptr<TGstGraph> graph);
  static ComPtr<IPin> Wrap(GstPad* pad, std::weak_ptr<TGstGraph> graph);
  GstPad* Pad() const { return pad_.get(); }

  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override;
  HRESULT ConnectedTo(ComPtr<IPin>& pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE& mt) override;
  HRESULT QueryDirection(PIN_DIRECTION& dir) override;
  HRESULT QueryPinInfo(PIN_INFO& info) override;

 private:
  TGstRef<GstPad> pad_;
  std::weak_ptr<TGstGraph> graph_;
};

// Enumerators over a snapshot taken when they were made.
template <class Enum, class Item>
class TSnapshotEnum : public Enum {
 public:
  explicit TSnapshotEnum(std::vector<ComPtr<Item>> items) : items_(std::move(items)) {}
  HRESULT QueryInterface(const char* iid, ComPtr<IUnknown>& out) override {
    (void)iid;
    out.reset();
    return E_NOINTERFACE;
  }
  HRESULT Next(ComPtr<Item>& item) override {
    if (next_ >= items_.size()) {
      item.reset();
      return S_FALSE;
    }
    item = items_[next_++];
    return S_OK;
  }
  HRESULT Reset() override {
    next_ = 0;
    return S_OK;
  }

 protected:
  std::vector<ComPtr<Item>> items_;
  size_t next_ = 0;
};
using TGstEnumPins = TSnapshotEnum<IEnumPins, IPin>;
