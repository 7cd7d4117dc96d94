#include "FakeHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

tresult Answer(bool match, FUnknown* self, void** obj) {
  if (match) {
    self->addRef();
    *obj = self;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace

tresult PLUGIN_API FakeHostApplication::getName(String128 name) {
  size_t n = std::min<size_t>(mName.size(), 127);
  for (size_t i = 0; i < n; ++i) name[i] = static_cast<TChar>(mName[i]);
  name[n] = 0;
  return kResultOk;
}

tresult PLUGIN_API FakeHostApplication::createInstance(TUID, TUID, void** obj) {
  *obj = nullptr;
  return kResultFalse;
}

tresult PLUGIN_API FakeHostApplication::queryInterface(const TUID iid, void** obj) {
  return Answer(FUnknownPrivate::iidEqual(iid, IHostApplication::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid),
                this, obj);
}

tresult PLUGIN_API FakeParamQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kResultFalse;
  offset = mPoints[static_cast<size_t>(index)].first;
  value = mPoints[static_cast<size_t>(index)].second;
  return kResultOk;
}

tresult PLUGIN_API FakeParamQueue::queryInterface(const TUID iid, void** obj) {
  return Answer(FUnknownPrivate::iidEqual(iid, IParamValueQueue::iid), this, obj);
}

IParamValueQueue* PLUGIN_API FakeParamChanges::getParameterData(int32 index) {
  if (index < 0 || index >= getParameterCount()) return nullptr;
  return &mQueues[static_cast<size_t>(index)];
}

tresult PLUGIN_API FakeParamChanges::queryInterface(const TUID iid, void** obj) {
  return Answer(FUnknownPrivate::iidEqual(iid, IParameterChanges::iid), this, obj);
}

tresult PLUGIN_API FakeStream::read(void* buffer, int32 n, int32* done) {
  const size_t available = bytes.size() - cursor;
  const size_t count = std::min<size_t>(available, static_cast<size_t>(std::max(n, 0)));
  if (count) std::memcpy(buffer, bytes.data() + cursor, count);
  cursor += count;
  if (done) *done = static_cast<int32>(count);
  return (count < static_cast<size_t>(n) && mFailAtEnd) ? kResultFalse : kResultOk;
}

tresult PLUGIN_API FakeStream::write(void* buffer, int32 n, int32* done) {
  if (failWrites) {
    if (done) *done = 0;
    return kResultFalse;
  }
  const auto* p = static_cast<const uint8_t*>(buffer);
  bytes.insert(bytes.end(), p, p + n);
  if (done) *done = n;
  return kResultOk;
}

tresult PLUGIN_API FakeStream::seek(int64 pos, int32 mode, int64* result) {
  if (mode == kIBSeekSet) cursor = static_cast<size_t>(pos);
  if (result) *result = static_cast<int64>(cursor);
  return kResultOk;
}

tresult PLUGIN_API FakeStream::tell(int64* pos) {
  if (pos) *pos = static_cast<int64>(cursor);
  return kResultOk;
}

tresult PLUGIN_API FakeStream::queryInterface(const TUID iid, void** obj) {
  return Answer(FUnknownPrivate::iidEqual(iid, IBStream::iid), this, obj);
}

tresult PLUGIN_API FakeContextMenu::popup(UCoord x, UCoord y) {
  popups.emplace_back(x, y);
  return kResultOk;
}

tresult PLUGIN_API FakeContextMenu::queryInterface(const TUID iid, void** obj) {
  return Answer(FUnknownPrivate::iidEqual(iid, IContextMenu::iid), this, obj);
}

tresult PLUGIN_API FakeComponentHandler::beginEdit(ParamID id) {
  calls.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API FakeComponentHandler::performEdit(ParamID id, ParamValue v) {
  char text[64];
  std::snprintf(text, sizeof text, "perform %u %g", static_cast<unsigned>(id), v);
  calls.push_back(text);
  return kResultOk;
}

tresult PLUGIN_API FakeComponentHandler::endEdit(ParamID id) {
  calls.push_back("end " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API FakeComponentHandler::restartComponent(int32 flags) {
  calls.push_back("restart " + std::to_string(flags));
  return kResultOk;
}

IContextMenu* PLUGIN_API FakeComponentHandler::createContextMenu(IPlugView* view, const ParamID* id) {
  calls.push_back("menu " + std::to_string(id ? *id : 0xFFFFFFFFu));
  menuView = view;
  if (!returnMenu) return nullptr;
  menu.addRef();
  return &menu;
}

tresult PLUGIN_API FakeComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  if (mWithMenus && FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

std::vector<uint8_t> LittleEndianDoubles(const std::vector<double>& values) {
  std::vector<uint8_t> out;
  for (double v : values) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
  }
  return out;
}

void FakeEditor::Record(int index, double value, bool normalized) {
  bool lockHeld = false;
  std::thread probe([&] {
    lockHeld = !mMutex.TryLock();
    if (!lockHeld) mMutex.Unlock();
  });
  probe.join();
  mLog.push_back({index, value, normalized, lockHeld});
}
