// Contents/Resources/moduleinfo.json against the built module's factory: the
// file must be what the SDK's module-info tool writes for this module.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "Json5Document.h"
#include "ModuleFixture.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file) std::fclose(file);
  return file != nullptr;
}

// The class id as the SDK prints it on this platform.
std::string FuidString(const TUID cid) {
  FUID::String text{};
  FUID::fromTUID(cid).toString(text);
  return text;
}

std::vector<Json5Value> SplitSubCategories(const std::string& joined) {
  std::vector<Json5Value> parts;
  std::istringstream in(joined);
  for (std::string part; std::getline(in, part, '|');) parts.push_back(Json5Value::String(part));
  return parts;
}

class ModuleInfoTest : public ModuleTest {
protected:
  std::string InfoPath() const { return BundlePath() + "/Contents/Resources/moduleinfo.json"; }

  // The document the tool builds from the module: its name, the factory
  // record, and per class the record with the factory's vendor standing in
  // for an empty one and the snapshots found in the bundle.
  Json5Value FromFactory() {
    IPluginFactory* factory = module_->Factory();
    PFactoryInfo fi{};
    EXPECT_EQ(factory->getFactoryInfo(&fi), kResultOk);
    FUnknownPtr<IPluginFactory2> factory2(factory);
    EXPECT_TRUE(factory2);

    std::string name = BundlePath().substr(BundlePath().find_last_of("/\\") + 1);
    name.erase(name.find_last_of('.'));
    Json5Value classes = Json5Value::Array();
    std::string version;
    for (int32 i = 0; factory2 && i < factory->countClasses(); ++i) {
      PClassInfo2 ci{};
      EXPECT_EQ(factory2->getClassInfo2(i, &ci), kResultOk);
      const std::string cid = FuidString(ci.cid);
      Json5Value snapshots = Json5Value::Array();
      for (const char* scale : {"1", "2"}) {
        const std::string snapshot =
            "Contents/Resources/Snapshots/" + cid + "_snapshot" + (scale[0] == '1' ? "" : "_2.0x") + ".png";
        if (FileExists(BundlePath() + "/" + snapshot))
          snapshots.elements.push_back(Json5Value::Object()
                                           .Add("Scale Factor", Json5Value::Number(scale))
                                           .Add("Path", Json5Value::String(snapshot)));
      }
      Json5Value entry = Json5Value::Object();
      entry.Add("CID", Json5Value::String(cid))
          .Add("Category", Json5Value::String(ci.category))
          .Add("Name", Json5Value::String(ci.name))
          .Add("Vendor", Json5Value::String(ci.vendor[0] ? ci.vendor : fi.vendor))
          .Add("Version", Json5Value::String(ci.version))
          .Add("SDKVersion", Json5Value::String(ci.sdkVersion))
          .Add("Sub Categories", Json5Value::Array(SplitSubCategories(ci.subCategories)))
          .Add("Class Flags", Json5Value::Number(std::to_string(ci.classFlags)))
          .Add("Cardinality", Json5Value::Number(std::to_string(ci.cardinality)))
          .Add("Snapshots", snapshots);
      classes.elements.push_back(entry);
      if (version.empty()) version = ci.version;
    }
    Json5Value flags = Json5Value::Object();
    flags.Add("Unicode", Json5Value::Bool(fi.flags & PFactoryInfo::kUnicode))
        .Add("Classes Discardable", Json5Value::Bool(fi.flags & PFactoryInfo::kClassesDiscardable))
        .Add("Component Non Discardable", Json5Value::Bool(fi.flags & PFactoryInfo::kComponentNonDiscardable));
    Json5Value factoryInfo = Json5Value::Object();
    factoryInfo.Add("Vendor", Json5Value::String(fi.vendor))
        .Add("URL", Json5Value::String(fi.url))
        .Add("E-Mail", Json5Value::String(fi.email))
        .Add("Flags", flags);
    Json5Value document = Json5Value::Object();
    document.Add("Name", Json5Value::String(name))
        .Add("Version", Json5Value::String(version))
        .Add("Factory Info", factoryInfo)
        .Add("Compatibility", Json5Value::Array())
        .Add("Classes", classes);
    return document;
  }
};

