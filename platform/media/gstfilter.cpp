#include "platform/media/gstfilter.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <gst/video/video.h>

#include "platform/media/gstgraph.h"
#include "platform/media/gsterror.h"
#include "platform/media/gstgrabber.h"

namespace {

const char* const kRoleKey = "kelvara-role";

void PutLE(QByteArray& b, int offset, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

int CapsInt(const GstStructure* s, const char* field, int fallback = 0) {
  int v = fallback;
  if (!gst_structure_get_int(s, field, &v)) v = fallback;
  return v;
}

// The four-character code a compressed video format goes by.
uint32_t VideoFourCC(const GstStructure* s) {
  const char* name = gst_structure_get_name(s);
  const auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
  if (is("video/x-divx")) {
    switch (CapsInt(s, "divxversion")) {
      case 3: return MakeFourCC('D', 'I', 'V', '3');
      case 5: return MakeFourCC('D', 'X', '5', '0');
      default: return MakeFourCC('D', 'I', 'V', 'X');
    }
  }
  if (is("video/x-xvid")) return MakeFourCC('X', 'V', 'I', 'D');
  if (is("video/mpeg")) {
    switch (CapsInt(s, "mpegversion")) {
      case 1: return MakeFourCC('M', 'P', 'G', '1');
      case 2: return MakeFourCC('M', 'P', 'G', '2');
      default: return MakeFourCC('M', 'P', '4', 'V');
    }
  }
  if (is("image/jpeg")) return MakeFourCC('M', 'J', 'P', 'G');
  if (is("video/x-h264")) return MakeFourCC('H', '2', '6', '4');
  if (is("video/x-h265")) return MakeFourCC('H', 'E', 'V', 'C');
  if (is("video/x-h263")) return MakeFourCC('H', '2', '6', '3');
  if (is("video/x-msmpeg")) return MakeFourCC('M', 'P', '4', '3');
  if (is("video/x-wmv")) {
    switch (CapsInt(s, "wmvversion")) {
      case 1: return MakeFourCC('W', 'M', 'V', '1');
      case 2: return MakeFourCC('W', 'M', 'V', '2');
      default: return MakeFourCC('W', 'M', 'V', '3');
    }
  }
  if (is("video/x-vp8")) return MakeFourCC('V', 'P', '8', '0');
  if (is("video/x-vp9")) return MakeFourCC('V', 'P', '9', '0');
  if (is("video/x-theora")) return MakeFourCC('T', 'H', 'E', 'O');
  if (is("video/x-cinepak")) return MakeFourCC('c', 'v', 'i', 'd');
  if (is("video/x-dv")) return MakeFourCC('d', 'v', 's', 'd');
  return MakeFourCC('v', 'i', 'd', 's');
}

// Raw pictures: the uncompressed subtype and bit depth of a raw format.
GUID RawVideoSubtype(const GstStructure* s, int& bits) {
  const char* format = gst_structure_get_string(s, "format");
  const GstVideoFormat f = format ? gst_video_format_from_string(format) : GST_VIDEO_FORMAT_UNKNOWN;
  switch (f) {
    case GST_VIDEO_FORMAT_I420: bits = 12; return FourCCSubtype(MakeFourCC('I', 'Y', 'U', 'V'));
    case GST_VIDEO_FORMAT_YV12: bits = 12; return FourCCSubtype(MakeFourCC('Y', 'V', '1', '2'));
    case GST_VIDEO_FORMAT_YUY2: bits = 16; return FourCCSubtype(MakeFourCC('Y', 'U', 'Y', '2'));
    case GST_VIDEO_FORMAT_UYVY: bits = 16; return FourCCSubtype(MakeFourCC('U', 'Y', 'V', 'Y'));
    case GST_VIDEO_FORMAT_YVYU: bits = 16; return FourCCSubtype(MakeFourCC('Y', 'V', 'Y', 'U'));
    case GST_VIDEO_FORMAT_YUV9: bits = 9; return FourCCSubtype(MakeFourCC('Y', 'U', 'V', '9'));
    case GST_VIDEO_FORMAT_YVU9: bits = 9; return FourCCSubtype(MakeFourCC('Y', 'V', 'U', '9'));
    case GST_VIDEO_FORMAT_Y41B: bits = 12; return FourCCSubtype(MakeFourCC('Y', '4', '1', 'P'));
    case GST_VIDEO_FORMAT_RGB:
    case GST_VIDEO_FORMAT_BGR: bits = 24; return MEDIASUBTYPE_RGB24;
    case GST_VIDEO_FORMAT_RGB16:
    case GST_VIDEO_FORMAT_BGR16: bits = 16; return MEDIASUBTYPE_RGB565;
    case GST_VIDEO_FORMAT_RGB15:
    case GST_VIDEO_FORMAT_BGR15: bits = 16; return MEDIASUBTYPE_RGB555;
    case GST_VIDEO_FORMAT_RGB8P: bits = 8; return MEDIASUBTYPE_RGB8;
    case GST_VIDEO_FORMAT_BGRA:
    case GST_VIDEO_FORMAT_RGBA:
    case GST_VIDEO_FORMAT_ARGB:
    case GST_VIDEO_FORMAT_ABGR: bits = 32; return MEDIASUBTYPE_ARGB32;
    default: break;
  }
  // Formats with no counterpart in the list still are raw pictures: name them
  // by the nearest listed subtype so that a decoder producing them is found.
  const GstVideoFormatInfo* info = gst_video_format_get_info(f);
  if (info && GST_VIDEO_FORMAT_INFO_IS_RGB(info)) {
    bits = 32;
    return MEDIASUBTYPE_RGB32;
  }
  bits = 12;
  return FourCCSubtype(MakeFourCC('Y', 'V', '1', '2'));
}

QByteArray VideoInfoHeader(int width, int height, int bits, uint32_t compression,
                           int fpsN, int fpsD) {
  QByteArray b(88, '\0');
  PutLE(b, 8, uint32_t(width), 4);    // rcSource.right
  PutLE(b, 12, uint32_t(height), 4);  // rcSource.bottom
  PutLE(b, 24, uint32_t(width), 4);
  PutLE(b, 28, uint32_t(height), 4);
  const uint64_t frameTime = fpsN > 0 ? uint64_t(10000000) * uint64_t(fpsD) / uint64_t(fpsN) : 0;
  PutLE(b, 40, uint32_t(frameTime), 4);
  PutLE(b, 44, uint32_t(frameTime >> 32), 4);
  PutLE(b, 48, 40, 4);  // biSize
  PutLE(b, 52, uint32_t(width), 4);
  PutLE(b, 56, uint32_t(height), 4);
  PutLE(b, 60, 1, 2);
  PutLE(b, 62, uint32_t(bits), 2);
  PutLE(b, 64, compression, 4);
  PutLE(b, 68, uint32_t(width * height * bits / 8), 4);
  return b;
}

QByteArray WaveFormatEx(uint16_t tag, int channels, int rate, int bits, int avgBytes) {
  QByteArray b(18, '\0');
  PutLE(b, 0, tag, 2);
  PutLE(b, 2, uint32_t(channels), 2);
  PutLE(b, 4, uint32_t(rate), 4);
  PutLE(b, 8, uint32_t(avgBytes), 4);
  PutLE(b, 12, uint32_t(std::max(1, channels * bits / 8)), 2);
  PutLE(b, 14, uint32_t(bits), 2);
  return b;
}

uint16_t AudioFormatTag(const GstStructure* s) {
  const char* name = gst_structure_get_name(s);
  if (std::strcmp(name, "audio/mpeg") == 0) {
    if (CapsInt(s, "mpegversion", 1) != 1) return 0xFF;
    return CapsInt(s, "layer", 3) == 3 ? 0x55 : 0x50;
  }
  if (std::strcmp(name, "audio/x-ac3") == 0) return 0x2000;
  if (std::strcmp(name, "audio/x-wma") == 0) return 0x161;
  if (std::strcmp(name, "audio/x-adpcm") == 0) return 0x11;
  if (std::strcmp(name, "audio/x-alaw") == 0) return 0x06;
  if (std::strcmp(name, "audio/x-mulaw") == 0) return 0x07;
  return 0;
}

bool HasRole(GstElement* e) { return ElementRole(e) != TElementRole::None; }

bool HasSheet(GstElement* e);

void CollectLeaves(GstBin* bin, std::vector<TGstRef<GstElement>>& out) {
  std::vector<TGstRef<GstElement>> children;
  GST_OBJECT_LOCK(bin);
  for (GList* l = bin->children; l; l = l->next)
    children.push_back(TGstRef<GstElement>::Share(GST_ELEMENT(l->data)));
  GST_OBJECT_UNLOCK(bin);
  // The list holds the newest child first.
  std::reverse(children.begin(), children.end());
  for (auto& child : children) {
    GstElement* e = child.get();
    if (IsRetired(e)) continue;  // gone from the graph, though its bin still holds it
    const bool sinkBin = GST_IS_BIN(e) && GST_OBJECT_FLAG_IS_SET(e, GST_ELEMENT_FLAG_SINK);
    if (GST_IS_BIN(e) && !HasRole(e) && !sinkBin && GST_BIN(e)->numchildren > 0)
      CollectLeaves(GST_BIN(e), out);
    else
      out.push_back(std::move(child));
  }
}

}  // namespace

GUID FourCCSubtype(uint32_t fourcc) {
  return QUuid(fourcc, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
}

void SetElementRole(GstElement* element, TElementRole role) {
  g_object_set_data(G_OBJECT(element), kRoleKey, GINT_TO_POINTER(int(role)));
}

TElementRole ElementRole(GstElement* element) {
  return TElementRole(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(element), kRoleKey)));
}

