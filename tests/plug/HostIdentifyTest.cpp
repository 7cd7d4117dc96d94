#include <gtest/gtest.h>

#include <string>

#include "HostIdentify.h"

TEST(HostIdentify, KnownNamesMapToTheirCodes) {
  EXPECT_EQ(IdentifyHost("Cubase 10.5"), kHostIdCubase);
  EXPECT_EQ(IdentifyHost("REAPER"), kHostIdReaper);
  EXPECT_EQ(IdentifyHost("Ableton Live 11"), kHostIdLive);
  EXPECT_EQ(IdentifyHost("VST3PluginTestHost"), kHostIdVst3TestHost);
  EXPECT_EQ(IdentifyHost("ProTools"), kHostIdProTools);
  EXPECT_EQ(IdentifyHost("Renoise"), 29);
  EXPECT_EQ(IdentifyHost("OpenMPT"), 30);
}

TEST(HostIdentify, NoMatchIsUnknownNotUnidentified) {
  EXPECT_EQ(IdentifyHost("Pro Tools"), kHostIdUnknown);
  EXPECT_EQ(IdentifyHost(""), kHostIdUnknown);
  EXPECT_EQ(IdentifyHost(nullptr), kHostIdUnknown);
  EXPECT_EQ(IdentifyHost("Some Host"), 0);
  EXPECT_NE(kHostIdUnknown, kHostIdUnidentified);
}

TEST(HostIdentify, TableOrderSettlesOverlaps) {
  EXPECT_EQ(IdentifyHost("Nuendo Cubase"), kHostIdCubase);
  EXPECT_EQ(IdentifyHost("Oliver's Deliverer"), kHostIdLive);
  EXPECT_EQ(IdentifyHost("Digital ProTools"), kHostIdDigital);
}

TEST(HostIdentify, LongNamesAreCutNotOverrun) {
  const std::string longName = std::string(300, 'x') + "reaper";
  EXPECT_EQ(IdentifyHost(longName.c_str()), kHostIdUnknown);
  const std::string fits = std::string(240, 'x') + "reaper";
  EXPECT_EQ(IdentifyHost(fits.c_str()), kHostIdReaper);
}

TEST(HostIdentify, EveryEntryInTableOrder) {
  struct Entry {
    const char* text;
    int32_t code;
  };
  const Entry table[] = {
      {"Cubase", 3},      {"Reaper", 1},      {"Nuendo", 4},
      {"Cakewalk", 5},    {"Samplitude", 8},  {"Fruity", 7},
      {"Live", 9},        {"Melodyne", 12},   {"VstManLib", 13},
      {"AULab", 14},      {"GarageBand", 22}, {"Forte", 15},
      {"Chainer", 16},    {"Audition", 17},   {"Orion", 18},
      {"SAWStudio", 20},  {"Logic", 21},      {"Digital", 23},
      {"AudioMulch", 25}, {"PreSonus", 26},   {"VST3PluginTestHost", 27},
      {"ProTools", 2},    {"Ardour", 28},     {"OpenMPT", 30},
      {"Renoise", 29},    {"Standalone", 24},
  };
  const size_t n = sizeof table / sizeof table[0];
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(IdentifyHost(table[i].text), table[i].code) << table[i].text;
    // An earlier entry wins wherever it stands in the name.
    for (size_t j = i + 1; j < n; ++j) {
      const std::string name = std::string(table[j].text) + " " + table[i].text;
      EXPECT_EQ(IdentifyHost(name.c_str()), table[i].code) << name;
    }
  }
}
