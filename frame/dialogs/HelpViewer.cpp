#include "frame/dialogs/HelpViewer.h"

#include "core/app/LanguageManager.h"
#include "core/app/ProgramFolders.h"
#include "core/system/MessageBoxes.h"

namespace {

// HTML Help's command that opens the file with its contents pane.
constexpr UINT kHtmlHelpDisplayContents = 0x0001;
constexpr const char* kHtmlHelpEntry = "HtmlHelpA";
constexpr const char* kHelpCaption = "Kivo Browser";

}  // namespace

CHtmlHelpViewer::HtmlHelpFunction CHtmlHelpViewer::Function()
{
    if (!m_tried) {
        m_tried = true;
        if (m_library.Load(m_libraryName.c_str()))
            m_function = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(m_library.GetProc(kHtmlHelpEntry)));
    }
    return m_function;
}

EHelpResult CHtmlHelpViewer::ShowContents(HWND owner, const char* file, const char* topic)
{
    HtmlHelpFunction function = Function();
    if (!function)
        return EHelpResult::kNoHelpViewer;
    if (!file || ::GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES)
        return EHelpResult::kNoHelpFile;
    const std::string target = std::string(file) + (topic ? topic : "");
    return function(owner, target.c_str(), kHtmlHelpDisplayContents, 0) ? EHelpResult::kShown : EHelpResult::kNoHelpFile;
}

// Kept for the whole process: the help window outlives the call that opened it, and the library
// must stay loaded under it.
IHelpViewer& GetSystemHelpViewer()
{
    static CHtmlHelpViewer viewer;
    return viewer;
}

std::string GetHelpFilePath()
{
    return std::string(GetProgramFolder().c_str()) + kHelpFileName;
}

bool OpenHelpTopic(IHelpViewer& viewer, HWND owner, const char* topic)
{
    const std::string file = GetHelpFilePath();
    switch (viewer.ShowContents(owner, file.c_str(), topic)) {
    case EHelpResult::kShown:
        return true;
    case EHelpResult::kNoHelpViewer:
        GetMessageBoxes().Show(owner,
                               TranslateText("The help cannot be shown: the system's HTML Help (hhctrl.ocx) is not installed.")
                                   .c_str(),
                               kHelpCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    case EHelpResult::kNoHelpFile:
    default: {
        const std::string text = std::string(TranslateText("The help file cannot be opened:").c_str()) + "\n" + file;
        GetMessageBoxes().Show(owner, text.c_str(), kHelpCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    }
}
