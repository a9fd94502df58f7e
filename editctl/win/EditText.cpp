// The window side of the text store: keeping the parse states in step with changes, and loading
// and saving files.
#include <algorithm>
#include <climits>

#include "editctl/model/MessageIds.h"
#include "editctl/model/TextFile.h"
#include "editctl/win/EditData.h"

namespace quill::win {

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

void ArmParseTimer(EditData& ed)
{
    if (ed.frontier >= 0 && !ed.parseTimer && ed.window)
        ed.parseTimer = SetTimer(ed.window, kParseTimer, kParseTimerPeriod, nullptr);
}

void RestartParsing(EditData& ed)
{
    ed.frontier = 0;
    ed.stableFrom = INT_MAX;
    ed.doc.Text().ClearCheckpoints();  // made under the configuration that is being left
    ArmParseTimer(ed);
}

// After a change of lines firstLine to lastLine (as they are now): their states are parsed again
// in the background, and the lines below only as long as their end states change.
void AfterTextChange(EditData& ed, int firstLine, int lastLine)
{
    TextStore& text = ed.doc.Text();
    firstLine = std::clamp(firstLine, 0, text.LineCount() - 1);
    lastLine = std::clamp(lastLine, firstLine, text.LineCount() - 1);
    if (ed.frontier < 0) {
        ed.frontier = firstLine;
        ed.stableFrom = lastLine + 1;
    } else if (ed.stableFrom != INT_MAX) {
        // Two pending changes: parse from the earlier one and do not trust anything before the
        // end of the later one; lines may have moved since, so everything below the first
        // change is parsed until the states settle after the end of the text.
        ed.stableFrom = firstLine < ed.frontier ? INT_MAX : std::max(ed.stableFrom, lastLine + 1);
        ed.frontier = std::min(ed.frontier, firstLine);
    }
    ed.caret = text.Clamp(ed.caret);
    if (ed.HasSelection()) {
        ed.selStart = text.Clamp(ed.selStart);
        ed.selEnd = text.Clamp(ed.selEnd);
    }
    if (ed.bookmarkCount > 0) {
        int count = 0;
        for (int i = 0; i < text.LineCount(); ++i)
            count += (text.Line(i).flags & kLineBookmark) ? 1 : 0;
        ed.bookmarkCount = count;
    }
    ArmParseTimer(ed);
}

void ClearText(EditData& ed)
{
    if (ed.parseTimer) {
        KillTimer(ed.window, kParseTimer);
        ed.parseTimer = 0;
    }
    ed.doc.Reset();
    ed.frontier = -1;
    ed.stableFrom = INT_MAX;
    ed.bookmarkCount = 0;
    ed.caret = {};
    ed.selStart = ed.selEnd = ed.anchor = {kNoPosition, kNoPosition};
    ed.firstLine = ed.firstColumn = 0;
}

bool LoadTextFile(EditData& ed, const std::string& path, DWORD* error)
{
    *error = 0;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = GetLastError();
        return false;
    }
    CKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFF0) {
        *error = file.Valid() ? ERROR_NOT_ENOUGH_MEMORY : GetLastError();
        return false;
    }
    GetFileTime(file.Get(), nullptr, nullptr, &ed.lastWrite);
    const size_t bytes = static_cast<size_t>(size.QuadPart);
    std::unique_ptr<char[]> raw(new (std::nothrow) char[bytes + 1]);
    DWORD read = 0;
    if (!raw || (bytes > 0 && (!ReadFile(file.Get(), raw.get(), static_cast<DWORD>(bytes), &read, nullptr) || read != bytes))) {
        *error = raw ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    file.Reset();

    size_t length = bytes;
    bool lossy = false;
    ed.unicode = bytes >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE;
    if (ed.unicode) {
        // The whole file converts in one go, so no character is split at a chunk edge. A text that
        // the code page cannot hold would come back as "?" when saved: such a window opens
        // read-only instead of saving the damage silently.
        const wchar_t* wide = reinterpret_cast<const wchar_t*>(raw.get() + 2);
        const int units = static_cast<int>((bytes - 2) / 2);
        BOOL usedDefault = FALSE;
        const int n = units ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0, nullptr, nullptr) : 0;
        std::unique_ptr<char[]> narrow(new (std::nothrow) char[static_cast<size_t>(n) + 1]);
        if (!narrow) {
            *error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        if (units)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, narrow.get(), n, nullptr, &usedDefault);
        lossy = usedDefault != FALSE;
        raw = std::move(narrow);
        length = static_cast<size_t>(n);
    }
    // The line breaks of this file are this window's; other windows keep their own.
    ed.fileMode = DetectFileMode(std::string_view(raw.get(), length), ed.config ? ed.config->fileMode : 0);
    TextStore& text = ed.doc.Text();
    text.SetCaseFixing(false);
    text.Assign(std::move(raw), length);
    text.SetCaseFixing(ed.config && ed.config->caseFixing);
    ed.attributes = attributes | (lossy ? FILE_ATTRIBUTE_READONLY : 0);
    ed.doc.MarkSaved();
    return true;
}

bool SaveTextFile(EditData& ed, const std::string& path, DWORD* error)
{
    *error = 0;
    std::string bytes = SerializeText(ed.doc.Text(), ed.FileModeNow(), ed.config && ed.config->clearSpaces);
    if (ed.unicode) {
        const int units = bytes.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::string wide(2 + static_cast<size_t>(units) * 2, '\0');
        wide[0] = static_cast<char>(0xFF);
        wide[1] = static_cast<char>(0xFE);
        if (units)
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                reinterpret_cast<wchar_t*>(wide.data() + 2), units);
        bytes.swap(wide);
    }
    // The text goes to a new file beside the old one, which it replaces only once it is
    // complete: a full disk or a write error leaves the old file as it was.
    char temp[MAX_PATH] = {};
    if (!GetTempFileNameA(FolderOf(path).c_str(), "qpe", 0, temp)) {
        *error = GetLastError();
        return false;
    }
    {
        CKernelHandle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid() || !EditSystem().WriteFileBytes(file.Get(), bytes.data(), bytes.size()) || !FlushFileBuffers(file.Get())) {
            *error = GetLastError();
            file.Reset();
            DeleteFileA(temp);
            return false;
        }
    }
    const DWORD old = GetFileAttributesA(path.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY)) {
        DeleteFileA(temp);
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *error = GetLastError();
        DeleteFileA(temp);
        return false;
    }
    SetFileAttributesA(path.c_str(), ed.attributes);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        ed.lastWrite = data.ftLastWriteTime;
    if (ed.config && ed.config->clearUndoAfterSave)
        ed.doc.ClearUndo();
    return true;
}

int MakeBackupFile(EditData& ed)
{
    if (!ed.config || !ed.config->backupFiles || ed.fileName.empty())
        return 1;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string backup = BackupFileName(ed.fileName, ed.config->backupMode, ed.config->backupDirectory, temp);
    if (CopyFileA(ed.fileName.c_str(), backup.c_str(), FALSE))
        return 1;
    if (GetFileAttributesA(ed.fileName.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 1;  // nothing to back up yet
    return EditMessageBox(ed, LoadMessageText(kMsgBackupFailed), MB_YESNO | MB_ICONEXCLAMATION) == IDYES ? 1 : 0;
}

} // namespace quill::win
