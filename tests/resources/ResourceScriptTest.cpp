#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ArtworkTable.h"

// The resource script's text, compiled in at build time.
extern const unsigned char kArtworkScript[];
extern const int kArtworkScriptSize;

namespace {

// The script's statements: one per line, comments and blank lines removed,
// split into whitespace-separated words.
std::vector<std::vector<std::string>> Statements() {
  std::istringstream text(std::string(reinterpret_cast<const char*>(kArtworkScript), kArtworkScriptSize));
  std::vector<std::vector<std::string>> statements;
  std::string line;
  while (std::getline(text, line)) {
    line = line.substr(0, line.find("//"));
    std::istringstream words(line);
    std::vector<std::string> statement;
    for (std::string word; words >> word;) statement.push_back(word);
    if (!statement.empty()) statements.push_back(statement);
  }
  return statements;
}

}  // namespace

TEST(ResourceScript, SetsUsEnglishBeforeAnyResource) {
  const auto statements = Statements();
  ASSERT_FALSE(statements.empty());
  const std::vector<std::string> language = {"LANGUAGE", "9,", "1"};
  EXPECT_EQ(statements.front(), language);
}

TEST(ResourceScript, ListsExactlyTheEditorImagesAsPngResources) {
  std::map<int, std::string> files;
  for (const auto& statement : Statements()) {
    if (statement.front() == "LANGUAGE") continue;
    ASSERT_EQ(statement.size(), 3u) << statement.front();
    EXPECT_EQ(statement[1], "PNG") << statement.front();
    const int id = std::stoi(statement[0]);
    EXPECT_TRUE(files.emplace(id, statement[2]).second) << "id " << id << " listed twice";
  }
  ASSERT_EQ(files.size(), std::size(kExpectedArtwork));
  for (const ExpectedArtwork& expected : kExpectedArtwork) {
    ASSERT_EQ(files.count(expected.id), 1u) << expected.id;
    EXPECT_EQ(files[expected.id], "\"" + std::string(expected.scriptFile) + "\"");
  }
}
