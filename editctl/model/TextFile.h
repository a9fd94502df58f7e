#pragma once
// The file side of the text store without the file system: line-break detection, the bytes to
// write, and backup names. The window layer does the reading, writing and code-page conversion.
#include <string>
#include <string_view>

namespace quill {

class TextStore;

enum FileMode : int { kFileModeCrLf = 0, kFileModeLf = 1, kFileModeCr = 2 };

// The line-break style of a file from the first break of its first 32768 characters: LF gives 1,
// CR LF 0, CR followed by anything else 2; no break there keeps current.
int DetectFileMode(std::string_view text, int current);

// The whole text as a file holds it: a break of the given style after every line but the last.
// With clearSpaces the trailing white space of each line is left out of the output only; the
// text in memory stays as it is (and so does its undo history).
std::string SerializeText(const TextStore& store, int fileMode, bool clearSpaces);

// The backup file's name by BackupMode: 0 replaces the extension by ".bak", 1 puts ".bak" before
// it, 2 appends ".bak", 3 puts the file's name into the backup folder (or the temporary folder).
std::string BackupFileName(std::string_view path, int mode, std::string_view backupFolder, std::string_view tempFolder);

} // namespace quill
