#include <cmath>
#include <cstdio>
#include <cstring>

#include "../plug/IParamSlot.h"
#include "IControl.h"
#include "IGraphics.h"

// Parameters with named values are offered as a menu of those names; every
// other parameter gets a text entry holding its current value.
void IGraphics::AskForParamValue(IControl* control, IParamSlot* param, const IBox* box) {
  if (!control || !param || !box) return;

  int type = param->Type();
  if (type == 3 || (type == 1 && param->NDisplayTexts() > 0)) {
    char current[kParamDisplayMax];
    param->DisplayString(param->Value(), current, sizeof current);
    IMenuModel menu;
    for (int i = 0; i < param->NDisplayTexts(); ++i) {
      const char* text = "";
      for (int k = 0; k < param->NDisplayTexts(); ++k) {
        const ParamDisplayText* entry = param->GetDisplayText(k);
        if (entry->value == i) {
          text = entry->text;
          break;
        }
      }
      menu.AddEntry(text, std::strcmp(text, current) == 0 ? kMenuMarked : 0);
    }
    IMenuModel* result = RunPopupMenu(&menu, *box);
    if (result) control->ReceiveUserValue(param->ToNormalized(double(result->chosen)));
    return;
  }

  double value = param->NegateDisplay() ? -param->Value() : param->Value();
  char text[64];
  if (param->Precision() == 0)
    std::snprintf(text, sizeof text, "%d", int(std::trunc(value)));
  else
    std::snprintf(text, sizeof text, "%.*f", int(param->Precision()), value);
  OpenTextEntry(control, control->TextStyle(), *box, text, param);
}