CLSID ElementClassID(GstElement* element) {
  switch (ElementRole(element)) {
    case TElementRole::VideoRenderer: return CLSID_VideoRenderer;
    case TElementRole::AudioRenderer: return CLSID_DSoundRender;
    case TElementRole::OverlayMixer: return CLSID_OverlayMixer;
    default: break;
  }
  GstElementFactory* factory = gst_element_get_factory(element);
  const char* name = factory ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory))
                             : G_OBJECT_TYPE_NAME(element);
  static const QUuid ns("{5B0D5C8E-2F4A-4D43-9E0B-6B656C766172}");
  return QUuid::createUuidV5(ns, QString::fromUtf8(name));
}

AM_MEDIA_TYPE MediaTypeFromCaps(const GstCaps* caps) {
  AM_MEDIA_TYPE mt;
  mt.majortype = MEDIATYPE_Stream;
  mt.formattype = FORMAT_None;
  if (!caps || gst_caps_get_size(caps) == 0) return mt;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  const char* name = gst_structure_get_name(s);
  const int width = CapsInt(s, "width"), height = CapsInt(s, "height");
  int fpsN = 0, fpsD = 1;
  gst_structure_get_fraction(s, "framerate", &fpsN, &fpsD);
  if (std::strcmp(name, "video/x-raw") == 0) {
    int bits = 0;
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = RawVideoSubtype(s, bits);
    mt.formattype = FORMAT_VideoInfo;
    const uint32_t compression = mt.subtype.data1 < 0x20 || mt.subtype.data2 != 0 ? 0 : mt.subtype.data1;
    mt.format = VideoInfoHeader(width, height, bits, compression, fpsN, fpsD);
  } else if (g_str_has_prefix(name, "video/") || std::strcmp(name, "image/jpeg") == 0) {
    const uint32_t fourcc = VideoFourCC(s);
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = FourCCSubtype(fourcc);
    mt.formattype = FORMAT_VideoInfo;
    mt.format = VideoInfoHeader(width, height, 24, fourcc, fpsN, fpsD);
  } else if (std::strcmp(name, "audio/x-raw") == 0) {
    // Every raw sample format counts as PCM, as a decoder's output does.
    {
      const int channels = CapsInt(s, "channels", 2), rate = CapsInt(s, "rate", 44100);
      const char* format = gst_structure_get_string(s, "format");
      int bits = 16;
      if (format) {
        const int digits = std::atoi(format + std::strcspn(format, "0123456789"));
        if (digits > 0) bits = digits;
      }
      mt.majortype = MEDIATYPE_Audio;
      mt.subtype = MEDIASUBTYPE_PCM;
      mt.formattype = FORMAT_WaveFormatEx;
      mt.format = WaveFormatEx(1, channels, rate, bits, rate * channels * bits / 8);
    }
  } else if (g_str_has_prefix(name, "audio/")) {
    const uint16_t tag = AudioFormatTag(s);
    const int channels = CapsInt(s, "channels", 2), rate = CapsInt(s, "rate", 44100);
    const int bitrate = CapsInt(s, "bitrate");
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = FourCCSubtype(tag);
    mt.formattype = FORMAT_WaveFormatEx;
    mt.format = WaveFormatEx(tag, channels, rate, 0, bitrate / 8);
  } else if (g_str_has_prefix(name, "text/") || g_str_has_prefix(name, "subpicture/") ||
             g_str_has_prefix(name, "application/x-ssa") ||
             g_str_has_prefix(name, "application/x-ass")) {
    mt.majortype = MEDIATYPE_Text;
  }
  return mt;
}

