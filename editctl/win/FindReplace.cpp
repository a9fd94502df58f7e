// Find and replace in an edit window.
#include "editctl/win/EditCommands.h"

namespace quill::win {

LRESULT RunFindCommand(EditData&, int, bool* known)
{
    *known = false;
    return 0;
}

bool DispatchDialogMessage(EditData&, UINT, WPARAM, LPARAM, LRESULT*) { return false; }

} // namespace quill::win
