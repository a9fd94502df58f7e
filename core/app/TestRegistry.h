#pragma once
// The private registry of the tests. A test process (tests/support/TestMain.cpp) makes a scratch key
// below HKEY_CURRENT_USER\Software\KivoBrowserTests, redirects its own HKEY_CURRENT_USER to it and
// names it in the environment variable KIVO_TEST_REGISTRY, which every program it starts inherits.
// Such a program calls ApplyTestRegistryRedirect() first thing in its entry function, so that it
// too reads and writes only the scratch key. Outside the tests the variable is not set and nothing
// changes.
#include <string>

// The environment variable that names the scratch key, as "HKEY_CURRENT_USER\<subkey>".
inline constexpr char kTestRegistryVariable[] = "KIVO_TEST_REGISTRY";
// The key below HKEY_CURRENT_USER under which every scratch key of the tests lives.
inline constexpr char kTestRegistryParent[] = "Software\\KivoBrowserTests";
// The root the variable's value starts with.
inline constexpr char kTestRegistryRoot[] = "HKEY_CURRENT_USER";
// The longest name of one scratch key below the parent.
inline constexpr size_t kTestRegistryMaxName = 64;

// The subkey below HKEY_CURRENT_USER that "value" names, or empty when the value is not
// "HKEY_CURRENT_USER\Software\KivoBrowserTests\<name>" with one name of letters, digits, '-' and
// '_' (the root and parent in any case).
std::string TestRegistrySubKey(const char* value);

// When KIVO_TEST_REGISTRY names an existing scratch key, redirects HKEY_CURRENT_USER of the whole
// process to it and returns true; any other value, or none, leaves the registry as it is.
bool ApplyTestRegistryRedirect();
