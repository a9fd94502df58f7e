#include "browser/TabGestures.h"

#include "core/app/LanguageManager.h"
#include "frame/gestures/GestureSettings.h"

int FindGestureAction(int gestureId, TStdStr<char>& notice)
{
    notice.clear();
    const CGestureSettings* settings = GetGestureSettings();
    const CGestureAction* action = settings ? settings->GetAction(gestureId) : nullptr;
    if (!action)
        return kNoGestureAction;
    const char* name = settings->GetGestureName(gestureId);
    notice = TranslateText("Mouse Gestures") + " [" + TranslateText(name ? name : "") + "] -> " +
             FormatActionWithHotKey(action->index);
    return action->index;
}
