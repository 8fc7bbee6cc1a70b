// Windows: the DLLs a run loads come from the system folder only.
#include "platform/platform.h"

#include "platform/win32/system_dll.h"

void RestrictLibrarySearch() {
  system_dll::RestrictSearchToSystemFolder();
}
