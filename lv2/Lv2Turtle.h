#pragma once

#include <string>

class IEffectBase;

// What the Turtle description says besides the parameters.
struct Lv2PluginNames {
  std::string uri;       // the plug-in's URI
  std::string uiUri;     // its X11 UI's URI
  std::string name;      // doap:name
  std::string maker;     // the maintainer's name
  std::string homepage;  // the maintainer's page
  int channels = 2;      // audio inputs and outputs, each
  int minorVersion = 0;
  int microVersion = 0;
};

// The plug-in's description, made from the core's parameter table: one
// control port per parameter (symbol from its name, range, default, unit;
// an enumeration of its texts when stepped), the host's enable switch, the
// atom input and the audio ports, in IEffectLv2's port order.
std::string Lv2PluginTurtle(const IEffectBase& plug, const Lv2PluginNames& names);

// The description of the X11 UI: the features it needs of its host.
std::string Lv2UiTurtle(const std::string& uiUri);

// The prefixes every description of the bundle starts with.
std::string Lv2TurtlePrefixes();

// A port symbol from a parameter name: lower case, a C identifier.
std::string Lv2PortSymbol(const char* name);
