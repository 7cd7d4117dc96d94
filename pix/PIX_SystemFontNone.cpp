// Platforms without GDI have no text renderer: the GUI draws no text there.
#include "PIX_Font.h"

PIX_IFont* CreateSystemFont(const char*, int, int, int, int) { return nullptr; }
