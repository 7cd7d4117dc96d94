// The module's exports and factory, as a host finds them.
#include <cstring>

#include "ModuleFixture.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

TEST_F(ModuleTest, FactoryDescribesTheVendor) {
  PFactoryInfo info{};
  ASSERT_EQ(module_->Factory()->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Quenwick");
  EXPECT_EQ(info.flags, 16);
}

TEST_F(ModuleTest, FactoryOffersOneAudioEffectClass) {
  IPluginFactory* factory = module_->Factory();
  ASSERT_EQ(factory->countClasses(), 1);
  void* found = nullptr;
  ASSERT_EQ(factory->queryInterface(IPluginFactory2::iid, &found), kResultOk);
  auto factory2 = owned(static_cast<IPluginFactory2*>(found));
  PClassInfo2 info{};
  ASSERT_EQ(factory2->getClassInfo2(0, &info), kResultOk);
  // One FUID on every platform, its bytes in the platform's TUID order.
#ifdef _WIN32
  const unsigned char cid[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                 0x51, 0x6E, 0x77, 0x6B, 0x56, 0x4C, 0x58, 0x31};
#else
  const unsigned char cid[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                 0x51, 0x6E, 0x77, 0x6B, 0x56, 0x4C, 0x58, 0x31};
#endif
  EXPECT_EQ(std::memcmp(info.cid, cid, 16), 0);
  FUID::String text{};
  FUID::fromTUID(info.cid).toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E516E776B564C5831");
  char printed[128] = {};
  FUID::fromTUID(info.cid).print(printed, FUID::kFUID);
  EXPECT_STREQ(printed, "FUID (0xF2AEE70D, 0x00DE4F4E, 0x516E776B, 0x564C5831)");
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Vellox");
  EXPECT_STREQ(info.subCategories, "Fx");
  EXPECT_STREQ(info.vendor, "");
  EXPECT_STREQ(info.version, "2.2.0");
  EXPECT_STREQ(info.sdkVersion, "VST 3.6.12");
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  EXPECT_EQ(info.classFlags, 2u);
  PClassInfo past{};
  EXPECT_NE(factory->getClassInfo(1, &past), kResultOk);
}

TEST_F(ModuleTest, SecondFactoryRequestSharesTheFactory) {
  IPluginFactory* factory = module_->Factory();
  const uint32 before = factory->addRef();
  factory->release();
  IPluginFactory* again = module_->RequestFactory();
  ASSERT_EQ(again, factory);
  const uint32 after = factory->addRef();
  factory->release();
  EXPECT_EQ(after, before + 1);
  again->release();
}

TEST_F(ModuleTest, UnknownClassIsRefused) {
  TUID unknown = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  void* object = reinterpret_cast<void*>(1);
  EXPECT_NE(module_->Factory()->createInstance(unknown, Vst::IComponent::iid, &object), kResultOk);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ModuleTest, OneObjectIsProcessorAndController) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  EXPECT_FALSE(instance->HasSeparateController());
  ASSERT_TRUE(instance->Units());
  TUID controllerCid{};
  EXPECT_EQ(instance->Component()->getControllerClassId(controllerCid), kNotImplemented);
  FUnknown* asProcessor = nullptr;
  FUnknown* asController = nullptr;
  instance->Processor()->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&asProcessor));
  instance->Controller()->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&asController));
  EXPECT_EQ(asProcessor, asController);
  if (asProcessor) asProcessor->release();
  if (asController) asController->release();
}

TEST_F(ModuleTest, TwoInstancesAreIndependent) {
  auto first = NewInstance();
  auto second = NewInstance();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->Component(), second->Component());
  ASSERT_EQ(first->Controller()->setParamNormalized(3, 1.0), kResultOk);
  EXPECT_EQ(first->Controller()->getParamNormalized(3), 1.0);
  EXPECT_EQ(second->Controller()->getParamNormalized(3), 0.5);
}

TEST_F(ModuleTest, AudioSampleSizesAndBuses) {
  auto instance = NewInstance();
  ASSERT_TRUE(instance);
  auto* processor = instance->Processor();
  EXPECT_EQ(processor->canProcessSampleSize(Vst::kSample32), kResultTrue);
  EXPECT_EQ(processor->canProcessSampleSize(Vst::kSample64), kResultTrue);
  EXPECT_EQ(processor->canProcessSampleSize(2), kResultFalse);
  EXPECT_EQ(instance->Component()->getBusCount(Vst::kAudio, Vst::kInput), 1);
  EXPECT_EQ(instance->Component()->getBusCount(Vst::kAudio, Vst::kOutput), 1);
  EXPECT_EQ(instance->Component()->getBusCount(Vst::kEvent, Vst::kInput), 1);
  Vst::SpeakerArrangement in[] = {Vst::SpeakerArr::kStereo};
  Vst::SpeakerArrangement out[] = {Vst::SpeakerArr::kMono};
  EXPECT_EQ(processor->setBusArrangements(in, 1, out, 1), kResultFalse);
  std::string error;
  host::ProcessConfig mono;
  mono.channels = 1;
  EXPECT_TRUE(instance->Start(mono, error)) << error;
  instance->Stop();
  Vst::SpeakerArrangement quad[] = {Vst::SpeakerArr::k40Music};
  EXPECT_EQ(processor->setBusArrangements(quad, 1, quad, 1), kResultFalse);
}

}  // namespace
}  // namespace vellox::test
