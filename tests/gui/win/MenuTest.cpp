// Popup menus: command id blocks, numbering, the mapping of a choice back to
// its menu, and a real menu driven by the keyboard.

#include "EditorFixture.h"
#include "IControl.h"
#include "WinMenuBuilder.h"

namespace {

std::string ItemText(HMENU menu, int position) {
  char text[128] = {};
  GetMenuStringA(menu, UINT(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

void PostKeys(HWND window, std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
  }
}

// Where the open popup menu showed, found while the menu runs; then the menu
// is dismissed.
RECT gMenuRect;
HWND gMenuOwner;
void CALLBACK MeasureMenuThenDismiss(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND menu = FindWindowA("#32768", nullptr);
  if (menu) GetWindowRect(menu, &gMenuRect);
  PostKeys(gMenuOwner, {VK_ESCAPE});
}

}  // namespace

TEST(MenuBuilder, EachMenuReservesItsBlockBeforeItsSubmenus) {
  IMenuModel deep, first, second, top;
  deep.AddEntry("Deep");
  first.AddEntry("Nested", 0, &deep);
  first.AddEntry("Plain");
  second.AddEntry("Only");
  top.AddEntry("First", 0, &first);
  top.AddEntry("", kMenuSeparator);
  top.AddEntry("Second", 0, &second);

  WinMenuBuilder builder;
  HMENU root = builder.Build(&top);
  ASSERT_NE(root, nullptr);
  // Top 0..2, first 3..4, deep 5, second 6.
  ASSERT_EQ(GetMenuItemCount(root), 3);
  HMENU firstMenu = GetSubMenu(root, 0);
  HMENU secondMenu = GetSubMenu(root, 2);
  ASSERT_NE(firstMenu, nullptr);
  ASSERT_NE(secondMenu, nullptr);
  EXPECT_EQ(GetMenuState(root, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
  EXPECT_EQ(GetMenuItemID(firstMenu, 1), 4u);
  EXPECT_EQ(GetMenuItemID(GetSubMenu(firstMenu, 0), 0), 5u);
  EXPECT_EQ(GetMenuItemID(secondMenu, 0), 6u);

  int index = -1;
  EXPECT_EQ(builder.Resolve(1, index), &top);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(builder.Resolve(4, index), &first);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(builder.Resolve(5, index), &deep);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(builder.Resolve(6, index), &second);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(builder.Resolve(7, index), nullptr);
  EXPECT_EQ(index, -1);
}

TEST(MenuBuilder, EntriesCarryTheirFlagsAndNumbering) {
  IMenuModel menu;
  menu.numbering = 2;
  for (int i = 0; i < 9; ++i) menu.AddEntry("Entry " + std::to_string(i));
  menu.entries[0].flags = kMenuGrayed;
  menu.entries[1].flags = kMenuMarked;
  menu.entries[2].flags = kMenuDisabled;
  WinMenuBuilder builder;
  HMENU root = builder.Build(&menu);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(ItemText(root, 8), "09: Entry 8");
  EXPECT_EQ(ItemText(root, 0), "01: Entry 0");
  EXPECT_TRUE(GetMenuState(root, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(root, 1, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(root, 2, MF_BYPOSITION) & MF_DISABLED);
  EXPECT_FALSE(GetMenuState(root, 3, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED | MF_DISABLED));

  menu.numbering = 1;
  EXPECT_EQ(ItemText(builder.Build(&menu), 8), "9: Entry 8");
  menu.numbering = 3;
  EXPECT_EQ(ItemText(builder.Build(&menu), 8), "009: Entry 8");
  menu.numbering = 0;
  EXPECT_EQ(ItemText(builder.Build(&menu), 8), "Entry 8");
}

class PopupMenuTest : public EditorFixture {};

TEST_F(PopupMenuTest, ChoosingASubmenuEntryReturnsTheSubmenu) {
  Build();
  ASSERT_NE(Open(), nullptr);
  IMenuModel sub, top;
  sub.AddEntry("One");
  sub.AddEntry("Two");
  sub.AddEntry("Three");
  top.AddEntry("Alpha");
  top.AddEntry("Beta");
  top.AddEntry("More", 0, &sub);
  // Down to "More", open it, down to "Two", choose.
  PostKeys(editor, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
  IMenuModel* chosen = graphics->RunPopupMenu(&top, IBox(10, 10, 50, 30));
  EXPECT_EQ(chosen, &sub);
  EXPECT_EQ(sub.chosen, 1);
  EXPECT_EQ(top.chosen, -1);
}

TEST_F(PopupMenuTest, DismissingTheMenuChoosesNothing) {
  Build();
  ASSERT_NE(Open(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return !WaitsForPaintAt(editor, {{0, 0}}); }));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(40, 40));
  ASSERT_EQ(graphics->CapturedControl(), 1);
  IMenuModel top;
  top.AddEntry("Alpha");
  PostKeys(editor, {VK_ESCAPE});
  EXPECT_EQ(graphics->RunPopupMenu(&top, IBox(10, 10, 50, 30)), nullptr);
  EXPECT_EQ(top.chosen, -1);
  // The whole editor is repainted after the menu, not only where it was.
  EXPECT_TRUE(WaitsForPaintAt(editor, {{0, 0}, {239, 0}, {0, 119}, {239, 119}}));
  // The menu ends any pointer capture of the editor's controls.
  EXPECT_EQ(graphics->CapturedControl(), -1);
  EXPECT_EQ(graphics->LastPointerX(), -1);
  // Without a window there is no menu.
  graphics->CloseEditorWindow();
  EXPECT_EQ(graphics->RunPopupMenu(&top, IBox(10, 10, 50, 30)), nullptr);
}

TEST_F(PopupMenuTest, ANamedParameterIsAskedForWithAMenu) {
  Build(2);
  RecordingControl* mode = new RecordingControl(plug, IBox(150, 60, 190, 90), 2);
  mode->SetPromptDisabled(false);
  graphics->AddControl(mode);
  ASSERT_NE(Open(), nullptr);
  PostKeys(editor, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
  Send(WM_RBUTTONDOWN, MK_RBUTTON, PointerAt(160, 70));
  Send(WM_RBUTTONUP, 0, PointerAt(160, 70));
  EXPECT_DOUBLE_EQ(mode->GetValue(), 1.0);
  EXPECT_EQ(plug->LastEdit(2), 1.0);
}

TEST_F(PopupMenuTest, TheMenuOpensAtTheBoxsLowerLeftCorner) {
  Build();
  ASSERT_NE(Open(), nullptr);
  IMenuModel top;
  top.AddEntry("Alpha");
  gMenuRect = RECT{};
  gMenuOwner = editor;
  SetTimer(nullptr, 0, 50, MeasureMenuThenDismiss);
  EXPECT_EQ(graphics->RunPopupMenu(&top, IBox(30, 20, 70, 45)), nullptr);
  POINT corner = {30, 45};
  ClientToScreen(editor, &corner);
  EXPECT_EQ(gMenuRect.left, corner.x);
  EXPECT_EQ(gMenuRect.top, corner.y);
}
