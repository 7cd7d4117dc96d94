#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "CPluginFactory.h"
#include "EffectRig.h"
#include "ModuleFactory.h"
#include "ModuleHandle.h"
#include "base/source/fobject.h"
#include "pluginterfaces/base/ipluginbase.h"

#ifdef _WIN32
extern "C" bool InitDll();
extern "C" bool ExitDll();
#else
extern "C" bool ModuleEntry(void*);
extern "C" bool ModuleExit();
#endif

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The class id's bytes in each platform's TUID order: COM-compatible on
// Windows (first word little-endian, second as two little-endian halves),
// plain big-endian elsewhere. Both are the one FUID below.
#ifdef _WIN32
const unsigned char kExpectedCid[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                        'Q',  'n',  'w',  'k',  'V',  'L',  'X',  '1'};
#else
const unsigned char kExpectedCid[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                        'Q',  'n',  'w',  'k',  'V',  'L',  'X',  '1'};
#endif
constexpr char kExpectedFuid[] = "F2AEE70D00DE4F4E516E776B564C5831";

std::string FuidText(const TUID cid) {
  FUID::String text{};
  FUID::fromTUID(cid).toString(text);
  return text;
}

FIDString Cid() { return reinterpret_cast<FIDString>(kExpectedCid); }

// A fixed-size text field: the text, then zeros up to the field's end.
template <size_t N>
bool ZeroFilled(const char (&field)[N], const char* text) {
  const size_t n = std::strlen(text);
  if (n >= N || std::memcmp(field, text, n) != 0) return false;
  for (size_t i = n; i < N; ++i)
    if (field[i] != 0) return false;
  return true;
}

}  // namespace

TEST(Factory, DescribesTheVendorAndItsOneClass) {
  IPluginFactory* factory = GetPluginFactory();
  ASSERT_NE(factory, nullptr);

  PFactoryInfo info;
  std::memset(static_cast<void*>(&info), 0x55, sizeof info);  // the factory must fill every byte
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Quenwick");
  EXPECT_EQ(info.flags, 16);
  EXPECT_GT(std::strlen(info.url), 0u);
  EXPECT_GT(std::strlen(info.email), 0u);

  ASSERT_EQ(factory->countClasses(), 1);
  FUnknownPtr<IPluginFactory2> factory2(factory);
  ASSERT_TRUE(factory2);
  PClassInfo2 ci;
  std::memset(static_cast<void*>(&ci), 0x55, sizeof ci);
  ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
  EXPECT_EQ(std::memcmp(ci.cid, kExpectedCid, 16), 0);
  EXPECT_EQ(FuidText(ci.cid), kExpectedFuid);
  EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(ci.category, "Audio Module Class");
  EXPECT_STREQ(ci.name, "Vellox");
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_STREQ(ci.subCategories, "Fx");
  EXPECT_STREQ(ci.vendor, "");
  EXPECT_STREQ(ci.version, "2.2.0");
  EXPECT_STREQ(ci.sdkVersion, "VST 3.6.12");
  EXPECT_TRUE(ZeroFilled(ci.category, "Audio Module Class"));
  EXPECT_TRUE(ZeroFilled(ci.name, "Vellox"));
  EXPECT_TRUE(ZeroFilled(ci.subCategories, "Fx"));
  EXPECT_TRUE(ZeroFilled(ci.vendor, ""));
  EXPECT_TRUE(ZeroFilled(ci.version, "2.2.0"));
  EXPECT_TRUE(ZeroFilled(ci.sdkVersion, "VST 3.6.12"));
  EXPECT_TRUE(ZeroFilled(info.vendor, "Quenwick"));
  EXPECT_TRUE(ZeroFilled(info.url, info.url));
  EXPECT_TRUE(ZeroFilled(info.email, info.email));

  PClassInfo plain;
  ASSERT_EQ(factory->getClassInfo(0, &plain), kResultOk);
  EXPECT_EQ(std::memcmp(plain.cid, kExpectedCid, 16), 0);
  EXPECT_STREQ(plain.name, "Vellox");
  EXPECT_NE(factory->getClassInfo(1, &plain), kResultOk);
  EXPECT_NE(factory2->getClassInfo2(-1, &ci), kResultOk);

  FUnknownPtr<IPluginFactory3> factory3(factory);
  ASSERT_TRUE(factory3);
  PClassInfoW wide;
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
  EXPECT_EQ(wide.name[0], u'V');
  EXPECT_EQ(wide.sdkVersion[4], u'3');
  factory->release();
}

