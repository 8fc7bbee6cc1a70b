#include "expand/failure_description.h"

#include <exception>
#include <new>

#include "platform/runtime_error.h"

std::string DescriptionOfCurrentFailure() {
  try {
    throw;
  } catch (const RuntimeError& e) {
    return e.Description();
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return FsoErrorText(0);
  }
}
