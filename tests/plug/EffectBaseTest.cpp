#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "IEffectBase.h"
#include "PlugTestSupport.h"

TEST(EffectBase, ConstructionSetsIdentityAndDefaults) {
  RecordingPlug plug;
  EXPECT_EQ(plug.NParams(), 3);
  EXPECT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.PresetName(0), "empty");
  EXPECT_FALSE(plug.PresetInitialised(0));
  EXPECT_STREQ(plug.EffectName(), "Test");
  EXPECT_STREQ(plug.MakerName(), "Maker");
  EXPECT_EQ(plug.UniqueId(), 0x54657374);
  EXPECT_EQ(plug.HostIdentity(), -1);
  EXPECT_EQ(plug.AdapterKind(), 1);
  EXPECT_EQ(plug.SampleRate(), 44100.0);
  EXPECT_EQ(plug.BlockSize(), 0);
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  EXPECT_NE(plug.GetParam(2), nullptr);
  EXPECT_EQ(plug.Graphics(), nullptr);
}

TEST(EffectBase, ParsesChannelConfigurations) {
  RecordingPlug plug("1-1 2-2");
  ASSERT_EQ(plug.NChannelIOPairs(), 2);
  EXPECT_EQ(plug.GetChannelIOPair(0)->inputs, 1);
  EXPECT_EQ(plug.GetChannelIOPair(1)->outputs, 2);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);

  RecordingPlug odd("0-2 x-3 4");
  ASSERT_EQ(odd.NChannelIOPairs(), 3);
  EXPECT_EQ(odd.GetChannelIOPair(1)->inputs, 0);  // unreadable number counts as 0
  EXPECT_EQ(odd.GetChannelIOPair(1)->outputs, 0);
  EXPECT_EQ(odd.GetChannelIOPair(2)->inputs, 4);
  EXPECT_EQ(odd.GetChannelIOPair(2)->outputs, 0);
  EXPECT_EQ(odd.NInChannels(), 4);
  EXPECT_EQ(odd.NOutChannels(), 2);
}

TEST(EffectBase, LegalIOMatchesPairsAndWildcards) {
  RecordingPlug plug("1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_FALSE(plug.LegalIO(2, 1));
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_FALSE(plug.LegalIO(3, -1));
}

TEST(EffectBase, ChangeBlockSizeZeroesOnlyOnChange) {
  RecordingPlug plug;
  plug.ChangeBlockSize(16);
  ASSERT_EQ(plug.BlockSize(), 16);
  plug.InputScratch(1)[15] = 7.0;
  plug.OutputScratch(0)[0] = 3.0;
  plug.ChangeBlockSize(16);
  EXPECT_EQ(plug.InputScratch(1)[15], 7.0);
  EXPECT_EQ(plug.OutputScratch(0)[0], 3.0);
  plug.ChangeBlockSize(32);
  EXPECT_EQ(plug.BlockSize(), 32);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(plug.InputScratch(1)[i], 0.0);
    EXPECT_EQ(plug.OutputScratch(0)[i], 0.0);
  }
}

TEST(EffectBase, DisconnectedChannelsUseTheirScratch) {
  RecordingPlug plug;
  plug.ChangeBlockSize(8);
  plug.DisconnectAllChannels();
  EXPECT_FALSE(plug.IsInputConnected(0));
  EXPECT_EQ(plug.InputPointers()[1], plug.InputScratch(1));
  EXPECT_EQ(plug.OutputPointers()[0], plug.OutputScratch(0));
  // Resizing keeps entries that sat on scratch pointing at the new scratch.
  plug.ChangeBlockSize(64);
  EXPECT_EQ(plug.InputPointers()[1], plug.InputScratch(1));
  EXPECT_EQ(plug.OutputPointers()[0], plug.OutputScratch(0));
}

TEST(EffectBase, ConvertsConnectedInputsAndOutputs) {
  RecordingPlug plug;
  plug.ChangeBlockSize(4);
  plug.DisconnectAllChannels();
  plug.SetInputConnected(1, true);
  float host[4] = {0.5f, -0.25f, 1.0f, 2.0f};
  float* sources[] = {host};
  plug.ConvertInputs(0, 2, sources, 4);  // channel 0 is skipped and takes no source
  EXPECT_EQ(plug.InputPointers()[1], plug.InputScratch(1));
  EXPECT_EQ(plug.InputScratch(1)[1], -0.25);
  EXPECT_EQ(plug.InputScratch(0)[0], 0.0);

  float dest[4] = {};
  plug.SetOutputConnected(0, true);
  plug.SetOutputDestination(0, dest);
  double* out = plug.OutputScratch(0);
  out[0] = 0.125;
  out[3] = -3.0;
  plug.ConvertConnectedOutputs(8);  // limited to the block size
  EXPECT_EQ(dest[0], 0.125f);
  EXPECT_EQ(dest[3], -3.0f);
  float direct[2] = {};
  IEffectBase::ConvertOutput(out, direct, 1);
  EXPECT_EQ(direct[0], 0.125f);
  EXPECT_EQ(direct[1], 0.0f);

  plug.ClearScratch();
  EXPECT_EQ(plug.InputScratch(1)[1], 0.0);
  EXPECT_EQ(plug.OutputScratch(0)[3], 0.0);
}

