// The control's message boxes, all through EditSystem(), so that in a test no box ever waits for
// a user who is not there.
#include "editctl/win/EditData.h"

namespace quill::win {

std::string LoadMessageText(int id)
{
    char buffer[1024];
    const int n = LoadStringA(ControlInstance(), static_cast<UINT>(id), buffer, sizeof(buffer));
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

int EditMessageBox(EditData& ed, const std::string& text, UINT flags)
{
    return EditSystem().ShowMessageBox(ed.window, text, ed.fileName, flags);
}

int EditSystemErrorBox(EditData& ed, const std::string& text, DWORD error)
{
    char* system = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&system), 0, nullptr);
    if (n == 0 || !system)
        return 0;
    const std::string full = text + "\n\n" + system;
    LocalFree(system);
    return EditMessageBox(ed, full, MB_OK | MB_ICONSTOP);
}

} // namespace quill::win
