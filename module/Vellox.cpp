#include "Vellox.h"

#include "VelloxEditor.h"

Vellox::Vellox() : VelloxEffect<IEffectVST3>(&BuildVelloxEditor) {}

bool Vellox::SelectProgramFromEditor(int index) { return EditProgram(index); }
