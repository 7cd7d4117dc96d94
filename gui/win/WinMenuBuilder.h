#pragma once

#include <vector>

#include <windows.h>

#include "IMenuModel.h"

// Turns a menu model (with its submenus) into a system popup menu whose
// command ids number the entries: each menu reserves the next block of ids,
// one per entry in order (separators included), before its submenus are
// built in entry order. A chosen id maps back to the menu and entry index.
class WinMenuBuilder {
public:
  WinMenuBuilder() = default;
  WinMenuBuilder(const WinMenuBuilder&) = delete;
  WinMenuBuilder& operator=(const WinMenuBuilder&) = delete;
  ~WinMenuBuilder();

  // Builds the system menu for `menu`; null when the top menu cannot be
  // created. The builder owns the result until it is destroyed.
  HMENU Build(IMenuModel* menu);

  // The menu whose block holds `id`, with the entry index; null when no
  // block does.
  IMenuModel* Resolve(int id, int& index) const;

private:
  struct Block {
    IMenuModel* menu;
    int start;
  };

  HMENU BuildMenu(IMenuModel* menu);

  HMENU mRoot = nullptr;
  int mNextId = 0;
  std::vector<Block> mBlocks;
};