TGstRef<GstPad> RealPeer(GstPad* pad) {
  TGstRef<GstPad> p = TGstRef<GstPad>::Adopt(gst_pad_get_peer(pad));
  while (p) {
    if (GST_IS_GHOST_PAD(p.get())) {
      // Entering a bin: our renderer chains count as one filter.
      TGstRef<GstObject> parent = TGstRef<GstObject>::Adopt(gst_pad_get_parent(p.get()));
      if (parent && GST_IS_ELEMENT(parent.get()) && HasRole(GST_ELEMENT(parent.get()))) return p;
      p = TGstRef<GstPad>::Adopt(gst_ghost_pad_get_target(GST_GHOST_PAD(p.get())));
    } else if (GST_IS_PROXY_PAD(p.get())) {
      // Leaving a bin through the inside of its ghost pad.
      TGstRef<GstProxyPad> ghost = TGstRef<GstProxyPad>::Adopt(gst_proxy_pad_get_internal(GST_PROXY_PAD(p.get())));
      if (!ghost) return {};
      p = TGstRef<GstPad>::Adopt(gst_pad_get_peer(GST_PAD(ghost.get())));
    } else {
      return p;
    }
  }
  return p;
}

std::vector<TGstRef<GstElement>> LeafElements(GstBin* bin) {
  std::vector<TGstRef<GstElement>> out;
  if (bin) CollectLeaves(bin, out);
  return out;
}

