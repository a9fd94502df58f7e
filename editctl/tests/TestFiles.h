#pragma once
// Reading the test data files.
#include <fstream>
#include <sstream>
#include <string>

namespace quill::testing {

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text of one of the control's own configuration files (editctl/res).
inline std::string BuiltinConfigText(const std::string& file) { return ReadFile(EDITCTL_TEST_DATA "/../../res/" + file); }

} // namespace quill::testing
