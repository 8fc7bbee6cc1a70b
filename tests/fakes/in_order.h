#pragma once
// Checks that lines hold the wanted lines in that order, with any others between them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& wanted);