TEST(EffectBase, PassThroughWithoutLatencyCopiesAndZeroes) {
  RecordingPlug plug("1-2");
  plug.ChangeBlockSize(4);
  double in[4] = {1, 2, 3, 4};
  double out0[4] = {9, 9, 9, 9};
  double out1[4] = {9, 9, 9, 9};
  plug.SetInputPointer(0, in);
  plug.SetOutputPointer(0, out0);
  plug.SetOutputPointer(1, out1);
  plug.PassThrough(4);
  EXPECT_EQ(std::vector<double>(out0, out0 + 4), std::vector<double>(in, in + 4));
  EXPECT_EQ(std::vector<double>(out1, out1 + 4), std::vector<double>(4, 0.0));
}

TEST(EffectBase, PassThroughWithLatencyDelaysEachChannel) {
  RecordingPlug plug("2-2");
  plug.ChangeBlockSize(4);
  plug.CreateDelayLine();
  ASSERT_TRUE(plug.HasDelayLine());
  plug.ChangeLatency(3);
  EXPECT_EQ(plug.Latency(), 3);
  double in0[4], in1[4], out0[4], out1[4];
  plug.SetInputPointer(0, in0);
  plug.SetInputPointer(1, in1);
  plug.SetOutputPointer(0, out0);
  plug.SetOutputPointer(1, out1);
  std::vector<double> seen0, seen1;
  for (int block = 0; block < 3; ++block) {
    for (int i = 0; i < 4; ++i) {
      in0[i] = 1 + block * 4 + i;
      in1[i] = -(1 + block * 4 + i);
    }
    plug.PassThrough(4);
    seen0.insert(seen0.end(), out0, out0 + 4);
    seen1.insert(seen1.end(), out1, out1 + 4);
  }
  const std::vector<double> want0 = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(seen0, want0);
  EXPECT_EQ(seen1[3], -1.0);
  EXPECT_EQ(seen1[11], -9.0);
}

TEST(EffectBase, DefaultProcessBlockCopiesMatchingChannels) {
  RecordingPlug plug("1-2");
  double in[3] = {1, 2, 3};
  double out0[3] = {}, out1[3] = {5, 5, 5};
  double* ins[] = {in};
  double* outs[] = {out0, out1};
  plug.ProcessBlock(ins, outs, 3);
  EXPECT_EQ(out0[2], 3.0);
  EXPECT_EQ(out1[0], 0.0);
}

TEST(EffectBase, SetParamFromEditorSendsGivenValueAndStoresQuantised) {
  RecordingPlug plug;
  IParamSlot* by = plug.GetParam(1);
  by->SetType(kParamInteger);
  by->Define("BY", 0.0, 0.0, 1.0, 1.0);
  plug.SetParamFromEditor(1, 0.7);
  EXPECT_EQ(by->Value(), 1.0);
  ASSERT_EQ(plug.hostEdits.size(), 1u);
  EXPECT_EQ(plug.hostEdits[0].first, 1);
  EXPECT_EQ(plug.hostEdits[0].second, 0.7);
  EXPECT_EQ(plug.handled, std::vector<int>{1});

  plug.SetParamFromEditor(7, 0.5);
  plug.SetParamFromEditor(1, std::nan(""));
  EXPECT_EQ(plug.hostEdits.size(), 1u);
  EXPECT_EQ(by->Value(), 1.0);
}

TEST(EffectBase, BindGraphicsDeliversValuesThenCreatesSurfaces) {
  EditorLog log;
  {
    RecordingPlug plug("1-1", 1, 2);
    plug.GetParam(0)->Define("A", 27.5, 5.0, 50.0, 0.01);
    plug.GetParam(1)->Define("B", 0.0, -10.0, 10.0, 0.01);
    plug.BindGraphics(nullptr);
    EXPECT_EQ(plug.Graphics(), nullptr);
    auto* editor = new FakeEditor(log);
    plug.BindGraphics(editor);
    EXPECT_EQ(plug.Graphics(), editor);
    const std::vector<std::string> bound = {"push 0 0.500000 n", "push 1 0.500000 n", "surfaces"};
    EXPECT_EQ(log.calls, bound);

    log.calls.clear();
    plug.GetParam(1)->SetValue(-2.5);
    plug.RefreshParamControls();
    const std::vector<std::string> refreshed = {"push 0 27.500000 p", "push 1 -2.500000 p"};
    EXPECT_EQ(log.calls, refreshed);

    EXPECT_FALSE(log.deleted);
  }
  EXPECT_TRUE(log.deleted);
}

TEST(EffectBase, SampleRateRefusesUnusableRates) {
  RecordingPlug plug;
  plug.SetSampleRate(48000.0);
  EXPECT_EQ(plug.SampleRate(), 48000.0);
  plug.SetSampleRate(0.0);
  plug.SetSampleRate(-44100.0);
  plug.SetSampleRate(std::nan(""));
  EXPECT_EQ(plug.SampleRate(), 48000.0);
}

TEST(EffectBase, GroupNamesKeepFirstAppearanceOrder) {
  RecordingPlug plug;
  plug.AddGroupName("Mix");
  plug.AddGroupName("Tone");
  EXPECT_EQ(plug.NGroups(), 2);
  EXPECT_EQ(plug.FindGroup("Tone"), 1);
  EXPECT_EQ(plug.FindGroup("None"), -1);
  EXPECT_STREQ(plug.GroupName(0), "Mix");
  EXPECT_EQ(plug.GroupName(2), nullptr);
}