TEST_F(ModuleInfoTest, FileIsWhatTheModuleInfoToolWritesForThisModule) {
  const std::string text = ReadFile(InfoPath());
  ASSERT_FALSE(text.empty()) << InfoPath();
  EXPECT_EQ(text, WriteModuleInfoStyle(FromFactory()));
}

TEST_F(ModuleInfoTest, EveryFieldAgreesWithTheFactory) {
  Json5Value info;
  std::string error;
  ASSERT_TRUE(ParseJson5(ReadFile(InfoPath()), info, error)) << error;
  const Json5Value expected = FromFactory();

  const Json5Value* classes = info.Find("Classes");
  ASSERT_TRUE(classes);
  ASSERT_EQ(classes->elements.size(), 1u);
  ASSERT_EQ(expected.Find("Classes")->elements.size(), 1u);
  const Json5Value& cls = classes->elements[0];
  const Json5Value& want = expected.Find("Classes")->elements[0];
  for (const char* key : {"CID", "Category", "Name", "Vendor", "Version", "SDKVersion", "Class Flags", "Cardinality"}) {
    ASSERT_TRUE(cls.Find(key)) << key;
    EXPECT_EQ(cls.Find(key)->text, want.Find(key)->text) << key;
  }
  // The same class on every platform, with the vendor the factory names.
  EXPECT_EQ(cls.Find("CID")->text, "F2AEE70D00DE4F4E516E776B564C5831");
  EXPECT_EQ(cls.Find("Vendor")->text, "Quenwick");
  ASSERT_TRUE(cls.Find("Sub Categories"));
  ASSERT_EQ(cls.Find("Sub Categories")->elements.size(), 1u);
  EXPECT_EQ(cls.Find("Sub Categories")->elements[0].text, "Fx");

  const Json5Value* snapshots = cls.Find("Snapshots");
  ASSERT_TRUE(snapshots);
  ASSERT_EQ(snapshots->elements.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const Json5Value* path = snapshots->elements[i].Find("Path");
    ASSERT_TRUE(path);
    EXPECT_TRUE(FileExists(BundlePath() + "/" + path->text)) << path->text;
    EXPECT_EQ(snapshots->elements[i].Find("Scale Factor")->text, i == 0 ? "1" : "2");
  }

  const Json5Value* factory = info.Find("Factory Info");
  ASSERT_TRUE(factory);
  for (const char* key : {"Vendor", "URL", "E-Mail"})
    EXPECT_EQ(factory->Find(key)->text, expected.Find("Factory Info")->Find(key)->text) << key;
  const Json5Value* flags = factory->Find("Flags");
  ASSERT_TRUE(flags);
  EXPECT_TRUE(flags->Find("Unicode")->boolean);
  EXPECT_FALSE(flags->Find("Classes Discardable")->boolean);
  EXPECT_FALSE(flags->Find("Component Non Discardable")->boolean);
  EXPECT_EQ(info.Find("Name")->text, "Vellox");
  EXPECT_EQ(info.Find("Version")->text, "2.2.0");
}

// The reader that the checks above rely on: the file reads back to itself,
// and no cut-short copy of it passes as a document.
TEST_F(ModuleInfoTest, ReaderRoundTripsTheFileAndRefusesEveryTruncation) {
  const std::string text = ReadFile(InfoPath());
  Json5Value info;
  std::string error;
  ASSERT_TRUE(ParseJson5(text, info, error)) << error;
  EXPECT_EQ(WriteModuleInfoStyle(info), text);
  for (size_t n = 0; n < text.size(); ++n) {
    Json5Value partial;
    EXPECT_FALSE(ParseJson5(text.substr(0, n), partial, error)) << "accepted the first " << n << " bytes";
  }
}

}  // namespace
}  // namespace vellox::test
