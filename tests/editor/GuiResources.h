#pragma once
// How many GDI and USER objects this process holds. Windows answers through
// GetGuiResources. Wine does not implement that call (it answers 0), so
// there the GDI count comes from the process's GDI handle table, which Wine
// keeps in the same place and layout as Windows, and the USER count is the
// number of windows this thread owns.
#include <string>

namespace vellox::test {

struct GuiObjectCounts {
  long gdi = 0;
  long user = 0;
  std::string source;  // how they were counted, for the test report
};

GuiObjectCounts CountGuiObjects();

}  // namespace vellox::test
