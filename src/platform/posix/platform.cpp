// POSIX programs find their shared libraries through the dynamic loader's fixed paths
// (and qEnv links its own statically): there is no per-program search to narrow.
#include "platform/platform.h"

void RestrictLibrarySearch() {}