TEST(Factory, ClassIdReadsAsTheSameFuidOnEveryPlatform) {
  IPluginFactory* factory = GetPluginFactory();
  PClassInfo ci;
  ASSERT_EQ(factory->getClassInfo(0, &ci), kResultOk);
  const FUID id = FUID::fromTUID(ci.cid);
  EXPECT_EQ(id.getLong1(), 0xF2AEE70Du);
  EXPECT_EQ(id.getLong2(), 0x00DE4F4Eu);
  EXPECT_EQ(id.getLong3(), 0x516E776Bu);  // "Qnwk"
  EXPECT_EQ(id.getLong4(), 0x564C5831u);  // "VLX1"
  char printed[128] = {};
  id.print(printed, FUID::kFUID);
  EXPECT_STREQ(printed, "FUID (0xF2AEE70D, 0x00DE4F4E, 0x516E776B, 0x564C5831)");
  EXPECT_EQ(FuidText(ci.cid), kExpectedFuid);
  // The id the SDK builds from those words is the one the factory creates.
  const FUID fromWords(0xF2AEE70D, 0x00DE4F4E, 0x516E776B, 0x564C5831);
  EXPECT_EQ(std::memcmp(fromWords.toTUID(), ci.cid, sizeof(TUID)), 0);
  IAudioProcessor* processor = nullptr;
  ASSERT_EQ(factory->createInstance(fromWords.toTUID(), IAudioProcessor::iid, reinterpret_cast<void**>(&processor)),
            kResultOk);
  ASSERT_NE(processor, nullptr);
  processor->release();
  factory->release();
}

namespace {

FUnknown* ThrowingCreation(void*) { throw std::runtime_error("construction failed"); }

// An object whose every interface query throws.
struct ThrowingUnknown : FUnknown {
  uint32 refs = 1;
  tresult PLUGIN_API queryInterface(const TUID, void**) override { throw std::runtime_error("query failed"); }
  uint32 PLUGIN_API addRef() override { return ++refs; }
  uint32 PLUGIN_API release() override { return --refs; }
};
ThrowingUnknown gThrowingObject;

FUnknown* HandOutThrowingObject(void*) {
  gThrowingObject.refs = 1;
  return &gThrowingObject;
}

}  // namespace

TEST(Factory, NoExceptionOfACreationReachesTheHost) {
  PFactoryInfo info("Quenwick", "", "", PFactoryInfo::kUnicode);
  auto* factory = new CPluginFactory(info);
  const FUID throwsOnCreate(1, 2, 3, 4), throwsOnQuery(5, 6, 7, 8);
  const PClassInfo2 first(throwsOnCreate.toTUID(), PClassInfo::kManyInstances, "Audio Module Class", "A", 0, "Fx", "",
                          "1.0.0", "VST 3.6.12");
  const PClassInfo2 second(throwsOnQuery.toTUID(), PClassInfo::kManyInstances, "Audio Module Class", "B", 0, "Fx", "",
                           "1.0.0", "VST 3.6.12");
  ASSERT_TRUE(factory->registerClass(&first, ThrowingCreation));
  ASSERT_TRUE(factory->registerClass(&second, HandOutThrowingObject));
  for (const FUID* id : {&throwsOnCreate, &throwsOnQuery}) {
    void* obj = reinterpret_cast<void*>(1);
    EXPECT_NE(factory->createInstance(id->toTUID(), IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
  }
  EXPECT_EQ(gThrowingObject.refs, 0u);  // the factory let go of the object it could not hand out
  EXPECT_EQ(factory->queryInterface(IPluginFactory::iid, nullptr), kInvalidArgument);
  EXPECT_EQ(factory->countClasses(), 2);
  EXPECT_EQ(factory->release(), 0u);
}

TEST(Factory, SecondRequestSharesTheFactoryWithOneMoreReference) {
  IPluginFactory* first = GetPluginFactory();
  IPluginFactory* second = GetPluginFactory();
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->addRef(), 3u);
  first->release();
  second->release();
  EXPECT_EQ(gPluginFactory, first);
  first->release();
  EXPECT_EQ(gPluginFactory, nullptr);

  IPluginFactory* rebuilt = GetPluginFactory();
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(rebuilt->countClasses(), 1);
  EXPECT_EQ(rebuilt->release(), 0u);
}

TEST(Factory, CreatesIndependentInstancesAnsweringTheWholeInterfaceMap) {
  IPluginFactory* factory = GetPluginFactory();
  IComponent* a = nullptr;
  IComponent* b = nullptr;
  ASSERT_EQ(factory->createInstance(Cid(), IComponent::iid, reinterpret_cast<void**>(&a)), kResultOk);
  ASSERT_EQ(factory->createInstance(Cid(), IComponent::iid, reinterpret_cast<void**>(&b)), kResultOk);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);

  for (const TUID* iid : {&IAudioProcessor::iid.toTUID(), &IEditController::iid.toTUID(),
                          &IEditController2::iid.toTUID(), &IUnitInfo::iid.toTUID(), &IConnectionPoint::iid.toTUID(),
                          &IPluginBase::iid.toTUID(), &FUnknown::iid.toTUID(), &IDependent::iid.toTUID()}) {
    void* obj = nullptr;
    EXPECT_EQ(a->queryInterface(*iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    static_cast<FUnknown*>(obj)->release();
  }
  void* none = nullptr;
  EXPECT_EQ(a->queryInterface(IPlugView::iid, &none), kNoInterface);
  EXPECT_EQ(none, nullptr);

  FObject* object = FObject::unknownToObject(a);
  ASSERT_NE(object, nullptr);
  EXPECT_STREQ(object->isA(), "IEffectVST3");
  for (const char* base : {"SingleComponentEffect", "EditControllerEx1", "EditController", "ComponentBase", "FObject"})
    EXPECT_TRUE(object->isTypeOf(base)) << base;

  FakeHostApplication host(u"Test");
  a->initialize(&host);
  b->initialize(&host);
  {
    FUnknownPtr<IEditController> ca(a), cb(b);
    ca->setParamNormalized(3, 1.0);
    EXPECT_DOUBLE_EQ(ca->getParamNormalized(3), 1.0);
    EXPECT_DOUBLE_EQ(cb->getParamNormalized(3), 0.5);
  }
  a->terminate();
  b->terminate();

  IComponent* wrong = reinterpret_cast<IComponent*>(&host);
  TUID otherCid = {};
  EXPECT_NE(factory->createInstance(otherCid, IComponent::iid, reinterpret_cast<void**>(&wrong)), kResultOk);
  EXPECT_EQ(wrong, nullptr);

  EXPECT_EQ(a->release(), 0u);
  EXPECT_EQ(b->release(), 0u);
  factory->release();
}

TEST(Factory, CreationFunctionHandsOutTheProcessorWithOneReference) {
  FUnknown* unknown = CreatePlugInstance(nullptr);
  ASSERT_NE(unknown, nullptr);
  IAudioProcessor* processor = nullptr;
  ASSERT_EQ(unknown->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor)), kResultOk);
  EXPECT_EQ(static_cast<FUnknown*>(processor), unknown);
  processor->release();
  EXPECT_EQ(unknown->release(), 0u);
}

