#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "GuiTestSupport.h"
#include "IKnobControl.h"

using Log = std::vector<std::string>;

class ValueFlowTest : public ::testing::Test {
protected:
  ValueFlowTest() : g(new IGraphicsHeadless(&fx, 100, 100)) {
    fade = new ProbeControl(&fx, IBox(0, 0, 10, 10), 0, &fx.log, "fade");
    linked = new ProbeControl(&fx, IBox(20, 0, 30, 10), -1, &fx.log, "linked");
    linked->AddLinkedParam(3);
    linked->AddLinkedParam(0);
    linked->AddLinkedParam(0);
    g->AddControl(fade);
    g->AddControl(linked);
  }
  RecordingEffect fx;
  IGraphicsHeadless* g;  // bound below, then owned by fx
  ProbeControl* fade;
  ProbeControl* linked;
};

TEST_F(ValueFlowTest, BindingDeliversEveryValueAndCreatesTheSurface) {
  fx.GetParam(0)->SetValue(27.5);  // FADE 5..50
  fx.BindGraphics(g);
  EXPECT_NE(g->DrawSurface(), nullptr);
  EXPECT_NE(g->ScratchBitmap(), nullptr);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(fade->DefaultValue(), 0.5);
  EXPECT_DOUBLE_EQ(linked->LinkedValue(0), fx.GetParam(3)->NormalizedValue());
  EXPECT_DOUBLE_EQ(linked->LinkedValue(1), 0.5);
  EXPECT_DOUBLE_EQ(linked->LinkedValue(2), 0.0);  // only the first matching link
  EXPECT_TRUE(fx.log.empty());
}

TEST_F(ValueFlowTest, PlainValuesOutsideTheRangeArriveAsZeroOrOne) {
  fx.BindGraphics(g);
  // On the editor's own thread the controls take a pushed value at once.
  const auto push = [&](int index, double value, bool isNormalized) {
    g->PushParamToControls(index, value, isNormalized);
  };
  push(0, 500.0, false);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(linked->LinkedValue(1), 1.0);
  push(0, -3.0, false);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.0);
  push(0, 16.25, false);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.25);
  // From any other thread the controls are left alone; the next sync shows
  // the slot's value.
  std::thread([&] {
    fx.GetParam(0)->SetFromNormalized(0.75);
    g->PushParamToControls(0, 0.75, true);
  }).join();
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.25);
  g->SyncParamValues();
  EXPECT_DOUBLE_EQ(fade->GetValue(), fx.GetParam(0)->NormalizedValue());
  EXPECT_NEAR(fade->GetValue(), 0.75, 0.01);
  push(17, 3.0, false);  // no such parameter: ignored
  g->ShowParamValue(17, 3.0, false);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.75);
  g->ShowParamValue(0, 50.0, false);  // the same conversion, shown at once
  EXPECT_DOUBLE_EQ(fade->GetValue(), 1.0);
  EXPECT_TRUE(fx.log.empty());
}

// The user's edit moves the slot; a host that moves it back before the next
// tick must still be shown, though the slot ends where the last tick saw it.
TEST_F(ValueFlowTest, AHostUndoingAnEditBeforeTheTickIsShown) {
  fx.BindGraphics(g);
  const double before = fx.GetParam(0)->NormalizedValue();
  fade->ReceiveUserValue(0.75);
  ASSERT_NE(fx.GetParam(0)->NormalizedValue(), before);
  fx.GetParam(0)->SetFromNormalized(before);
  g->SyncParamValues();
  EXPECT_DOUBLE_EQ(fade->GetValue(), before);
}

// Whatever changes a parameter without the editor (the host's controller
// calls, a state restore), the next tick shows it; while the user holds the
// control, the user's hand wins, and the value is taken up after the release.
TEST_F(ValueFlowTest, SlotChangesAreShownOnTheNextTickExceptUnderTheUsersHand) {
  fx.BindGraphics(g);
  while (Tick(*g)) {}
  for (double v : {0.1, 0.9, 0.9, 0.35}) {
    fx.GetParam(0)->SetFromNormalized(v);
    Tick(*g);
    EXPECT_DOUBLE_EQ(fade->GetValue(), fx.GetParam(0)->NormalizedValue()) << v;
    EXPECT_DOUBLE_EQ(linked->LinkedValue(1), fx.GetParam(0)->NormalizedValue()) << v;
    while (Tick(*g)) {}
  }
  g->DispatchPointerDown(5, 5, Left());
  fade->SetValue(0.6);  // the drag holds the knob here
  fx.GetParam(0)->SetFromNormalized(0.2);
  Tick(*g);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.6);
  g->DispatchPointerUp(5, 5, Left());
  fx.GetParam(0)->SetFromNormalized(0.8);
  Tick(*g);
  EXPECT_DOUBLE_EQ(fade->GetValue(), fx.GetParam(0)->NormalizedValue());
}