// ---- TGstFilter ----

TGstFilter::TGstFilter(TGstRef<GstElement> element, std::weak_ptr<TGstGraph> graph)
    : element_(std::move(element)), graph_(std::move(graph)) {
  TGString name(gst_object_get_name(GST_OBJECT(element_.get())));
  Name = QString::fromUtf8(name.get());
}

ComPtr<IBaseFilter> TGstFilter::Wrap(GstElement* element, std::weak_ptr<TGstGraph> graph) {
  if (!element) return nullptr;
  return std::make_shared<TGstFilter>(TGstRef<GstElement>::Share(element), std::move(graph));
}

HRESULT TGstFilter::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  out.reset();
  const auto is = [iid](const char* n) { return std::strcmp(iid, n) == 0; };
  if (is(IBaseFilter::IID) || is(IPersist::IID)) {
    out = std::static_pointer_cast<IBaseFilter>(shared_from_this());
  } else if (is(ISpecifyPropertyPages::IID)) {
    // Only an element with something to edit has a sheet.
    if (HasSheet(element_.get())) out = std::static_pointer_cast<ISpecifyPropertyPages>(shared_from_this());
  } else if (is(IBasicAudio::IID)) {
    out = RendererAudio(element_.get());
  } else if (is(IDivXFilterInterface::IID) && IsDivXDecoder() && Balance()) {
    out = std::static_pointer_cast<IDivXFilterInterface>(shared_from_this());
  }
  return out ? S_OK : E_NOINTERFACE;
}

HRESULT TGstFilter::GetClassID(CLSID& clsid) {
  clsid = ElementClassID(element_.get());
  return S_OK;
}

