#include "Lv2EditorUi.h"

#include <cstring>
#include <new>

#include "IEffectLv2.h"
#include "IGraphics.h"
#include "IGraphicsPlatform.h"
#include "lv2/instance-access/instance-access.h"
#include "x11/Lv2IdleRunLoop.h"

namespace {

struct EditorUi {
  IEffectLv2* effect = nullptr;
  IGraphics* editor = nullptr;
  Lv2IdleRunLoop loop;
};

int Idle(LV2UI_Handle handle) {
  try {
    static_cast<EditorUi*>(handle)->loop.Idle();
    return 0;
  } catch (...) {
    return 1;
  }
}

const LV2UI_Idle_Interface kIdle = {Idle};

}  // namespace

// Without the plug-in instance, a parent window or an editor the UI refuses.
LV2UI_Handle Lv2EditorUiInstantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                                    LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features) {
  void* parent = nullptr;
  IEffectLv2* effect = nullptr;
  const LV2UI_Resize* resize = nullptr;
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    if (!std::strcmp((*f)->URI, LV2_UI__parent)) parent = (*f)->data;
    if (!std::strcmp((*f)->URI, LV2_INSTANCE_ACCESS_URI)) effect = static_cast<IEffectLv2*>((*f)->data);
    if (!std::strcmp((*f)->URI, LV2_UI__resize)) resize = static_cast<const LV2UI_Resize*>((*f)->data);
  }
  if (!effect || !parent || !widget || !effect->Graphics()) return nullptr;
  try {
    auto* ui = new EditorUi();
    ui->effect = effect;
    ui->editor = static_cast<IGraphics*>(effect->Graphics());
    ui->editor->AdoptCallingThread();
    effect->BindUiWriter(write, controller);
    if (!OpenPlatformEditorWindow(*ui->editor, parent, &ui->loop)) {
      effect->BindUiWriter(nullptr, nullptr);
      delete ui;
      return nullptr;
    }
    effect->EditorOpened();
    *widget = ui->editor->EditorWindowHandle();
    if (resize) resize->ui_resize(resize->handle, ui->editor->Width(), ui->editor->Height());
    return ui;
  } catch (...) {
    return nullptr;
  }
}

void Lv2EditorUiCleanup(LV2UI_Handle handle) {
  auto* ui = static_cast<EditorUi*>(handle);
  try {
    ui->editor->CloseEditorWindow();
    ui->effect->EditorClosed();
    ui->effect->BindUiWriter(nullptr, nullptr);
  } catch (...) {}
  delete ui;
}

// The editor shows the plug-in's values on its own ticks.
void Lv2EditorUiPortEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

const void* Lv2EditorUiExtensionData(const char* uri) {
  return uri && !std::strcmp(uri, LV2_UI__idleInterface) ? &kIdle : nullptr;
}
