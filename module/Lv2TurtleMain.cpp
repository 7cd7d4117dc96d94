// Writes the LV2 bundle's manifest.ttl and vellox.ttl from the effect's
// parameter table, so that every parameter the effect defines is described.
// Usage: vellox_lv2_turtle BUNDLE_DIR BINARY_NAME
#include <cstdio>
#include <fstream>
#include <string>

#include "Lv2Turtle.h"
#include "VelloxEffect.h"
#include "VelloxIdentity.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY_NAME\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const std::string binary = argv[2];
  VelloxEffect<IEffectBase> effect;
  Lv2PluginNames names;
  names.name = kVelloxName;
  names.maker = kVelloxVendor;
  names.homepage = kVelloxUrl;
  names.minorVersion = 2 * ((kVelloxVersion >> 8) & 0xff);  // even: a release
  names.microVersion = kVelloxVersion & 0xff;
  std::string plugins = Lv2TurtlePrefixes();
  std::string manifest = Lv2TurtlePrefixes();
  names.uiUri = kVelloxLv2UiUri;
  for (const char* uri : {kVelloxLv2StereoUri, kVelloxLv2MonoUri}) {
    names.uri = uri;
    names.channels = uri == kVelloxLv2MonoUri ? 1 : 2;
    plugins += Lv2PluginTurtle(effect, names) + "\n";
    manifest +=
        "<" + names.uri + ">\n  a lv2:Plugin ;\n  lv2:binary <" + binary + "> ;\n  rdfs:seeAlso <vellox.ttl> .\n\n";
  }
  plugins += Lv2UiTurtle(kVelloxLv2UiUri);
  manifest += "<" + std::string(kVelloxLv2UiUri) + ">\n  a ui:X11UI ;\n  ui:binary <" + binary +
              "> ;\n  rdfs:seeAlso <vellox.ttl> .\n";
  if (!WriteFile(dir + "/vellox.ttl", plugins) || !WriteFile(dir + "/manifest.ttl", manifest)) {
    std::fprintf(stderr, "cannot write the Turtle files into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
