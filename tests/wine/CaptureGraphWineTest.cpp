// The capture graph's parts through the platform services, on Wine's DirectShow: the
// graph manager with the capture graph builder, each device's capture filter in a graph
// with its pins as DirectShow lists them, the media control of a graph, and the sound
// filter, which is not installed here.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Audio.h"

namespace {

// The directions of a device's capture-filter pins, read directly from DirectShow.
std::vector<bool> OutputsDirectly(IMoniker* moniker) {
  std::vector<bool> outputs;
  IBaseFilter* filter = nullptr;
  if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter))))
    return outputs;
  IEnumPins* pins = nullptr;
  if (SUCCEEDED(filter->EnumPins(&pins))) {
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
      PIN_DIRECTION direction;
      pin->QueryDirection(&direction);
      outputs.push_back(direction == PINDIR_OUTPUT);
      pin->Release();
    }
    pins->Release();
  }
  filter->Release();
  return outputs;
}

std::vector<std::vector<bool>> DevicesDirectly() {
  std::vector<std::vector<bool>> devices;
  ICreateDevEnum* devEnum = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                              reinterpret_cast<void**>(&devEnum))))
    return devices;
  IEnumMoniker* monikers = nullptr;
  if (devEnum->CreateClassEnumerator(CLSID_AudioInputDeviceCategory, &monikers, 0) == S_OK) {
    IMoniker* moniker = nullptr;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
      devices.push_back(OutputsDirectly(moniker));
      moniker->Release();
    }
    monikers->Release();
  }
  devEnum->Release();
  return devices;
}

struct RunCall {
  platform::IMediaControl* Control;
  bool Ran;
};

DWORD WINAPI RunOutsideApartment(void* arg) {
  auto* call = static_cast<RunCall*>(arg);
  call->Ran = call->Control->Run();
  return 0;
}

class CaptureGraph : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    audio_ = platform::win32::MakeAudioDevices();
  }
  void TearDown() override {
    audio_.reset();
    CoUninitialize();
  }
  std::unique_ptr<platform::IAudioDevices> audio_;
};

TEST_F(CaptureGraph, GraphWithItsBuilderRunsPausesAndStopsAndTheSoundFilterIsMissing) {
  std::shared_ptr<platform::IFilterGraph> graph = audio_->CreateFilterGraph();
  ASSERT_NE(graph, nullptr);
  std::shared_ptr<platform::ICaptureGraphBuilder> builder = audio_->CreateCaptureGraphBuilder();
  ASSERT_NE(builder, nullptr);
  EXPECT_TRUE(builder->SetFiltergraph(graph));
  EXPECT_FALSE(builder->SetFiltergraph(nullptr));

  // The sound filter is installed with the program, not here.
  EXPECT_EQ(audio_->CreatePipeFilter(), nullptr);

  std::shared_ptr<platform::IMediaControl> control = graph->MediaControl();
  ASSERT_NE(control, nullptr);
  EXPECT_TRUE(control->Run());
  EXPECT_TRUE(control->GetState(500));
  EXPECT_TRUE(control->Pause());
  EXPECT_TRUE(control->StopWhenReady());
  EXPECT_TRUE(control->GetState(500));

  // The run thread calls Run outside any apartment; the graph takes it there too.
  RunCall call{control.get(), false};
  HANDLE thread = CreateThread(nullptr, 0, RunOutsideApartment, &call, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  EXPECT_TRUE(call.Ran);
  EXPECT_TRUE(control->StopWhenReady());
}

TEST_F(CaptureGraph, EachDevicesCaptureFilterGoesIntoAGraphWithThePinsDirectShowLists) {
  const std::vector<std::vector<bool>> expected = DevicesDirectly();
  std::cout << "audio input devices: " << expected.size() << "\n";
  std::unique_ptr<platform::IAudioDeviceEnumerator> devEnum = audio_->CreateDeviceEnumerator();
  ASSERT_NE(devEnum, nullptr);
  std::unique_ptr<platform::IAudioMonikerEnum> monikers;
  if (devEnum->AudioInputCategory(monikers) != platform::CategoryResult::Listed) {
    EXPECT_TRUE(expected.empty());
    return;
  }
  size_t index = 0;
  while (std::shared_ptr<platform::IAudioMoniker> moniker = monikers->Next()) {
    ASSERT_LT(index, expected.size());
    const std::vector<bool>& outputs = expected[index++];
    std::shared_ptr<platform::IGraphFilter> filter = moniker->BindFilter();
    ASSERT_NE(filter, nullptr) << "device " << index;
    std::shared_ptr<platform::IFilterGraph> graph = audio_->CreateFilterGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->AddFilter(filter, "Audio Capture"));
    // Removed, it can be added again.
    graph->RemoveFilter(filter);
    EXPECT_TRUE(graph->AddFilter(filter, "Audio Capture"));

    std::optional<std::vector<std::shared_ptr<platform::IGraphPin>>> pins = filter->Pins();
    ASSERT_TRUE(pins.has_value());
    ASSERT_EQ(pins->size(), outputs.size());
    std::cout << "  device " << index << ": " << pins->size() << " pins\n";
    for (size_t i = 0; i < pins->size(); ++i) {
      EXPECT_EQ((*pins)[i]->IsOutput(), outputs[i]) << "pin " << i;
      std::shared_ptr<platform::IStreamConfig> config = (*pins)[i]->StreamConfig();
      std::cout << "    pin " << i << (outputs[i] ? " output" : " input")
                << (config ? ", with a stream format" : ", without a stream format") << "\n";
      if (!config || !outputs[i]) continue;
      std::optional<platform::WaveFormat> format = config->GetFormat();
      ASSERT_TRUE(format.has_value());
      std::cout << "      " << format->Channels << " channels, " << format->SamplesPerSec << " Hz, "
                << format->BitsPerSample << " bits\n";
    }
    graph->RemoveFilter(filter);
  }
  EXPECT_EQ(index, expected.size());
}

}  // namespace