TEST(ModuleEntry, InitCopiesTheModuleHandleAndExitAlwaysSucceeds) {
  FUnknown* alive = CreatePlugInstance(nullptr);
  int kept = 0;
  ModuleHandle = &kept;
  PlugModuleHandle = nullptr;
  EXPECT_EQ(GetPlugModuleHandle(), &kept);  // before (or without) the init export
#ifdef _WIN32
  ModuleHandle = reinterpret_cast<void*>(0x1000);
  EXPECT_TRUE(InitDll());
  EXPECT_EQ(PlugModuleHandle, ModuleHandle);
  EXPECT_EQ(GetPlugModuleHandle(), ModuleHandle);
  EXPECT_TRUE(ExitDll());
#else
  int marker = 0;
  EXPECT_TRUE(ModuleEntry(&marker));
  EXPECT_EQ(PlugModuleHandle, &marker);
  EXPECT_EQ(GetPlugModuleHandle(), &marker);
  EXPECT_TRUE(ModuleExit());
#endif
  alive->release();
}

TEST(ModuleInfo, DescriptionFileAgreesWithTheFactory) {
  std::FILE* file = std::fopen(VELLOX_MODULE_INFO_PATH, "rb");
  ASSERT_NE(file, nullptr) << VELLOX_MODULE_INFO_PATH;
  std::string json;
  char chunk[512];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) json.append(chunk, n);
  std::fclose(file);

  IPluginFactory* factory = GetPluginFactory();
  FUnknownPtr<IPluginFactory2> factory2(factory);
  PClassInfo2 ci;
  ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
  PFactoryInfo fi;
  factory->getFactoryInfo(&fi);
  const std::string cid = FuidText(ci.cid);
  for (const std::string& entry :
       {std::string("\"CID\": \"") + cid + "\"", std::string("\"Category\": \"") + ci.category + "\"",
        std::string("\"Name\": \"") + ci.name + "\"", std::string("\"Version\": \"") + ci.version + "\"",
        std::string("\"SDKVersion\": \"") + ci.sdkVersion + "\"", std::string("\"Vendor\": \"") + fi.vendor + "\"",
        std::string("\"URL\": \"") + fi.url + "\"", std::string("\"E-Mail\": \"") + fi.email + "\"",
        std::string("\"") + ci.subCategories + "\"", std::string("\"Class Flags\": ") + std::to_string(ci.classFlags)})
    EXPECT_NE(json.find(entry), std::string::npos) << entry;
  factory->release();
}
