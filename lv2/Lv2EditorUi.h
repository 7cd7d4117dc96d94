#pragma once

#include "lv2/ui/ui.h"

// The X11 UI of an LV2 plug-in bound to IEffectLv2: the effect's own editor,
// reached through instance-access, in the host's parent window, run by the
// host's idle calls. Edits go to the host as control port writes.
LV2UI_Handle Lv2EditorUiInstantiate(const LV2UI_Descriptor* descriptor, const char* pluginUri, const char* bundlePath,
                                    LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                    const LV2_Feature* const* features);
void Lv2EditorUiCleanup(LV2UI_Handle handle);
void Lv2EditorUiPortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer);
const void* Lv2EditorUiExtensionData(const char* uri);
