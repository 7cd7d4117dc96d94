#pragma once

#include <cstdint>
#include <string>
#include <deque>
#include <vector>

#include "IEditorLink.h"
#include "PlugMutex.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

// Small host-side objects for driving the adapter in-process. They live on
// the test's stack: reference counting is counted but never deletes.

#define FAKE_REFCOUNT                                                \
  Steinberg::uint32 PLUGIN_API addRef() override { return ++refs; }  \
  Steinberg::uint32 PLUGIN_API release() override { return --refs; } \
  int refs = 1;

class FakeHostApplication : public Steinberg::Vst::IHostApplication {
public:
  explicit FakeHostApplication(std::u16string name) : mName(std::move(name)) {}
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID, Steinberg::TUID, void** obj) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  FAKE_REFCOUNT

private:
  std::u16string mName;
};

class FakeParamQueue final : public Steinberg::Vst::IParamValueQueue {
public:
  FakeParamQueue(Steinberg::Vst::ParamID id, std::vector<std::pair<int, double>> points)
      : mId(id), mPoints(std::move(points)) {}
  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(mPoints.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& offset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 offset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override {
    index = getPointCount();
    mPoints.emplace_back(offset, value);
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override;
  FAKE_REFCOUNT

private:
  Steinberg::Vst::ParamID mId;
  std::vector<std::pair<int, double>> mPoints;
};

class FakeParamChanges : public Steinberg::Vst::IParameterChanges {
public:
  void Add(Steinberg::Vst::ParamID id, std::vector<std::pair<int, double>> points) {
    mQueues.emplace_back(id, std::move(points));
  }
  Steinberg::int32 PLUGIN_API getParameterCount() override { return static_cast<Steinberg::int32>(mQueues.size()); }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  // Output queues, as a host hands them to process().
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override {
    index = getParameterCount();
    mQueues.emplace_back(id, std::vector<std::pair<int, double>>{});
    return &mQueues.back();
  }
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override;
  FAKE_REFCOUNT

private:
  std::deque<FakeParamQueue> mQueues;  // queues handed out stay in place
};

// A byte stream over memory. failAtEnd: a read past the end answers
// kResultFalse (otherwise it answers kResultOk with the bytes it had).
class FakeStream : public Steinberg::IBStream {
public:
  explicit FakeStream(std::vector<uint8_t> bytes = {}, bool failAtEnd = true)
      : bytes(std::move(bytes)), mFailAtEnd(failAtEnd) {}
  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 n, Steinberg::int32* done) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 n, Steinberg::int32* done) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override;
  FAKE_REFCOUNT

  std::vector<uint8_t> bytes;
  size_t cursor = 0;
  bool failWrites = false;

private:
  bool mFailAtEnd;
};

class FakeContextMenu : public Steinberg::Vst::IContextMenu {
public:
  Steinberg::int32 PLUGIN_API getItemCount() override { return 0; }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&, Steinberg::Vst::IContextMenuTarget**) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API addItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override;
  FAKE_REFCOUNT

  std::vector<std::pair<int, int>> popups;
};

// Records every call; offers IComponentHandler3 only when withMenus is set.
class FakeComponentHandler : public Steinberg::Vst::IComponentHandler, public Steinberg::Vst::IComponentHandler3 {
public:
  explicit FakeComponentHandler(bool withMenus = false) : mWithMenus(withMenus) {}
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue v) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* id) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++refs; }
  Steinberg::uint32 PLUGIN_API release() override { return --refs; }
  int refs = 1;

  std::vector<std::string> calls;  // "begin 3", "perform 3 0.25", "end 3", "restart 8", "menu 2"
  Steinberg::IPlugView* menuView = nullptr;
  FakeContextMenu menu;
  bool returnMenu = true;

private:
  bool mWithMenus;
};

std::vector<uint8_t> LittleEndianDoubles(const std::vector<double>& values);

// Stands in for the editor's graphics object: records what reaches the
// controls and whether another thread could have taken the plug-in lock.
class FakeEditor : public IEditorLink {
public:
  struct Delivery {
    int index;
    double value;
    bool normalized;
    bool lockHeld;
  };
  explicit FakeEditor(PlugMutex& mutex, std::vector<Delivery>& log) : mMutex(mutex), mLog(log) {}
  void PushParamToControls(int index, double value, bool isNormalized) override { Record(index, value, isNormalized); }
  void CreateDrawSurfaces() override {}

private:
  void Record(int index, double value, bool normalized);
  PlugMutex& mMutex;
  std::vector<Delivery>& mLog;
};
