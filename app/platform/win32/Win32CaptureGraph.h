// The capture graph's parts on DirectShow: the filter graph manager, the capture graph
// builder, filters with their pins, stream formats and the graph's media control. The
// filter graph is free-threaded: its media control may be used from a thread that never
// entered a COM apartment.
#pragma once
#include <strmif.h>

#include <memory>

#include "platform/AudioDevices.h"
#include "platform/win32/ComRef.h"

namespace platform::win32 {

std::shared_ptr<IGraphFilter> MakeGraphFilter(Ref<IBaseFilter> filter);
std::shared_ptr<IFilterGraph> CreateFilterGraph();
std::shared_ptr<ICaptureGraphBuilder> CreateCaptureGraphBuilder();
// The renderer filter that writes the samples into the encoder's pipe, created by its class id.
std::shared_ptr<IGraphFilter> CreatePipeFilter();

}  // namespace platform::win32