TEST_F(ValueFlowTest, RefreshAfterAStateChangeRepaintsTwice) {
  fx.BindGraphics(g);
  while (Tick(*g)) {}
  fx.GetParam(0)->SetValue(50.0);
  fx.RefreshParamControls();
  EXPECT_TRUE(Tick(*g));
  EXPECT_DOUBLE_EQ(fade->GetValue(), 1.0);
  EXPECT_TRUE(Tick(*g));
  EXPECT_FALSE(Tick(*g));
}

TEST_F(ValueFlowTest, ValuesOutsideTheControlRangeAreClamped) {
  fx.BindGraphics(g);
  fade->SetRange(0.2, 0.6);
  fade->ReceivePluginValue(0.9);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.6);
  fade->ReceiveUserValue(0.1);
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.2);
  fade->ReceivePluginValue(std::nan(""));  // garbage from a host never reaches the plug-in
  EXPECT_DOUBLE_EQ(fade->GetValue(), 0.2);
  EXPECT_EQ(fx.log, (Log{"send 0 0.2"}));
}

// Records the prompts instead of showing them; picks a menu entry.
class PromptRecorder : public IGraphicsHeadless {
public:
  using IGraphicsHeadless::IGraphicsHeadless;
  IMenuModel* RunPopupMenu(IMenuModel* menu, const IBox& box) override {
    shownBox = box;
    for (int i = 0; i < menu->NEntries(); ++i)
      entries.push_back(menu->entries[size_t(i)].text + (menu->entries[size_t(i)].flags & kMenuMarked ? "*" : ""));
    if (choice < 0) return nullptr;
    menu->chosen = choice;
    return menu;
  }
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                     IParamSlot* param) override {
    shownBox = box;
    entryText = text;
    entryParam = param;
  }
  int choice = -1;
  IBox shownBox;
  std::vector<std::string> entries;
  std::string entryText;
  IParamSlot* entryParam = nullptr;
};

TEST(PromptTest, ContinuousParameterOpensATextEntryCentredOnTheControl) {
  RecordingEffect fx(0);
  PromptRecorder g(&fx, 200, 200);
  IBitmapRef art;
  art.width = 101;
  art.height = 5917;
  art.frameCount = 61;
  auto* knob = new IKnobMultiControl(&fx, 191, 26, 0, art);
  g.AddControl(knob);

  g.DispatchPointerDown(200, 50, Right());  // prompts are disabled by default
  EXPECT_TRUE(g.entryText.empty());
  g.DispatchPointerUp(200, 50, Right());

  knob->SetPromptDisabled(false);
  g.DispatchPointerDown(200, 50, Right());
  EXPECT_EQ(g.entryText, "5.00");
  EXPECT_EQ(g.entryParam, fx.GetParam(0));
  EXPECT_EQ(g.shownBox, IBox(221, 66, 261, 82));  // 40 x 16 around (241, 74)
  EXPECT_TRUE(knob->IsPending());

  fx.GetParam(3)->SetNegateDisplay(true);
  fx.GetParam(3)->SetValue(-3.5);
  g.AskForParamValue(knob, fx.GetParam(3), &knob->Box());
  EXPECT_EQ(g.entryText, "3.50");
  fx.GetParam(4)->SetValue(1.0);
  g.AskForParamValue(knob, fx.GetParam(4), &knob->Box());
  EXPECT_EQ(g.entryText, "1");
}

TEST(PromptTest, NamedValuesOpenAMenuAndTheChoiceComesBack) {
  RecordingEffect fx(0);
  PromptRecorder g(&fx, 200, 200);
  IParamSlot* p = fx.GetParam(4);
  p->SetType(3);
  p->AddDisplayText(1, "On");
  p->AddDisplayText(0, "Off");
  p->SetValue(1.0);
  auto* c = new ProbeControl(&fx, IBox(10, 10, 50, 30), 4, &fx.log, "sw");
  c->SetPromptDisabled(false);
  g.AddControl(c);

  g.DispatchPointerDown(20, 20, Right());  // dismissed
  g.DispatchPointerUp(20, 20, Right());
  EXPECT_EQ(g.entries, (Log{"Off", "On*"}));
  EXPECT_EQ(g.shownBox, c->Box());
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.0);

  g.choice = 1;
  g.entries.clear();
  g.DispatchPointerDown(20, 20, Right());
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  EXPECT_EQ(fx.log,
            (Log{"begin 4", "sw down 20 20 right", "sw up", "end 4", "begin 4", "sw down 20 20 right", "send 4 1"}));

  g.AskForParamValue(nullptr, p, &c->Box());  // missing pieces: nothing
  g.AskForParamValue(c, p, nullptr);
  EXPECT_EQ(g.entries.size(), 2u);
}

TEST(MenuModelTest, NumberingPrefixesThePosition) {
  IMenuModel menu;
  for (int i = 0; i < 9; ++i) menu.AddEntry("item");
  EXPECT_EQ(menu.DisplayText(8), "item");
  menu.numbering = 1;
  EXPECT_EQ(menu.DisplayText(8), "9: item");
  menu.numbering = 2;
  EXPECT_EQ(menu.DisplayText(8), "09: item");
  menu.numbering = 3;
  EXPECT_EQ(menu.DisplayText(0), "001: item");
  EXPECT_EQ(menu.chosen, -1);
}
