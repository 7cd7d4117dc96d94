#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "EffectRig.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const std::vector<uint8_t> kDefaultState = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40,  // FADE 5.0
                                            0x29, 0x5C, 0x8F, 0xC2, 0xF5, 0x28, 0xCC, 0x3F,  // CHOP 0.22
                                            0,    0,    0,    0,    0,    0,    0,    0,     // DRY
                                            0,    0,    0,    0,    0,    0,    0,    0,     // OUTPUT
                                            0,    0,    0,    0,    0,    0,    0,    0,     // BY
                                            0x00, 0x00, 0x00, 0x00};                         // host bypass

// The first layout, then an extension: tag, version, byte count, values.
std::vector<uint8_t> State(const char* tag, uint32_t version, uint32_t count, const std::vector<double>& values) {
  std::vector<uint8_t> bytes = kDefaultState;
  bytes.insert(bytes.end(), tag, tag + 4);
  for (uint32_t word : {version, count})
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
  const std::vector<uint8_t> doubles = LittleEndianDoubles(values);
  bytes.insert(bytes.end(), doubles.begin(), doubles.end());
  return bytes;
}

// SYNC and NOTE (what 2.1.0 wrote), then PATTERN, STEPS, the sixteen step
// levels, GATE, SWING, OFFSET and RETRIG.
std::vector<double> ExtensionValues(double sync, double note, double pattern, double gate) {
  std::vector<double> v = {sync, note, pattern, 8.0};
  v.insert(v.end(), 16, 1.0);
  v.insert(v.end(), {gate, 0.0, 0.0, 0.0});
  return v;
}

const std::vector<uint8_t> kSavedDefaults = State("VLXE", 2, 192, ExtensionValues(0.0, 8.0, 0.0, 50.0));
constexpr size_t kStateBytes = 44 + 12 + 192;

std::vector<double> Values(IEffectBase& e) {
  std::vector<double> v;
  for (int i = 0; i < e.NParams(); ++i) v.push_back(e.GetParam(i)->Value());
  return v;
}

std::vector<double> Defaults(IEffectBase& e) {
  std::vector<double> v;
  for (int i = 0; i < e.NParams(); ++i) v.push_back(e.GetParam(i)->Default());
  return v;
}

void ChangeEverything(EffectRig& rig) {
  for (ParamID id = 0; id < kVelloxNumParams; ++id) rig.controller->setParamNormalized(id, 1.0);
  rig.effect->SetBypassed(true);
}

}  // namespace

TEST(State, SavesTheFirstLayoutThenTheExtension) {
  EffectRig rig;
  FakeStream stream;
  ASSERT_EQ(rig.controller->getState(&stream), kResultOk);
  EXPECT_EQ(stream.bytes, kSavedDefaults);

  rig.effect->SetBypassed(true);
  FakeStream bypassed;
  ASSERT_EQ(rig.controller->getState(&bypassed), kResultOk);
  ASSERT_EQ(bypassed.bytes.size(), kStateBytes);
  EXPECT_EQ(bypassed.bytes[40], 1);
}

namespace {

std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, size_t n) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n));
}

// Ends by failing or by a short count, or moves one byte per call; or is
// broken: fails or miscounts from byte `from` on while bytes remain.
struct HostStream : FakeStream {
  enum Kind { kFailAtEnd, kShortAtEnd, kOneByte, kFailsFrom, kZeroFrom, kOverFrom };
  HostStream(std::vector<uint8_t> bytes, Kind kind, size_t from = 0)
      : FakeStream(std::move(bytes), kind != kShortAtEnd), kind(kind), from(from) {}
  tresult PLUGIN_API read(void* buffer, int32 n, int32* done) override {
    const bool broken = kind >= kFailsFrom && cursor >= from;
    if (broken && kind == kFailsFrom) return kResultFalse;
    if (broken) {
      if (done) *done = kind == kZeroFrom ? 0 : n + 1;
      return kResultOk;
    }
    if (kind == kOneByte) n = std::min(n, 1);
    if (kind >= kFailsFrom) n = std::min<int32>(n, static_cast<int32>(from - cursor));
    return FakeStream::read(buffer, n, done);
  }
  tresult PLUGIN_API write(void* buffer, int32 n, int32* done) override {
    return FakeStream::write(buffer, kind == kOneByte ? std::min(n, 1) : n, done);
  }
  tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override {
    if (mode != kIBSeekEnd) return FakeStream::seek(pos, mode, result);
    if (result) *result = static_cast<int64>(bytes.size());
    return kResultOk;
  }
  Kind kind;
  size_t from;
};

}  // namespace

