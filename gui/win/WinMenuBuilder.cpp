#include "WinMenuBuilder.h"

WinMenuBuilder::~WinMenuBuilder() {
  if (mRoot) DestroyMenu(mRoot);
}

HMENU WinMenuBuilder::Build(IMenuModel* menu) {
  if (mRoot) DestroyMenu(mRoot);
  mRoot = nullptr;
  mNextId = 0;
  mBlocks.clear();
  if (menu) mRoot = BuildMenu(menu);
  return mRoot;
}

HMENU WinMenuBuilder::BuildMenu(IMenuModel* menu) {
  HMENU handle = CreatePopupMenu();
  if (!handle) return nullptr;
  const int start = mNextId;
  const int count = menu->NEntries();
  mNextId += count;
  mBlocks.push_back(Block{menu, start});

  for (int i = 0; i < count; ++i) {
    const IMenuEntry& entry = menu->entries[size_t(i)];
    if (entry.flags & kMenuSeparator) {
      AppendMenuA(handle, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::string text = menu->DisplayText(i);
    if (entry.submenu) {
      HMENU submenu = BuildMenu(entry.submenu);
      if (submenu) AppendMenuA(handle, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text.c_str());
      continue;
    }
    UINT flags = MF_STRING;
    if (entry.flags & kMenuGrayed) flags |= MF_GRAYED;
    if (entry.flags & kMenuDisabled) flags |= MF_DISABLED;
    if (entry.flags & kMenuMarked) flags |= MF_CHECKED;
    AppendMenuA(handle, flags, static_cast<UINT_PTR>(start + i), text.c_str());
  }
  return handle;
}

IMenuModel* WinMenuBuilder::Resolve(int id, int& index) const {
  index = -1;
  for (const Block& block : mBlocks) {
    if (id >= block.start && id < block.start + block.menu->NEntries()) {
      index = id - block.start;
      return block.menu;
    }
  }
  return nullptr;
}
