#pragma once
// Which action a browser tab runs for a recognised gesture, and the notice it shows for it. This
// file alone of the browser library reads the gesture settings: the gesture library's action
// interface and the tab's own (browser/BrowserActions.h) carry one class name, so no translation
// unit may see both; the tab runs the index this gives on its own interface.
#include "core/library/StdStr.h"

// The action index (0 to 22) bound to the gesture, or -1 when gestures are off or the gesture has
// no action. For an action, `notice` is "Mouse Gestures [<gesture>] -> <action>", translated;
// otherwise it is emptied.
int FindGestureAction(int gestureId, TStdStr<char>& notice);