HRESULT TGstFilter::EnumPins(ComPtr<IEnumPins>& pins) {
  std::vector<ComPtr<IPin>> items;
  GstElement* e = element_.get();
  GST_OBJECT_LOCK(e);
  std::vector<TGstRef<GstPad>> pads;
  for (GList* l = e->pads; l; l = l->next) pads.push_back(TGstRef<GstPad>::Share(GST_PAD(l->data)));
  GST_OBJECT_UNLOCK(e);
  for (auto& pad : pads) items.push_back(std::make_shared<TGstPin>(pad, graph_));
  pins = std::make_shared<TGstEnumPins>(std::move(items));
  return S_OK;
}

HRESULT TGstFilter::QueryFilterInfo(FILTER_INFO& info) {
  info.achName = Name;
  info.pGraph.reset();
  if (auto g = graph_.lock(); g && g->Contains(element_.get()))
    info.pGraph = std::static_pointer_cast<IGraphBuilder>(g);
  return S_OK;
}

// The sheet edits the element itself, or the sink of one of our renderer chains.
static GstElement* SheetTarget(GstElement* e, TGstRef<GstElement>& hold) {
  if (GST_IS_BIN(e) && ElementRole(e) != TElementRole::None) {
    auto leaves = LeafElements(GST_BIN(e));
    if (!leaves.empty()) {
      hold = leaves.back();
      return hold.get();
    }
  }
  return e;
}

static std::vector<GParamSpec*> EditableProperties(GstElement* e) {
  guint n = 0;
  GParamSpec** specs = g_object_class_list_properties(G_OBJECT_GET_CLASS(e), &n);
  std::vector<GParamSpec*> out;
  for (guint i = 0; i < n; ++i) {
    GParamSpec* p = specs[i];
    if (!(p->flags & G_PARAM_WRITABLE) || (p->flags & G_PARAM_CONSTRUCT_ONLY)) continue;
    if (std::strcmp(p->name, "name") == 0 || std::strcmp(p->name, "parent") == 0) continue;
    const GType t = G_PARAM_SPEC_VALUE_TYPE(p);
    if (t == G_TYPE_BOOLEAN || t == G_TYPE_INT || t == G_TYPE_UINT || t == G_TYPE_INT64 ||
        t == G_TYPE_UINT64 || t == G_TYPE_DOUBLE || t == G_TYPE_FLOAT || t == G_TYPE_STRING ||
        G_TYPE_IS_ENUM(t))
      out.push_back(p);
  }
  g_free(specs);
  return out;
}

namespace {
bool HasSheet(GstElement* e) {
  TGstRef<GstElement> hold;
  return !EditableProperties(SheetTarget(e, hold)).empty();
}
}  // namespace

HRESULT TGstFilter::GetPages(int& count) {
  TGstRef<GstElement> hold;
  count = int(EditableProperties(SheetTarget(element_.get(), hold)).empty() ? 0 : 1);
  return S_OK;
}

