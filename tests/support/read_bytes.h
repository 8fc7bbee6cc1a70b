#pragma once
#include <filesystem>
#include <string>

// A whole file as bytes; "" when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);