// Every layout a version wrote or may write; anything after the first layout
// but a whole tail refuses. Alike through every legal kind of stream; a
// stream breaking while bytes remain refuses and changes nothing.
TEST(State, LayoutsOfEveryVersion) {
  struct Row {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
    double sync, note;
    double pattern = 0.0, gate = 50.0;
  };
  std::vector<double> later = ExtensionValues(1.0, 12.0, 1.0, 25.0);
  later.push_back(99.0);
  const Row rows[] = {
      {"first layout", kDefaultState, true, 0.0, 8.0},
      {"first layout and other bytes", State("xyzw", 1, 16, {1.0, 3.0}), false, 0.0, 0.0},
      {"first layout and two stray bytes", Prefix(State("\xAB\xCD..", 0, 0, {}), 46), false, 0.0, 0.0},
      {"tail cut after V", Prefix(kSavedDefaults, 45), false, 0.0, 0.0},
      {"tail cut after VL", Prefix(kSavedDefaults, 46), false, 0.0, 0.0},
      {"tail cut after VLX", Prefix(kSavedDefaults, 47), false, 0.0, 0.0},
      {"with the extension", State("VLXE", 1, 16, {1.0, 3.0}), true, 1.0, 3.0},
      {"2.1.0's extension", State("VLXE", 1, 16, {1.0, 3.0}), true, 1.0, 3.0},
      {"every value", State("VLXE", 2, 192, ExtensionValues(1.0, 12.0, 1.0, 25.0)), true, 1.0, 12.0, 1.0, 25.0},
      {"a later version", State("VLXE", 3, 200, later), true, 1.0, 12.0, 1.0, 25.0},
      {"a later version with fewer values", State("VLXE", 3, 24, {1.0, 12.0, 7.5}), true, 1.0, 12.0, 1.0},
      {"values limited", State("VLXE", 1, 16, {5.0, -3.0}), true, 1.0, 0.0},
      {"stepped values rounded", State("VLXE", 1, 16, {0.5, 12.5}), true, 1.0, 13.0},
      {"stepped values rounded down", State("VLXE", 1, 16, {0.49, 12.49}), true, 0.0, 12.0},
      {"version 0", State("VLXE", 0, 16, {1.0, 3.0}), false, 0.0, 0.0},
      {"count 17", State("VLXE", 1, 17, {1.0, 3.0}), false, 0.0, 0.0},
      {"count 23", State("VLXE", 2, 23, {1.0, 3.0}), false, 0.0, 0.0},
      {"count 24, 16 bytes", State("VLXE", 2, 24, {1.0, 3.0}), false, 0.0, 0.0},
      {"count 0xFFFFFFFF", State("VLXE", 2, 0xFFFFFFFFu, {1.0, 3.0}), false, 0.0, 0.0},
      {"count 8", State("VLXE", 1, 8, {1.0, 3.0}), false, 0.0, 0.0},
  };
  using H = HostStream;
  for (const Row& row : rows)
    for (auto kind : {H::kFailAtEnd, H::kShortAtEnd, H::kOneByte, H::kFailsFrom, H::kZeroFrom, H::kOverFrom})
      for (size_t from : {44, 45, 47, 48, 52, 56, 64}) {
        const bool broken = kind >= H::kFailsFrom;
        if (broken ? !row.accepted || from >= row.bytes.size() : from != 44) continue;
        SCOPED_TRACE(std::string(row.what) + ", stream kind " + std::to_string(kind) + " from " + std::to_string(from));
        EffectRig rig;
        rig.controller->setParamNormalized(kVelloxNote, 1.0);
        FakeStream before;
        ASSERT_EQ(rig.controller->getState(&before), kResultOk);
        HostStream in(row.bytes, kind, from);
        EXPECT_EQ(rig.controller->setState(&in), row.accepted && !broken ? kResultOk : kResultFalse);
        HostStream after({}, kind);  // saved through the same kind of stream
        ASSERT_EQ(rig.controller->getState(&after), kResultOk);
        if (!row.accepted || broken) {
          EXPECT_EQ(after.bytes, before.bytes);
          continue;
        }
        EXPECT_EQ(rig.effect->GetParam(kVelloxSync)->Value(), row.sync);
        EXPECT_EQ(rig.effect->GetParam(kVelloxNote)->Value(), row.note);
        EXPECT_EQ(rig.effect->GetParam(kVelloxPattern)->Value(), row.pattern);
        EXPECT_EQ(rig.effect->GetParam(kVelloxGate)->Value(), row.gate);
        EXPECT_EQ(rig.effect->Chopper().settings.pattern, row.pattern != 0.0);
        EXPECT_EQ(rig.effect->Chopper().settings.sync, row.sync != 0.0);
        EXPECT_EQ(rig.effect->Chopper().settings.note, static_cast<int>(row.note));
        EXPECT_EQ(std::vector<uint8_t>(after.bytes.begin(), after.bytes.begin() + 44), kDefaultState);
      }
}

