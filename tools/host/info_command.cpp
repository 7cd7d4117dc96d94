// `vellox info`: the module as a host sees it.
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli.h"
#include "option_reader.h"
#include "parameter_assignment.h"
#include "plugin_instance.h"
#include "plugin_search.h"
#include "utf16_text.h"

namespace vellox::cli {

using namespace Steinberg;
using namespace Steinberg::Vst;
using host::Utf16ToUtf8;

namespace {

std::string Field(const char* text, size_t size) { return std::string(text, strnlen(text, size)); }

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// The class id as moduleinfo.json and the snapshot's name write it, on every platform.
std::string CidHex(const TUID cid) {
  FUID::String text{};
  FUID::fromTUID(cid).toString(text);
  return text;
}

std::string FlagNames(int32 flags) {
  static const struct {
    int32 bit;
    const char* name;
  } kNames[] = {{ParameterInfo::kCanAutomate, "automate"}, {ParameterInfo::kIsReadOnly, "read-only"},
                {ParameterInfo::kIsWrapAround, "wrap"},    {ParameterInfo::kIsList, "list"},
                {ParameterInfo::kIsHidden, "hidden"},      {ParameterInfo::kIsProgramChange, "program-change"},
                {ParameterInfo::kIsBypass, "bypass"}};
  std::string text;
  for (const auto& entry : kNames)
    if (flags & entry.bit) text += (text.empty() ? "" : ",") + std::string(entry.name);
  return text;
}

void PrintFactory(IPluginFactory& factory, Console& console) {
  PFactoryInfo info{};
  if (factory.getFactoryInfo(&info) == kResultOk) {
    console.out << "factory\n"
                << "  vendor       " << Field(info.vendor, sizeof info.vendor) << "\n"
                << "  url          " << Field(info.url, sizeof info.url) << "\n"
                << "  email        " << Field(info.email, sizeof info.email) << "\n"
                << "  flags        " << info.flags << "\n";
  }
  IPluginFactory2* factory2 = nullptr;
  factory.queryInterface(IPluginFactory2::iid, reinterpret_cast<void**>(&factory2));
  const int32 count = factory.countClasses();
  console.out << "classes: " << count << "\n";
  for (int32 i = 0; i < count; ++i) {
    PClassInfo2 info2{};
    PClassInfo info{};
    if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk) {
      console.out << "  [" << i << "] " << Field(info2.name, sizeof info2.name) << "\n"
                  << "      cid            " << CidHex(info2.cid) << "\n"
                  << "      category       " << Field(info2.category, sizeof info2.category) << "\n"
                  << "      subcategories  " << Field(info2.subCategories, sizeof info2.subCategories) << "\n"
                  << "      vendor         " << Field(info2.vendor, sizeof info2.vendor) << "\n"
                  << "      version        " << Field(info2.version, sizeof info2.version) << "\n"
                  << "      sdk version    " << Field(info2.sdkVersion, sizeof info2.sdkVersion) << "\n"
                  << "      cardinality    " << Hex(static_cast<uint32_t>(info2.cardinality), 8) << "\n"
                  << "      class flags    " << info2.classFlags << "\n";
    } else if (factory.getClassInfo(i, &info) == kResultOk) {
      console.out << "  [" << i << "] " << Field(info.name, sizeof info.name) << "\n"
                  << "      cid            " << CidHex(info.cid) << "\n"
                  << "      category       " << Field(info.category, sizeof info.category) << "\n";
    }
  }
  if (factory2) factory2->release();
}

// Six significant digits keep a list's default (NOTE's 8/14) within its column.
std::string ShortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

void PrintParameters(IEditController& controller, Console& console) {
  const int32 count = controller.getParameterCount();
  console.out << "parameters: " << count << "\n";
  char line[512];
  std::snprintf(line, sizeof line, "  %-10s  %-8s  %-5s  %5s  %8s  %4s  %-8s  %s\n", "id", "title", "units", "steps",
                "default", "unit", "flags", "value");
  console.out << line;
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo info{};
    if (controller.getParameterInfo(i, info) != kResultOk) continue;
    const ParamValue current = controller.getParamNormalized(info.id);
    String128 shown{};
    std::string value =
        controller.getParamStringByValue(info.id, current, shown) == kResultOk ? Utf16ToUtf8(shown, 128) : "(no text)";
    value += " [" + FormatNumber(current) + "]";
    std::snprintf(line, sizeof line, "  %-10s  %-8s  %-5s  %5d  %8s  %4d  %-8s  %s %s\n", Hex(info.id, 8).c_str(),
                  Utf16ToUtf8(info.title, 128).c_str(), Utf16ToUtf8(info.units, 128).c_str(), info.stepCount,
                  ShortNumber(info.defaultNormalizedValue).c_str(), info.unitId, Hex(info.flags, 5).c_str(),
                  value.c_str(), FlagNames(info.flags).c_str());
    console.out << line;
  }
}

