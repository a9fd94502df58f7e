#pragma once
// The OLE objects of drag and drop, for tests that drive them without a user's mouse (the drop
// source's decisions come from EditSystem().QueryContinueDrag).
#include <windows.h>
#include <ole2.h>

#include <string>

#include "editctl/win/EditData.h"

namespace quill::win {

// A data object offering text, as a drag out of an edit window makes it (the caller releases it).
IDataObject* CreateTextDataObject(const std::string& text);
// The registered drop target of a window, or nullptr.
IDropTarget* DropTargetOf(EditData& ed);

} // namespace quill::win
