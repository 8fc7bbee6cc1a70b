#pragma once
// GoogleTest prints a parameter that has no printer as raw bytes, which reads the unused
// buffers of its strings. A table's row prints as its label instead: the first of the fields
// label, what and name that it has. A test file brings the printer in beside its rows with
// `using row_printer::PrintTo;`, where GoogleTest's lookup finds it.
#include <ostream>

namespace row_printer {

template <class Row>
concept Labelled = requires(const Row& row) {
  row.label;
}
|| requires(const Row& row) {
  row.what;
}
|| requires(const Row& row) {
  row.name;
};

template <Labelled Row>
void PrintTo(const Row& row, std::ostream* os) {
  if constexpr (requires { row.label; })
    *os << row.label;
  else if constexpr (requires { row.what; })
    *os << row.what;
  else
    *os << row.name;
}

}  // namespace row_printer