void PrintUnits(IUnitInfo& units, Console& console) {
  const int32 count = units.getUnitCount();
  console.out << "units: " << count << "\n";
  for (int32 i = 0; i < count; ++i) {
    UnitInfo info{};
    if (units.getUnitInfo(i, info) != kResultOk) continue;
    console.out << "  " << info.id << " \"" << Utf16ToUtf8(info.name, 128) << "\" parent " << info.parentUnitId
                << " program list " << info.programListId << "\n";
  }
  const int32 lists = units.getProgramListCount();
  console.out << "program lists: " << lists << "\n";
  for (int32 i = 0; i < lists; ++i) {
    ProgramListInfo list{};
    if (units.getProgramListInfo(i, list) != kResultOk) continue;
    console.out << "  list " << Hex(static_cast<uint32_t>(list.id), 8) << " \"" << Utf16ToUtf8(list.name, 128) << "\", "
                << list.programCount << " program(s)\n";
    for (int32 p = 0; p < list.programCount; ++p) {
      String128 name{};
      if (units.getProgramName(list.id, p, name) == kResultOk)
        console.out << "    " << p << " \"" << Utf16ToUtf8(name, 128) << "\"\n";
    }
  }
}

void PrintClapFactory(const clap_plugin_factory_t& factory, Console& console) {
  const uint32_t count = factory.get_plugin_count(&factory);
  console.out << "CLAP plug-ins: " << count << "\n";
  for (uint32_t i = 0; i < count; ++i) {
    const clap_plugin_descriptor_t* d = factory.get_plugin_descriptor(&factory, i);
    if (!d) continue;
    console.out << "  " << (d->id ? d->id : "") << " \"" << (d->name ? d->name : "") << "\" by "
                << (d->vendor ? d->vendor : "") << ", version " << (d->version ? d->version : "") << "\n";
  }
}

// The programs a host offers through the program-change parameter: one entry per step.
void PrintProgramParameter(IEditController& controller, Console& console) {
  const int32 count = controller.getParameterCount();
  for (int32 i = 0; i < count; ++i) {
    ParameterInfo info{};
    if (controller.getParameterInfo(i, info) != kResultOk || !(info.flags & ParameterInfo::kIsProgramChange)) continue;
    const int32 entries = info.stepCount + 1;
    console.out << "programs through " << Utf16ToUtf8(info.title, 128) << ": " << entries << "\n";
    for (int32 step = 0; step < entries; ++step) {
      String128 name{};
      const ParamValue value = info.stepCount > 0 ? static_cast<ParamValue>(step) / info.stepCount : 0.0;
      const bool named = controller.getParamStringByValue(info.id, value, name) == kResultOk;
      console.out << "    " << step << " " << (named ? "\"" + Utf16ToUtf8(name, 128) + "\"" : "(no name)") << "\n";
    }
  }
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, Console& console) {
  std::string plugin, option, error;
  OptionReader reader(args);
  while (reader.Next(option)) {
    if (option != "--plugin") return Fail(console, "unknown option \"" + option + "\" for info", kExitUsage);
    if (!reader.Once(option, error) || !reader.Value(option, plugin, error)) return Fail(console, error, kExitUsage);
  }
  SearchPlace chosen;
  if (!ChoosePlugin(plugin, chosen, error)) return Fail(console, error);

  std::unique_ptr<host::ModuleLibrary> module = host::ModuleLibrary::Load(chosen.bundle, error);
  if (!module) return Fail(console, error);
  console.out << "plug-in " << chosen.bundle << " (" << chosen.label << ")\n"
              << "module " << module->BinaryPath() << "\n";
  if (module->IsClap())
    PrintClapFactory(*module->ClapFactory(), console);
  else if (module->Factory())
    PrintFactory(*module->Factory(), console);
  std::unique_ptr<host::PluginInstance> instance = host::PluginInstance::Create(*module, error);
  if (!instance) return Fail(console, error);
  PrintParameters(*instance->Controller(), console);
  if (instance->Units()) PrintUnits(*instance->Units(), console);
  PrintProgramParameter(*instance->Controller(), console);
  return kExitOk;
}

}  // namespace vellox::cli
