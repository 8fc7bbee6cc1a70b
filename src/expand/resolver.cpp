#include "expand/resolver.h"

#include "expand/catalogue.h"
#include "run/failure_description.h"
#include "run/log_writer.h"
#include "text/text_util.h"

namespace {

const char kErrorOpening[] = "Error while expanding environmental variable ";

}  // namespace

bool fncExpandEvnVariable(RunContext& ctx, const std::string& name, std::string& value,
                          std::string& errorText) {
  subWriteLog(ctx, "MSG : In fncExpandEvnVariable " + name);
  std::string key;
  bool result = false;
  try {
    key = text::UpperAscii(text::Trim(name));
    if (CatalogueEntryFn entry = FindCatalogueEntry(Catalogue(), key)) {
      result = entry(ctx, name, value, errorText);
      // An entry that fails without saying why would pass for success with the run driver,
      // which decides by the error text alone.
      if (!result && errorText.empty()) errorText = kErrorOpening + key + ", it has no value. ";
    } else {
      errorText = kErrorOpening + key + ", it is not found. ";
      result = false;
    }
  } catch (...) {
    errorText = kErrorOpening + key + ", " + DescriptionOfCurrentFailure();
    subWriteLog(ctx, "ERR : fncExpandEvnVariable, " + errorText);
    return false;
  }
  subWriteLog(ctx, "MSG : Expanded Value :: " + value);
  return result;
}
