#pragma once
// WMI with a deadline: a WMI service that is stuck (it happens in the field) must not hold
// a run, and with it the agent's script, for ever. The work of each query, connection
// included, runs on a worker thread of its own; a query that is not answered within the
// deadline throws, and so does every later query at once while that worker is still held.
// The worker is left behind and ends with the process.
#include <chrono>
#include <memory>

#include "platform/wmi.h"

// The deadline of a run's WMI work, connection and query together.
inline constexpr std::chrono::milliseconds kWmiDeadline{15000};

// Number of the error a query past its deadline throws (HRESULT_FROM_WIN32(ERROR_TIMEOUT)).
inline constexpr long kWmiTimeoutNumber = static_cast<long>(0x800705B4UL);

// Queries of inner, each answered within deadline or failed. The worker thread is made on
// the first query and kept for the later ones, so that a connection made on it serves them.
std::unique_ptr<Wmi> WithDeadline(std::shared_ptr<Wmi> inner, std::chrono::milliseconds deadline);
