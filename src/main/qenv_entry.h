#pragma once
// What the entry point calls once the platform services exist: builds the run context and
// runs Main. Returns the process's exit status.
#include "platform/platform.h"

int qEnvEntry(const Platform& platform);
