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
