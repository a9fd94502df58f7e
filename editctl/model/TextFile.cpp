#include "editctl/model/TextFile.h"

#include <algorithm>

#include "editctl/model/TextStore.h"

namespace quill {

int DetectFileMode(std::string_view text, int current)
{
    const size_t chunk = std::min<size_t>(text.size(), 32768);
    for (size_t i = 0; i < chunk; ++i) {
        if (text[i] == '\n')
            return kFileModeLf;
        if (text[i] == '\r')
            return (i + 1 < chunk && text[i + 1] == '\n') ? kFileModeCrLf : kFileModeCr;
    }
    return current;
}

std::string SerializeText(const TextStore& store, int fileMode, bool clearSpaces)
{
    const std::string_view lineBreak = fileMode == kFileModeLf ? "\n" : fileMode == kFileModeCr ? "\r" : "\r\n";
    std::string out;
    out.reserve(static_cast<size_t>(store.TotalLength()) + static_cast<size_t>(store.LineCount()) * 2);
    for (int i = 0; i < store.LineCount(); ++i) {
        std::string_view line = store.LineText(i);
        if (clearSpaces) {
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
                line.remove_suffix(1);
        }
        out.append(line);
        if (i + 1 < store.LineCount())
            out.append(lineBreak);
    }
    return out;
}

std::string BackupFileName(std::string_view path, int mode, std::string_view backupFolder, std::string_view tempFolder)
{
    const size_t slash = path.find_last_of("\\/");
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot < nameStart)
        dot = std::string_view::npos;  // a dot of a folder name is no extension
    const std::string name(path);
    switch (mode) {
    case 0:
        return dot == std::string_view::npos ? name + ".bak" : name.substr(0, dot) + ".bak";
    case 1:
        return dot == std::string_view::npos ? name + ".bak" : name.substr(0, dot) + ".bak" + name.substr(dot);
    case 2:
        return name + ".bak";
    default: {
        std::string folder(backupFolder.empty() ? tempFolder : backupFolder);
        if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
            folder += '\\';
        return folder + name.substr(nameStart);
    }
    }
}

} // namespace quill