// The component side saves and restores the very bytes of the controller
// side, so projects move between hosts that use either.
TEST(State, ComponentSideSavesAndRestoresTheSameBytes) {
  EffectRig source;
  source.effect->SetParamFromEditor(3, 0.75);
  source.effect->SetBypassed(true);
  FakeStream viaComponent, viaController;
  ASSERT_EQ(source.component->getState(&viaComponent), kResultOk);
  ASSERT_EQ(source.controller->getState(&viaController), kResultOk);
  ASSERT_EQ(viaComponent.bytes.size(), kStateBytes);
  EXPECT_EQ(viaComponent.bytes, viaController.bytes);

  EffectRig target;
  FakeStream in(viaComponent.bytes);
  ASSERT_EQ(target.component->setState(&in), kResultOk);
  EXPECT_EQ(target.effect->GetParam(3)->Value(), source.effect->GetParam(3)->Value());
  EXPECT_TRUE(target.effect->IsBypassed());
  EXPECT_EQ(target.controller->getParamNormalized(kBypassParamId), 1.0);

  EffectRig synced;
  FakeStream again(viaComponent.bytes);
  ASSERT_EQ(synced.controller->setComponentState(&again), kResultOk);
  EXPECT_EQ(synced.controller->getParamNormalized(3), 0.75);

  // A project saved before the component side kept state has none there:
  // the empty stream changes nothing.
  EffectRig older;
  older.effect->SetParamFromEditor(0, 0.5);
  FakeStream empty;
  EXPECT_NE(older.component->setState(&empty), kResultOk);
  EXPECT_EQ(older.controller->getParamNormalized(0), 0.5);
}