HRESULT TGstFilter::ShowPropertyFrame(QWidget* owner, const QString& caption) {
  TGstRef<GstElement> hold;
  GstElement* target = SheetTarget(element_.get(), hold);
  const auto props = EditableProperties(target);
  QDialog sheet(owner);
  sheet.setWindowTitle(caption);
  sheet.move(0, 0);
  auto* layout = new QVBoxLayout(&sheet);
  auto* area = new QScrollArea(&sheet);
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  // Each row remembers what it showed, so that OK writes back only what the
  // user changed: a value written back unchanged is not always a no-op (an
  // unset text would become an empty one).
  struct Row {
    GParamSpec* param;
    QWidget* editor;
    QString shown;
  };
  std::vector<Row> rows;
  for (GParamSpec* p : props) {
    GValue v = G_VALUE_INIT;
    g_value_init(&v, G_PARAM_SPEC_VALUE_TYPE(p));
    g_object_get_property(G_OBJECT(target), p->name, &v);
    QWidget* editor;
    QString shown;
    if (G_VALUE_TYPE(&v) == G_TYPE_BOOLEAN) {
      auto* c = new QCheckBox;
      c->setChecked(g_value_get_boolean(&v));
      shown = QString::number(c->isChecked());
      editor = c;
    } else if (G_TYPE_IS_ENUM(G_VALUE_TYPE(&v))) {
      // A choice offers its values by their descriptions.
      auto* c = new QComboBox;
      const GEnumClass* e = G_PARAM_SPEC_ENUM(p)->enum_class;
      for (guint i = 0; i < e->n_values; ++i)
        c->addItem(QString::fromUtf8(e->values[i].value_name), e->values[i].value);
      c->setCurrentIndex(c->findData(g_value_get_enum(&v)));
      shown = QString::number(c->currentIndex());
      editor = c;
    } else {
      TGString text(g_strdup_value_contents(&v));
      QString t = QString::fromUtf8(text.get());
      if (G_VALUE_TYPE(&v) == G_TYPE_STRING && t.size() >= 2 && t.startsWith('"')) t = t.mid(1, t.size() - 2);
      if (G_VALUE_TYPE(&v) == G_TYPE_STRING && t == QLatin1String("NULL")) t.clear();
      editor = new QLineEdit(t);
      shown = t;
    }
    g_value_unset(&v);
    editor->setObjectName(QString::fromUtf8(p->name));
    editor->setToolTip(QString::fromUtf8(g_param_spec_get_blurb(p)));
    form->addRow(QString::fromUtf8(p->name), editor);
    rows.push_back({p, editor, shown});
  }
  area->setWidget(page);
  area->setWidgetResizable(true);
  layout->addWidget(area);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &sheet);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &sheet, &QDialog::reject);
  layout->addWidget(buttons);
  if (sheet.exec() != QDialog::Accepted) return S_OK;
  for (const Row& r : rows) {
    if (auto* c = qobject_cast<QCheckBox*>(r.editor)) {
      if (QString::number(c->isChecked()) != r.shown)
        g_object_set(G_OBJECT(target), r.param->name, gboolean(c->isChecked()), nullptr);
    } else if (auto* c = qobject_cast<QComboBox*>(r.editor)) {
      if (QString::number(c->currentIndex()) != r.shown && c->currentIndex() >= 0)
        g_object_set(G_OBJECT(target), r.param->name, c->currentData().toInt(), nullptr);
    } else if (auto* e = qobject_cast<QLineEdit*>(r.editor)) {
      if (e->text() == r.shown) continue;
      const QByteArray text = e->text().toUtf8();
      gst_util_set_object_arg(G_OBJECT(target), r.param->name, text.constData());
    }
  }
  return S_OK;
}

bool TGstFilter::IsDivXDecoder() const {
  GstElement* e = element_.get();
  GstElementFactory* f = gst_element_get_factory(e);
  if (!f || !gst_element_factory_list_is_type(f, GST_ELEMENT_FACTORY_TYPE_DECODER)) return false;
  TGstRef<GstPad> sink = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(e, "sink"));
  if (!sink) return false;
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(sink.get()));
  if (!caps || gst_caps_get_size(caps.get()) == 0) return false;
  const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
  const char* name = gst_structure_get_name(s);
  if (std::strcmp(name, "video/x-divx") == 0 || std::strcmp(name, "video/x-xvid") == 0) return true;
  return std::strcmp(name, "video/mpeg") == 0 && CapsInt(s, "mpegversion") == 4;
}

// The picture controls live in the video chain behind the decoder.
GstElement* TGstFilter::Balance() const {
  TGstRef<GstPad> src = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(element_.get(), "src"));
  if (!src) return nullptr;
  TGstRef<GstPad> peer = RealPeer(src.get());
  if (!peer) return nullptr;
  TGstRef<GstObject> parent = TGstRef<GstObject>::Adopt(gst_pad_get_parent(peer.get()));
  if (!parent || !GST_IS_BIN(parent.get())) return nullptr;
  GstBin* bin = GST_BIN(parent.get());
  GstElement* found = nullptr;
  GST_OBJECT_LOCK(bin);
  for (GList* l = bin->children; l && !found; l = l->next)
    if (ElementRole(GST_ELEMENT(l->data)) == TElementRole::VideoBalance) found = GST_ELEMENT(l->data);
  GST_OBJECT_UNLOCK(bin);
  return found;  // owned by the chain, which outlives this call
}

