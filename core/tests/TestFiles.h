#pragma once
// Small file helpers of the core tests.
#include <fstream>
#include <sstream>
#include <string>

// The whole content of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