TEST(State, RestoresValuesAndTheBypassWord) {
  EffectRig rig;
  ChangeEverything(rig);
  FakeStream full(kDefaultState);
  EXPECT_EQ(rig.controller->setState(&full), kResultOk);
  EXPECT_EQ(Values(*rig.effect), Defaults(*rig.effect));
  EXPECT_FALSE(rig.effect->IsBypassed());
  EXPECT_EQ(rig.effect->Chopper().settings.outputGain, 1.0);

  std::vector<uint8_t> two = kDefaultState;
  two[40] = 2;
  FakeStream withTwo(two);
  EXPECT_EQ(rig.controller->setState(&withTwo), kResultOk);
  EXPECT_TRUE(rig.effect->IsBypassed());
  EXPECT_EQ(rig.controller->getParamNormalized(kBypassParamId), 1.0);
}

// A state that stops short of its first 44 bytes, or inside the extension
// after its tag, is refused whole, whether
// the stream fails the read or answers it with fewer bytes: no value, no
// bypass and nothing the next save writes changes.
TEST(State, IncompleteStreamsChangeNothing) {
  for (bool failAtEnd : {true, false})
    for (size_t length : {0, 8, 16, 20, 40, 42, 43, 48, 52, 56, 64, 71, 72, 200, 247}) {
      EffectRig rig;
      ChangeEverything(rig);
      FakeStream before;
      ASSERT_EQ(rig.controller->getState(&before), kResultOk);
      FakeStream cut(std::vector<uint8_t>(kSavedDefaults.begin(), kSavedDefaults.begin() + length), failAtEnd);
      EXPECT_EQ(rig.controller->setState(&cut), kResultFalse) << length;
      FakeStream after;
      ASSERT_EQ(rig.controller->getState(&after), kResultOk);
      EXPECT_EQ(after.bytes, before.bytes) << length << " bytes, fail at end " << failAtEnd;
    }
  EffectRig rig;
  EXPECT_NE(rig.controller->setState(nullptr), kResultOk);
  EXPECT_NE(rig.controller->getState(nullptr), kResultOk);
}

TEST(State, GarbageIsLimitedToTheRanges) {
  EffectRig rig;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<uint8_t> garbage = LittleEndianDoubles({1e300, nan, -inf, 42.0, -7.0});
  garbage.insert(garbage.end(), {0xFF, 0xFF, 0xFF, 0xFF});
  FakeStream stream(garbage);
  EXPECT_EQ(rig.controller->setState(&stream), kResultOk);
  std::vector<double> limited = Defaults(*rig.effect);
  std::copy_n(std::vector<double>{50.0, 0.22, 0.0, 10.0, 0.0}.begin(), 5, limited.begin());
  EXPECT_EQ(Values(*rig.effect), limited);
  EXPECT_TRUE(rig.effect->IsBypassed());
  for (ParamID id = 0; id < 5; ++id) {
    const double n = rig.controller->getParamNormalized(id);
    EXPECT_TRUE(n >= 0.0 && n <= 1.0) << id;
  }
}

TEST(State, FailedWritesAreReported) {
  EffectRig rig;
  FakeStream stream;
  stream.failWrites = true;
  EXPECT_EQ(rig.controller->getState(&stream), kResultFalse);
}

// Some hosts' streams report success but never fill in the byte count: the
// state is saved all the same, and restored from such a stream too.
TEST(State, StreamsThatDoNotCountBytesStillSaveAndRestore) {
  struct SilentCountStream : FakeStream {
    tresult PLUGIN_API write(void* buffer, int32 n, int32*) override { return FakeStream::write(buffer, n, nullptr); }
    tresult PLUGIN_API read(void* buffer, int32 n, int32*) override { return FakeStream::read(buffer, n, nullptr); }
  };
  EffectRig rig;
  rig.effect->SetParamFromEditor(2, 0.4);
  SilentCountStream saved;
  ASSERT_EQ(rig.controller->getState(&saved), kResultOk);
  ASSERT_EQ(saved.bytes.size(), kStateBytes);
  EffectRig target;
  SilentCountStream in;
  in.bytes = saved.bytes;
  ASSERT_EQ(target.controller->setState(&in), kResultOk);
  EXPECT_EQ(target.controller->getParamNormalized(2), 0.4);
}
