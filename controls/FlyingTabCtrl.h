#pragma once
// The strip of the docking boxes: the DotNet look under its own window class. The box sets the
// styles it needs (tabs along the bottom, tooltips).
#include "controls/DotNetTabCtrl.h"

class CFlyingTabCtrl : public TDotNetTabCtrlImpl<CFlyingTabCtrl> {
public:
    DECLARE_WND_CLASS_EX("CFlyingTabCtrl", CS_DBLCLKS, COLOR_WINDOW)
};
