// tools/setup.sh derives the deb-src entries it needs (for the libpng source
// package) from the apt sources already configured, never from a host name of
// its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class SetupSourcesTest : public testing::Test {
protected:
  void SetUp() override {
    root_ = testing::TempDir() + "vellox_setup_" + testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_EQ(std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/apt/sources.list.d'").c_str()), 0);
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }

  std::string Apt(const std::string& name) const { return root_ + "/apt/" + name; }
  std::string Out(const std::string& name) const { return root_ + "/out/" + name; }

  // Runs the derivation; the exit status, with stderr kept in `err`.
  int Derive(std::string& err) const {
    const std::string command =
        "bash '" VELLOX_SETUP_SCRIPT "' --deb-src-from '" + root_ + "/apt' '" + root_ + "/out' 2>'" + root_ + "/err'";
    const int status = std::system(command.c_str());
    err = Read(root_ + "/err");
    return status;
  }

  std::string root_;
};

TEST_F(SetupSourcesTest, EveryEnabledDeb822BinaryStanzaGetsItsSourceTwin) {
  Write(Apt("sources.list.d/main.sources"),
        "Types: deb\n"
        "# a comment\n"
        "URIs: http://mirror.test/debian\n"
        "Suites: bookworm bookworm-updates\n"
        "Components: main contrib\n"
        "Signed-By: /usr/share/keyrings/a.gpg\n"
        "\n"
        "Types: deb\n"
        "URIs: http://other.test/x\n"
        "Suites: s\n"
        "Components: c\n"
        "Enabled: no\n"
        "\n"
        "Types: deb deb-src\n"
        "URIs: http://third.test/y\n"
        "Suites: t\n"
        "Components: main\n"
        "Signed-By:\n"
        " -----BEGIN PGP PUBLIC KEY BLOCK-----\n"
        " .\n"
        " abc\n");
  Write(Apt("sources.list.d/only-src.sources"), "Types: deb-src\nURIs: http://src.test/\nSuites: a\nComponents: b\n");
  Write(Apt("sources.list.d/second.sources"), "Types: deb\nURIs: http://fourth.test/z\nSuites: u\nComponents: d\n");
  std::string err;
  ASSERT_EQ(Derive(err), 0) << err;
  EXPECT_EQ(Read(Out("vellox-deb-src.sources")),
            "Types: deb-src\n"
            "URIs: http://mirror.test/debian\n"
            "Suites: bookworm bookworm-updates\n"
            "Components: main contrib\n"
            "Signed-By: /usr/share/keyrings/a.gpg\n"
            "\n"
            "Types: deb-src\n"
            "URIs: http://third.test/y\n"
            "Suites: t\n"
            "Components: main\n"
            "Signed-By:\n"
            " -----BEGIN PGP PUBLIC KEY BLOCK-----\n"
            " .\n"
            " abc\n"
            "\n"
            "Types: deb-src\n"
            "URIs: http://fourth.test/z\n"
            "Suites: u\n"
            "Components: d\n");
  EXPECT_EQ(std::fopen(Out("vellox-deb-src.list").c_str(), "rb"), nullptr);
}

TEST_F(SetupSourcesTest, OneLineDebEntriesKeepTheirOptionsUrisAndSuites) {
  Write(Apt("sources.list"),
        "# deb http://commented.test/ x main\n"
        "deb [signed-by=/k.gpg arch=amd64] http://one.test/debian bookworm main non-free\n"
        "deb-src http://already.test/ y main\n"
        "deb cdrom:[Debian 12]/ bookworm main\n");
  Write(Apt("sources.list.d/extra.list"), "  deb http://two.test/ z c\n");
  std::string err;
  ASSERT_EQ(Derive(err), 0) << err;
  EXPECT_EQ(Read(Out("vellox-deb-src.list")),
            "deb-src [signed-by=/k.gpg arch=amd64] http://one.test/debian bookworm main non-free\n"
            "deb-src http://two.test/ z c\n");
  EXPECT_EQ(std::fopen(Out("vellox-deb-src.sources").c_str(), "rb"), nullptr);
}

TEST_F(SetupSourcesTest, StopsWithAMessageWhenNoBinarySourceIsConfigured) {
  Write(Apt("sources.list"), "# nothing here\ndeb-src http://src.test/ a b\n");
  Write(Apt("sources.list.d/off.sources"),
        "Types: deb\nURIs: http://off.test/\nSuites: a\nComponents: b\nEnabled: no\n");
  std::string err;
  EXPECT_NE(Derive(err), 0);
  EXPECT_NE(err.find("no Debian package source (deb) is configured"), std::string::npos) << err;
  EXPECT_EQ(std::fopen(Out("vellox-deb-src.list").c_str(), "rb"), nullptr);
  EXPECT_EQ(std::fopen(Out("vellox-deb-src.sources").c_str(), "rb"), nullptr);
}

TEST(SetupScript, NamesNoPackageHostOfItsOwn) {
  const std::string script = Read(VELLOX_SETUP_SCRIPT);
  ASSERT_NE(script.find("write_deb_src_entries"), std::string::npos);
  EXPECT_EQ(script.find("://"), std::string::npos);
}

}  // namespace
