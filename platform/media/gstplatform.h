#pragma once
// The GStreamer object factory, and a way for other parts of this layer to
// add classes it can make.
#include <functional>

#include "platform/media/dshow.h"

using TMediaClassMaker = std::function<HRESULT(ComPtr<IUnknown>&)>;
// Lets `clsid` be made by `maker` through CoCreateInstance.
void RegisterMediaClass(const CLSID& clsid, TMediaClassMaker maker);
