// Saving and restoring the effect state through the controller.
#include <cstring>
#include <vector>

#include "memory_stream.h"
#include "ModuleFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kBypassId = 0x62706173;

// The first layout, the host bypass word, then the extension's values.
std::vector<uint8_t> DefaultState() {
  std::vector<uint8_t> bytes = {
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x40,  // FADE 5.0
      0x29, 0x5C, 0x8F, 0xC2, 0xF5, 0x28, 0xCC, 0x3F,  // CHOP 0.22
      0,    0,    0,    0,    0,    0,    0,    0,     // DRY 0.0
      0,    0,    0,    0,    0,    0,    0,    0,     // OUTPUT 0.0 dB
      0,    0,    0,    0,    0,    0,    0,    0,     // BY 0
      0x00, 0x00, 0x00, 0x00,                          // host bypass off
      'V',  'L',  'X',  'E',  2,    0,    0,    0,     // extension tag, version 2
      192,  0,    0,    0,                             // 192 bytes of values
  };
  // SYNC 0, NOTE 8 ("1/4"), PATTERN 0, STEPS 8, STEP 1 to 16 at 1, GATE 50, SWING, OFFSET, RETRIG 0.
  std::vector<double> values = {0.0, 8.0, 0.0, 8.0};
  values.insert(values.end(), 16, 1.0);
  values.insert(values.end(), {50.0, 0.0, 0.0, 0.0});
  for (double v : values) {
    uint8_t b[8];
    std::memcpy(b, &v, 8);  // little-endian, as the state is
    bytes.insert(bytes.end(), b, b + 8);
  }
  return bytes;
}
const std::vector<uint8_t> kDefaultState = DefaultState();

class StateTest : public ModuleTest {
protected:
  void SetUp() override {
    ModuleTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    instance_ = StartedInstance(host::ProcessConfig{});
    ASSERT_TRUE(instance_);
  }
  void TearDown() override {
    instance_.reset();
    ModuleTest::TearDown();
  }

  std::vector<uint8_t> Saved() {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(instance_->SaveState(bytes, error)) << error;
    return bytes;
  }

  // The host bypass is switched the way a DAW does it: through a block.
  void SetHostBypass(double normalized) {
    instance_->QueueChange(kBypassId, normalized);
    float in[2][1] = {}, out[2][1] = {};
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    ASSERT_EQ(instance_->Process(ins, outs, 0), kResultOk);
  }

  void ChangeEveryParameter() {
    for (ParamID id = 0; id < 29; ++id) ASSERT_EQ(instance_->Controller()->setParamNormalized(id, 1.0), kResultOk);
    SetHostBypass(1.0);
  }

  std::unique_ptr<host::PluginInstance> instance_;
};

TEST_F(StateTest, FreshInstanceSavesTheDefaults) { EXPECT_EQ(Saved(), kDefaultState); }

TEST_F(StateTest, HostBypassIsTheLastWord) {
  SetHostBypass(0.51);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 1.0);
  std::vector<uint8_t> expected = kDefaultState;
  expected[40] = 1;
  EXPECT_EQ(Saved(), expected);
  SetHostBypass(0.5);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 0.0);
  EXPECT_EQ(Saved(), kDefaultState);
}

TEST_F(StateTest, RestoringTheDefaultsUndoesEveryChange) {
  ChangeEveryParameter();
  ASSERT_NE(Saved(), kDefaultState);
  EXPECT_EQ(instance_->LoadState(kDefaultState), kResultOk);
  EXPECT_EQ(Saved(), kDefaultState);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(3), 0.5);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 0.0);
}

// No version ever wrote less than the bypass word: a stream without it is
// an incomplete project and is refused whole.
TEST_F(StateTest, StreamWithoutBypassWordChangesNothing) {
  ChangeEveryParameter();
  const std::vector<uint8_t> before = Saved();
  const std::vector<uint8_t> values(kDefaultState.begin(), kDefaultState.begin() + 40);
  EXPECT_EQ(instance_->LoadState(values), kResultFalse);
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 1.0);
}

TEST_F(StateTest, AnyNonZeroBypassWordSetsBypass) {
  std::vector<uint8_t> bytes = kDefaultState;
  bytes[40] = 2;
  EXPECT_EQ(instance_->LoadState(bytes), kResultOk);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 1.0);
}

TEST_F(StateTest, OutOfRangeValuesAreLimited) {
  std::vector<uint8_t> bytes = kDefaultState;
  bytes[30] = 0x59;  // OUTPUT = 100.0 dB (0x4059000000000000)
  bytes[31] = 0x40;
  EXPECT_EQ(instance_->LoadState(bytes), kResultOk);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(3), 1.0);
}

// The component side carries the same bytes: a host that restores the
// component, then syncs the controller from it, sees the restored values.
TEST_F(StateTest, ComponentStateCarriesTheSameBytes) {
  auto saved = owned(new host::MemoryStream());
  ASSERT_EQ(instance_->Component()->getState(saved), kResultOk);
  EXPECT_EQ(saved->Bytes(), kDefaultState);

  std::vector<uint8_t> changed = kDefaultState;
  changed[30] = 0xF0;  // OUTPUT 1.0 dB
  changed[31] = 0x3F;
  changed[40] = 1;  // host bypass on
  auto input = owned(new host::MemoryStream(changed));
  ASSERT_EQ(instance_->Component()->setState(input), kResultOk);
  input->seek(0, IBStream::kIBSeekSet, nullptr);
  ASSERT_EQ(instance_->Controller()->setComponentState(input), kResultOk);
  EXPECT_EQ(instance_->Controller()->getParamNormalized(3), 0.55);  // 1.0 dB of -10..10
  EXPECT_EQ(instance_->Controller()->getParamNormalized(kBypassId), 1.0);
  auto again = owned(new host::MemoryStream());
  ASSERT_EQ(instance_->Component()->getState(again), kResultOk);
  EXPECT_EQ(again->Bytes(), changed);
}

}  // namespace
}  // namespace vellox::test
