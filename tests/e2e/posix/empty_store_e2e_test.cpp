// The registry-backed names on a store that holds nothing but the agent's identity: what a
// Linux installation gives before anything has put the Windows values there.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "../agent_install.h"
#include "support/row_printer.h"

namespace {

struct EmptyStoreCase {
  const char* name;
  const char* result;
};

using row_printer::PrintTo;

class EmptyStore : public testing::TestWithParam<EmptyStoreCase> {};

TEST_P(EmptyStore, NamesTheMissingValue) {
  AgentInstall agent;
  agent.Run(std::string(" %") + GetParam().name + "%");
  EXPECT_EQ(agent.Result(), std::string(GetParam().result) + "\r\n");
}

// A shell folder fails with the registry's reason; COMSPEC gives none of its own.
INSTANTIATE_TEST_SUITE_P(
    Names, EmptyStore,
    testing::Values(
        EmptyStoreCase{"COMSPEC",
                       "ERR : Error while expanding environmental variable COMSPEC, it has no "
                       "value. "},
        EmptyStoreCase{"SHELLDESKTOP", "ERR : 2-The system cannot find the file specified."},
        EmptyStoreCase{"SHELLSTARTUP", "ERR : 2-The system cannot find the file specified."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
