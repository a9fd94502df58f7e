#include "navigation/favorites/ShellItemMenu.h"

#include "core/system/ShellItems.h"

#include <algorithm>
#include <cctype>

namespace {

// A verb is a short name; anything longer is not one the program looks for.
constexpr UINT kMaxVerbLength = 64;
// Submenus nest only a few levels in any shell's menu; the search stops there.
constexpr int kMaxMenuDepth = 4;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

bool CShellItemMenu::Open(HWND owner, const std::string& path)
{
    Close();
    std::string trimmed = path;
    if (trimmed.size() > 3 && trimmed.back() == '\\')
        trimmed.pop_back();
    CPidl list(ParseDisplayNameToPidl(trimmed.c_str()));
    if (!list.Get())
        return false;
    CComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    if (FAILED(SHBindToParent(list.Get(), IID_IShellFolder, reinterpret_cast<void**>(&parent.p), &child)) || !parent || !child)
        return false;
    if (FAILED(parent->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&m_menu.p))) || !m_menu)
        return false;
    m_menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&m_menu2.p));
    m_menu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&m_menu3.p));
    return true;
}

bool CShellItemMenu::Fill(HMENU menu, UINT firstCommand, UINT lastCommand)
{
    if (!m_menu || !menu || lastCommand <= firstCommand)
        return false;
    const HRESULT added = m_menu->QueryContextMenu(menu, static_cast<UINT>(::GetMenuItemCount(menu)), firstCommand,
                                                   lastCommand, CMF_NORMAL | CMF_CANRENAME);
    if (FAILED(added) || HRESULT_CODE(added) == 0)
        return false;
    m_first = firstCommand;
    m_last = firstCommand + HRESULT_CODE(added) - 1;
    return true;
}

std::string CShellItemMenu::GetVerb(UINT command) const
{
    if (!m_menu || command < m_first || command > m_last)
        return std::string();
    char verb[kMaxVerbLength + 1] = {};
    if (FAILED(m_menu->GetCommandString(command - m_first, GCS_VERBA, nullptr, verb, kMaxVerbLength)))
        return std::string();
    verb[kMaxVerbLength] = '\0';
    return Lower(verb);
}

UINT CShellItemMenu::FindVerb(HMENU menu, const char* verb) const
{
    if (!menu || !verb)
        return 0;
    const std::string wanted = Lower(verb);
    struct CSearch {
        const CShellItemMenu& self;
        const std::string& wanted;
        UINT Run(HMENU at, int depth) const
        {
            const int count = ::GetMenuItemCount(at);
            for (int i = 0; i < count; ++i) {
                if (HMENU sub = ::GetSubMenu(at, i)) {
                    if (depth < kMaxMenuDepth)
                        if (const UINT found = Run(sub, depth + 1))
                            return found;
                    continue;
                }
                const UINT id = ::GetMenuItemID(at, i);
                if (id != static_cast<UINT>(-1) && self.GetVerb(id) == wanted)
                    return id;
            }
            return 0;
        }
    };
    return CSearch{*this, wanted}.Run(menu, 0);
}

HRESULT CShellItemMenu::Invoke(HWND owner, UINT command, POINT screen) const
{
    if (!m_menu || command < m_first || command > m_last)
        return E_INVALIDARG;
    CMINVOKECOMMANDINFOEX info = {};
    info.cbSize = sizeof(info);
    info.fMask = CMIC_MASK_PTINVOKE;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(command - m_first);
    info.nShow = SW_SHOWNORMAL;
    info.ptInvoke = screen;
    return m_menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
}

bool CShellItemMenu::HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) const
{
    result = 0;
    if (m_menu3)
        return SUCCEEDED(m_menu3->HandleMenuMsg2(message, wParam, lParam, &result));
    if (m_menu2 && message != WM_MENUCHAR)
        return SUCCEEDED(m_menu2->HandleMenuMsg(message, wParam, lParam));
    return false;
}

void CShellItemMenu::Close()
{
    m_menu3.Release();
    m_menu2.Release();
    m_menu.Release();
    m_first = m_last = 0;
}
