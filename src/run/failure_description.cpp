#include "run/failure_description.h"

#include <exception>
#include <new>

#include "platform/runtime_error.h"

Failure CurrentFailure() {
  try {
    throw;
  } catch (const RuntimeError& e) {
    return {e.Number(), e.Description()};
  } catch (const std::bad_alloc&) {
    return {7, "Out of memory"};
  } catch (const std::exception& e) {
    return {0, e.what()};
  }
}

std::string DescriptionOfCurrentFailure() {
  return CurrentFailure().description;
}
