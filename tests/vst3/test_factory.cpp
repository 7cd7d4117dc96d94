#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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

const unsigned char kExpectedCid[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                        'Q',  'n',  'w',  'k',  'V',  'L',  'X',  '1'};

FIDString Cid() {
  return reinterpret_cast<FIDString>(kExpectedCid);
}

// A fixed-size text field: the text, then zeros up to the field's end.
template <size_t N>
bool ZeroFilled(const char (&field)[N], const char* text) {
  const size_t n = std::strlen(text);
  if (n >= N || std::memcmp(field, text, n) != 0)
    return false;
  for (size_t i = n; i < N; ++i)
    if (field[i] != 0)
      return false;
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
  EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(ci.category, "Audio Module Class");
  EXPECT_STREQ(ci.name, "Vellox");
  EXPECT_EQ(ci.classFlags, 2u);
  EXPECT_STREQ(ci.subCategories, "Fx");
  EXPECT_STREQ(ci.vendor, "");
  EXPECT_STREQ(ci.version, "2.0.0");
  EXPECT_STREQ(ci.sdkVersion, "VST 3.6.12");
  EXPECT_TRUE(ZeroFilled(ci.category, "Audio Module Class"));
  EXPECT_TRUE(ZeroFilled(ci.name, "Vellox"));
  EXPECT_TRUE(ZeroFilled(ci.subCategories, "Fx"));
  EXPECT_TRUE(ZeroFilled(ci.vendor, ""));
  EXPECT_TRUE(ZeroFilled(ci.version, "2.0.0"));
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
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    json.append(chunk, n);
  std::fclose(file);

  IPluginFactory* factory = GetPluginFactory();
  FUnknownPtr<IPluginFactory2> factory2(factory);
  PClassInfo2 ci;
  ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
  PFactoryInfo fi;
  factory->getFactoryInfo(&fi);
  char cid[33];
  for (int i = 0; i < 16; ++i)
    std::snprintf(cid + 2 * i, 3, "%02X", static_cast<unsigned char>(ci.cid[i]));
  for (const std::string& entry :
       {std::string("\"CID\": \"") + cid + "\"", std::string("\"Category\": \"") + ci.category + "\"",
        std::string("\"Name\": \"") + ci.name + "\"", std::string("\"Version\": \"") + ci.version + "\"",
        std::string("\"SDKVersion\": \"") + ci.sdkVersion + "\"", std::string("\"Vendor\": \"") + fi.vendor + "\"",
        std::string("\"URL\": \"") + fi.url + "\"", std::string("\"E-Mail\": \"") + fi.email + "\"",
        std::string("\"") + ci.subCategories + "\"", std::string("\"Class Flags\": ") + std::to_string(ci.classFlags)})
    EXPECT_NE(json.find(entry), std::string::npos) << entry;
  factory->release();
}
