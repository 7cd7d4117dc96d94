#pragma once

#include <string>
#include <vector>

class IMenuModel;

enum { kMenuGrayed = 1, kMenuDisabled = 2, kMenuMarked = 4, kMenuSeparator = 8 };

struct IMenuEntry {
  std::string text;
  IMenuModel* submenu = nullptr;  // owned by whoever built the menu
  int flags = 0;                  // kMenu* bits; a separator's text is ignored
};

// A popup menu as the core builds it; the window layer shows it and records
// the choice in `chosen` of the menu the chosen entry belongs to.
class IMenuModel {
public:
  int numbering = 0;  // 0 none; 1..3 digits of a "N: " prefix
  int chosen = -1;
  std::vector<IMenuEntry> entries;

  void AddEntry(const std::string& text, int flags = 0, IMenuModel* submenu = nullptr) {
    entries.push_back(IMenuEntry{text, submenu, flags});
  }
  int NEntries() const { return int(entries.size()); }

  // The text shown for entry i, with its 1-based position prefixed when the
  // menu is numbered.
  std::string DisplayText(int i) const;
};
