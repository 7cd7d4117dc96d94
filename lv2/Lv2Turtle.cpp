#include "Lv2Turtle.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "IEffectBase.h"
#include "IEffectLv2.h"

namespace {

// Numbers as Turtle decimals that read back as the same double.
std::string Number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  std::string s = text;
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
  return s;
}

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

// The units vocabulary's name for a label, or empty.
const char* UnitFor(const char* label) {
  static const char* const kUnits[][2] = {{"Hz", "units:hz"}, {"s", "units:s"},  {"ms", "units:ms"},
                                          {"dB", "units:db"}, {"%", "units:pc"}, {"kHz", "units:khz"}};
  for (const auto& u : kUnits)
    if (!std::strcmp(label, u[0])) return u[1];
  return "";
}

std::string ControlPort(const IParamSlot& slot, int index) {
  std::string t = "  [\n    a lv2:InputPort , lv2:ControlPort ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += "    lv2:symbol \"" + Lv2PortSymbol(slot.Name()) + "\" ;\n";
  t += "    lv2:name " + Quoted(slot.Name()) + " ;\n";
  t += "    lv2:default " + Number(slot.Default()) + " ;\n";
  t += "    lv2:minimum " + Number(slot.Min()) + " ;\n";
  t += "    lv2:maximum " + Number(slot.Max()) + " ;\n";
  if (const char* unit = UnitFor(slot.Label()); *unit) t += std::string("    units:unit ") + unit + " ;\n";
  if (!slot.IsContinuous()) {
    t += slot.NDisplayTexts() > 0 ? "    lv2:portProperty lv2:integer , lv2:enumeration ;\n"
                                  : "    lv2:portProperty lv2:integer ;\n";
    for (int i = 0; i < slot.NDisplayTexts(); ++i) {
      const ParamDisplayText* entry = slot.GetDisplayText(i);
      t += "    lv2:scalePoint [ rdfs:label " + Quoted(entry->text) + " ; rdf:value " + Number(entry->value) + " ] ;\n";
    }
  }
  t.resize(t.size() - 2);  // the last " ;"
  return t + "\n  ]";
}

std::string AudioPort(bool input, int channel, int channels, int index) {
  const char* side = channels == 1 ? "" : (channel == 0 ? "_l" : "_r");
  const char* named = channels == 1 ? "" : (channel == 0 ? " L" : " R");
  return std::string("  [\n    a lv2:AudioPort , ") + (input ? "lv2:InputPort" : "lv2:OutputPort") + " ;\n" +
         "    lv2:index " + std::to_string(index) + " ;\n" + "    lv2:symbol \"" + (input ? "in" : "out") + side +
         "\" ;\n" + "    lv2:name \"" + (input ? "Input" : "Output") + named + "\"\n  ]";
}

}  // namespace

std::string Lv2PortSymbol(const char* name) {
  std::string symbol;
  for (const char* c = name; *c; ++c)
    symbol += std::isalnum(static_cast<unsigned char>(*c)) ? static_cast<char>(std::tolower(*c)) : '_';
  if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol = "_" + symbol;
  return symbol;
}

std::string Lv2TurtlePrefixes() {
  return "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
         "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
         "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
         "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
         "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
         "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
         "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";
}

std::string Lv2UiTurtle(const std::string& uiUri) {
  return "<" + uiUri +
         ">\n  a ui:X11UI ;\n"
         "  lv2:requiredFeature ui:parent , ui:idleInterface , <http://lv2plug.in/ns/ext/instance-access> ;\n"
         "  lv2:optionalFeature ui:resize ;\n"
         "  lv2:extensionData ui:idleInterface .\n";
}

std::string Lv2PluginTurtle(const IEffectBase& plug, const Lv2PluginNames& names) {
  const int n = plug.NParams();
  std::string t = "<" + names.uri + ">\n  a lv2:Plugin , lv2:AmplifierPlugin , doap:Project ;\n";
  t += "  doap:name " + Quoted(names.name.c_str()) + " ;\n";
  t += "  doap:maintainer [ foaf:name " + Quoted(names.maker.c_str()) + " ; foaf:homepage <" + names.homepage +
       "> ] ;\n";
  t += "  lv2:minorVersion " + std::to_string(names.minorVersion) + " ;\n";
  t += "  lv2:microVersion " + std::to_string(names.microVersion) + " ;\n";
  t += "  lv2:optionalFeature urid:map , lv2:hardRTCapable ;\n";
  t += "  lv2:extensionData state:interface ;\n";
  if (!names.uiUri.empty()) t += "  ui:ui <" + names.uiUri + "> ;\n";
  t += "  lv2:port\n";
  for (int i = 0; i < n; ++i) t += ControlPort(*plug.GetParam(i), i) + " ,\n";
  t += "  [\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " + std::to_string(IEffectLv2::EnabledPort(n)) +
       " ;\n    lv2:symbol \"enabled\" ;\n    lv2:name \"Enabled\" ;\n    lv2:default 1 ;\n"
       "    lv2:minimum 0 ;\n    lv2:maximum 1 ;\n    lv2:designation lv2:enabled ;\n"
       "    lv2:portProperty lv2:toggled , lv2:integer\n  ] ,\n";
  t += "  [\n    a lv2:InputPort , atom:AtomPort ;\n    lv2:index " + std::to_string(IEffectLv2::EventsPort(n)) +
       " ;\n    lv2:symbol \"events\" ;\n    lv2:name \"Events\" ;\n    atom:bufferType atom:Sequence ;\n"
       "    atom:supports time:Position , midi:MidiEvent ;\n    lv2:designation lv2:control ;\n"
       "    lv2:portProperty lv2:connectionOptional\n  ]";
  const int first = static_cast<int>(IEffectLv2::FirstAudioPort(n));
  for (int c = 0; c < names.channels; ++c) t += " ,\n" + AudioPort(true, c, names.channels, first + c);
  for (int c = 0; c < names.channels; ++c)
    t += " ,\n" + AudioPort(false, c, names.channels, first + names.channels + c);
  return t + " .\n";
}
