#pragma once
// The default-browser registration: the shell's open verbs of the web file types and URL protocols
// pointed at the program file, the start-up test of whether they still are, and the undo that puts
// back what was there before.
//
// Every operation works on a classes root it is given: HKEY_CLASSES_ROOT for the program, a scratch
// key of the test's own registry in the tests (HKEY_CLASSES_ROOT is not redirected with
// HKEY_CURRENT_USER, so a test writing there would rewrite the machine's handlers).
#include <windows.h>

#include <string>
#include <vector>

inline constexpr char kProductDisplayName[] = "Kivo Browser";

// The command text for a program path: "<path>" "%1".
std::string MakeShellOpenCommand(const std::string& programPath);
// The shell keys registered, in order, and the five the start-up test checks (the first five).
const std::vector<std::string>& DefaultBrowserShellKeys();
inline constexpr size_t kCheckedShellKeyCount = 5;

// True when `shellKey` opens below `classesRoot` and its default value is exactly the display name.
bool IsShellVerbOurs(HKEY classesRoot, const char* shellKey);
// True when the five checked classes are ours.
bool IsDefaultBrowser(HKEY classesRoot);
// Writes the verb of one class; false when its shell key does not exist (it is not created).
bool RegisterShellCommand(HKEY classesRoot, const char* shellKey, const std::string& programPath);

// What the registration replaced: each value it writes, with its old data or its absence, so that
// the undo can put everything back. The caller keeps it (as FormatRegistryBackup text) in the
// program's own settings until the user undoes the registration.
struct CRegistryValueBackup {
    std::string key;    // below the classes root
    std::string name;   // "" for the default value
    bool existed = false;
    std::string data;
};

// The whole registration: the file types, then the seven classes. Returns the values as they were
// before, for UndoDefaultBrowser.
std::vector<CRegistryValueBackup> MakeDefaultBrowser(HKEY classesRoot, const std::string& programPath);
// Puts the values back: old data rewritten, values that did not exist deleted, and keys that the
// registration created removed again when they are left empty.
void UndoDefaultBrowser(HKEY classesRoot, const std::vector<CRegistryValueBackup>& backup);

// The backup as text lines (key, name, existed, data, tab-separated) and back; lines that do not
// parse are skipped, data is bounded.
std::string FormatRegistryBackup(const std::vector<CRegistryValueBackup>& backup);
std::vector<CRegistryValueBackup> ParseRegistryBackup(const std::string& text);
