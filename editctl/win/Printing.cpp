// Printing an edit window's text.
#include "editctl/win/EditCommands.h"

namespace quill::win {

LRESULT RunPrintCommand(EditData&, int, bool* known)
{
    *known = false;
    return 0;
}

} // namespace quill::win
