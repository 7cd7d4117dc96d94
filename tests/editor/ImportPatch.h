#pragma once
// Redirects one function that a loaded module imports from a system DLL, by
// rewriting the module's import address table entry; the original pointer is
// put back on destruction. Lets a test see the module's calls to the outside
// world (starting a browser) without them happening.
#include <windows.h>

namespace vellox::test {

class ImportPatch {
public:
  ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  // False when the module does not import the function by name from that DLL.
  bool Installed() const { return slot_ != nullptr; }

private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

// The module whose code or data holds `address`, without taking a reference.
HMODULE ModuleContaining(const void* address);

}  // namespace vellox::test
