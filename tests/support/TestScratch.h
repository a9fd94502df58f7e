#pragma once
// The private world of one test process, made by tests/support/TestMain.cpp before the first test
// and removed after the last: a scratch folder under %TEMP% and a scratch registry key that stands in
// for HKEY_CURRENT_USER (programs a test starts are given it through KIVO_TEST_REGISTRY).
#include <string>

// The process's scratch folder, with a trailing backslash.
const std::string& KivoTestScratchFolder();

// The scratch key as its path below the real HKEY_CURRENT_USER, e.g.
// "Software\KivoBrowserTests\1234-56789"; inside the process HKEY_CURRENT_USER already is this key.
const std::string& KivoTestRegistryKey();