// -128..127 on the decoder's scale onto the balance element's ranges.
static double ToBalance(const char* property, int value) {
  const double v = std::clamp(value, -128, 127);
  if (std::strcmp(property, "brightness") == 0) return v / 128.0;  // -1..1
  return v >= 0 ? 1.0 + v / 127.0 : 1.0 + v / 128.0;               // 0..2
}

static int FromBalance(const char* property, double b) {
  double v;
  if (std::strcmp(property, "brightness") == 0)
    v = b * 128.0;
  else
    v = b >= 1.0 ? (b - 1.0) * 127.0 : (b - 1.0) * 128.0;
  return std::clamp(int(std::lround(v)), -128, 127);
}

HRESULT TGstFilter::PutPicture(const char* property, int value) {
  GstElement* b = Balance();
  if (!b) return E_NOINTERFACE;
  g_object_set(G_OBJECT(b), property, ToBalance(property, value), nullptr);
  return S_OK;
}

HRESULT TGstFilter::GetPicture(const char* property, int& value) {
  GstElement* b = Balance();
  if (!b) return E_NOINTERFACE;
  double v = 0;
  g_object_get(G_OBJECT(b), property, &v, nullptr);
  value = FromBalance(property, v);
  return S_OK;
}

HRESULT TGstFilter::put_Brightness(int value) { return PutPicture("brightness", value); }
HRESULT TGstFilter::put_Contrast(int value) { return PutPicture("contrast", value); }
HRESULT TGstFilter::put_Saturation(int value) { return PutPicture("saturation", value); }
HRESULT TGstFilter::get_Brightness(int& value) { return GetPicture("brightness", value); }
HRESULT TGstFilter::get_Contrast(int& value) { return GetPicture("contrast", value); }
HRESULT TGstFilter::get_Saturation(int& value) { return GetPicture("saturation", value); }

// ---- TGstPin ----

TGstPin::TGstPin(TGstRef<GstPad> pad, std::weak_ptr<TGstGraph> graph)
    : pad_(std::move(pad)), graph_(std::move(graph)) {}

ComPtr<IPin> TGstPin::Wrap(GstPad* pad, std::weak_ptr<TGstGraph> graph) {
  if (!pad) return nullptr;
  return std::make_shared<TGstPin>(TGstRef<GstPad>::Share(pad), std::move(graph));
}

HRESULT TGstPin::QueryInterface(const char* iid, ComPtr<IUnknown>& out) {
  out.reset();
  if (std::strcmp(iid, IPin::IID) != 0) return E_NOINTERFACE;
  out = std::make_shared<TGstPin>(pad_, graph_);
  return S_OK;
}

HRESULT TGstPin::ConnectedTo(ComPtr<IPin>& pin) {
  TGstRef<GstPad> peer = RealPeer(pad_.get());
  pin = peer ? Wrap(peer.get(), graph_) : nullptr;
  return pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT TGstPin::ConnectionMediaType(AM_MEDIA_TYPE& mt) {
  if (!gst_pad_is_linked(pad_.get())) return VFW_E_NOT_CONNECTED;
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(pad_.get()));
  if (!caps) return VFW_E_NOT_CONNECTED;
  mt = MediaTypeFromCaps(caps.get());
  return S_OK;
}

HRESULT TGstPin::QueryDirection(PIN_DIRECTION& dir) {
  dir = GST_PAD_DIRECTION(pad_.get()) == GST_PAD_SRC ? PINDIR_OUTPUT : PINDIR_INPUT;
  return S_OK;
}

HRESULT TGstPin::QueryPinInfo(PIN_INFO& info) {
  QueryDirection(info.dir);
  TGString name(gst_pad_get_name(pad_.get()));
  info.achName = QString::fromUtf8(name.get());
  TGstRef<GstElement> parent = TGstRef<GstElement>::Adopt(gst_pad_get_parent_element(pad_.get()));
  info.pFilter = TGstFilter::Wrap(parent.get(), graph_);
  return S_OK;
}
