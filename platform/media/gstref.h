#pragma once
// Owning handles for GStreamer references. Every reference this layer keeps
// sits in one of these, so a forgotten unref cannot happen by omission.
#include <gst/gst.h>

#include <utility>

template <class T>
struct TGstTraits {
  // Objects (elements, pads, buses, clocks).
  static void Ref(T* p) { gst_object_ref(p); }
  static void Unref(T* p) { gst_object_unref(p); }
};

#define KELVARA_GST_MINI_OBJECT(Type)                                      \
  template <>                                                              \
  struct TGstTraits<Type> {                                                \
    static void Ref(Type* p) { gst_mini_object_ref(GST_MINI_OBJECT_CAST(p)); } \
    static void Unref(Type* p) { gst_mini_object_unref(GST_MINI_OBJECT_CAST(p)); } \
  };
KELVARA_GST_MINI_OBJECT(GstCaps)
KELVARA_GST_MINI_OBJECT(GstSample)
KELVARA_GST_MINI_OBJECT(GstMessage)
KELVARA_GST_MINI_OBJECT(GstEvent)
KELVARA_GST_MINI_OBJECT(GstQuery)
KELVARA_GST_MINI_OBJECT(GstBuffer)
#undef KELVARA_GST_MINI_OBJECT

template <class T>
class TGstRef {
 public:
  TGstRef() = default;
  // Takes over a reference the caller was given (a "transfer full" result).
  static TGstRef Adopt(T* p) {
    TGstRef r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static TGstRef Share(T* p) {
    if (p) TGstTraits<T>::Ref(p);
    return Adopt(p);
  }
  TGstRef(const TGstRef& o) : p_(o.p_) {
    if (p_) TGstTraits<T>::Ref(p_);
  }
  TGstRef(TGstRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  TGstRef& operator=(TGstRef o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~TGstRef() { reset(); }
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) TGstTraits<T>::Unref(p);
  }
  // Hands the reference to a "transfer full" parameter.
  T* release() { return std::exchange(p_, nullptr); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const TGstRef& o) const { return p_ == o.p_; }

 private:
  T* p_ = nullptr;
};

// A GError the caller owns.
class TGError {
 public:
  TGError() = default;
  TGError(const TGError&) = delete;
  TGError& operator=(const TGError&) = delete;
  ~TGError() {
    if (e_) g_error_free(e_);
  }
  GError** out() { return &e_; }
  GError* get() const { return e_; }
  explicit operator bool() const { return e_ != nullptr; }

 private:
  GError* e_ = nullptr;
};

// A g_malloc'ed string.
class TGString {
 public:
  explicit TGString(gchar* s = nullptr) : s_(s) {}
  TGString(const TGString&) = delete;
  TGString& operator=(const TGString&) = delete;
  ~TGString() { g_free(s_); }
  const gchar* get() const { return s_ ? s_ : ""; }

 private:
  gchar* s_;
};
