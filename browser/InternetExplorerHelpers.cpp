#include "browser/InternetExplorerHelpers.h"

#include "core/library/RegistryKey.h"
#include "core/system/OsInfo.h"
#include "platform/AtlBase.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <wininet.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

constexpr char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kBrowserSubKeys[] = {"MenuExt", "Extensions", "Main", "Toolbar", "Settings", "TypedURLs"};

TStdStr<char> ReadString(const char* keyPath, const char* name)
{
    CRegistryKey key;
    TStdStr<char> value;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ))
        key.QueryStringValue(name, value);
    return value;
}

TStdStr<char> ExpandEnvironment(const TStdStr<char>& text)
{
    char expanded[MAX_PATH * 2] = {};
    const DWORD length = ::ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof(expanded));
    return length > 0 && length <= sizeof(expanded) ? TStdStr<char>(expanded) : text;
}

TStdStr<char> WithBackslash(TStdStr<char> path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

// Late-bound reads and calls; a failure gives VT_EMPTY.
CComVariant Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::initializer_list<CComVariant> arguments)
{
    CComVariant result;
    if (!object)
        return result;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id)))
        return result;
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (FAILED(object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &params, &result, nullptr, nullptr)))
        result.Clear();
    return result;
}

CComPtr<IDispatch> AsObject(const CComVariant& value)
{
    CComPtr<IDispatch> object;
    if ((value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) && value.punkVal)
        value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object));
    return object;
}

TStdStr<char> AsText(const CComVariant& value)
{
    if (value.vt != VT_BSTR || !value.bstrVal)
        return TStdStr<char>();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return TStdStr<char>();
    TStdStr<char> text(static_cast<size_t>(size - 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace

TStdStr<char> InternetExplorerKey(int subKey)
{
    TStdStr<char> key = "Software\\Microsoft\\Internet Explorer\\";
    if (subKey >= 0 && subKey < static_cast<int>(std::size(kBrowserSubKeys)))
        key += kBrowserSubKeys[subKey];
    return key;
}

TStdStr<char> ReadShellFolderValue(const char* keyName)
{
    return ReadString((TStdStr<char>(kExplorerKey) + (keyName ? keyName : "")).c_str(), "Favorites");
}

TStdStr<char> GetFavoritesFolder()
{
    const TStdStr<char> user = ExpandEnvironment(ReadShellFolderValue("User Shell Folders"));
    return user.empty() ? ReadShellFolderValue("Shell Folders") : user;
}

TStdStr<char> GetLinksFolder()
{
    TStdStr<char> name = ExpandEnvironment(ReadString(InternetExplorerKey(3).c_str(), "LinksFolderName"));
    if (name.empty())
        name = "Links";
    return WithBackslash(WithBackslash(GetFavoritesFolder()) + name);
}

bool DeleteTypedUrlHistory()
{
    CRegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, InternetExplorerKey(-1).c_str(), KEY_READ | KEY_WRITE))
        return false;
    return key.DeleteSubKeyTree(kBrowserSubKeys[5]);
}

TStdStr<char> GetIEStartPage()
{
    TStdStr<char> page = ReadString(InternetExplorerKey(2).c_str(), "Start Page");
    if (page.empty()) {
        page = "about:blank";
        SetIEStartPage(page.c_str());
    }
    return page;
}

bool SetIEStartPage(const char* address)
{
    CRegistryKey key;
    return address && key.Create(HKEY_CURRENT_USER, InternetExplorerKey(2).c_str()) &&
           key.SetStringValue("Start Page", address);
}

TStdStr<char> GetProxyOverride()
{
    return ReadString(kInternetSettingsKey, "ProxyOverride");
}

bool RemoveRunValue(const char* name)
{
    CRegistryKey key;
    if (!name || !key.Open(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE))
        return false;
    key.DeleteValue(name);
    return key.Close();
}

bool IsShdocvwVersion6OrLater()
{
    DLLVERSIONINFO version = {};
    return GetDllVersion("shdocvw.dll", &version) && version.dwMajorVersion >= 6;
}

bool IsShdocvwVersion55OrLater()
{
    DLLVERSIONINFO version = {};
    return GetDllVersion("shdocvw.dll", &version) &&
           (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 50));
}

bool IsWorkingOffline()
{
    DWORD state = 0;
    DWORD size = sizeof(state);
    return ::InternetQueryOptionA(nullptr, INTERNET_OPTION_CONNECTED_STATE, &state, &size) &&
           (state & INTERNET_STATE_DISCONNECTED_BY_USER);
}

void SetWorkingOffline(bool offline)
{
    if (IsWorkingOffline() == offline)
        return;
    INTERNET_CONNECTED_INFO info = {};
    info.dwConnectedState = offline ? INTERNET_STATE_DISCONNECTED_BY_USER : INTERNET_STATE_CONNECTED;
    info.dwFlags = offline ? ISO_FORCE_DISCONNECTED : 0;
    ::InternetSetOptionA(nullptr, INTERNET_OPTION_CONNECTED_STATE, &info, sizeof(info));
}

TStdStr<char> HtmlOpenCommandLine(const char* openCommand, const char* address)
{
    TStdStr<char> command = openCommand ? openCommand : "";
    size_t cut = command.find("\"%1\"");
    if (cut == TStdStr<char>::npos)
        cut = command.find("%1");
    if (cut != TStdStr<char>::npos)
        command.erase(cut);
    while (!command.empty() && command.back() == ' ')
        command.pop_back();
    return command + " " + (address ? address : "");
}

bool OpenWithShellOrHtmlHandler(const char* address, int showCommand)
{
    if (!address || !*address)
        return false;
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.hwnd = nullptr;
    execute.lpFile = address;
    execute.nShow = showCommand;
    if (::ShellExecuteExA(&execute))
        return true;
    char htmlClass[256] = {};
    LONG size = sizeof(htmlClass);
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", htmlClass, &size) != ERROR_SUCCESS || !*htmlClass)
        return false;
    char command[1024] = {};
    size = sizeof(command);
    const TStdStr<char> commandKey = TStdStr<char>(htmlClass) + "\\shell\\open\\command";
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, commandKey.c_str(), command, &size) != ERROR_SUCCESS || !*command)
        return false;
    return ::WinExec(HtmlOpenCommandLine(command, address).c_str(), static_cast<UINT>(showCommand)) > 31;
}

bool IsSameDispatch(IUnknown* object, IDispatch* dispatch)
{
    if (!object || !dispatch)
        return false;
    CComPtr<IDispatch> own;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&own))))
        return false;
    return own.p == dispatch;
}

IDispatch* GetElementFromPoint(IDispatch* document, POINT point)
{
    CComPtr<IDispatch> element = AsObject(
        Invoke(document, L"elementFromPoint", DISPATCH_METHOD, {CComVariant(point.x), CComVariant(point.y)}));
    return element.Detach();
}

TStdStr<char> GetLinkUrlOfElement(IDispatch* element)
{
    CComPtr<IDispatch> current = element;
    // A page's tree is bounded here: a cycle of parents or a deep one ends the walk.
    for (int depth = 0; current && depth < 256; ++depth) {
        const TStdStr<char> tag = AsText(Invoke(current, L"tagName", DISPATCH_PROPERTYGET, {}));
        if (::lstrcmpiA(tag.c_str(), "A") == 0 || ::lstrcmpiA(tag.c_str(), "AREA") == 0)
            return AsText(Invoke(current, L"href", DISPATCH_PROPERTYGET, {}));
        current = AsObject(Invoke(current, L"parentElement", DISPATCH_PROPERTYGET, {}));
    }
    return TStdStr<char>();
}

TStdStr<char> GetSelectionText(IDispatch* document)
{
    CComPtr<IDispatch> selection = AsObject(Invoke(document, L"selection", DISPATCH_PROPERTYGET, {}));
    CComPtr<IDispatch> range = AsObject(Invoke(selection, L"createRange", DISPATCH_METHOD, {}));
    return AsText(Invoke(range, L"text", DISPATCH_PROPERTYGET, {}));
}

TStdStr<char> FindLinkByText(IDispatch* document, const char* word)
{
    if (!word || !*word)
        return TStdStr<char>();
    CComPtr<IDispatch> links = AsObject(Invoke(document, L"links", DISPATCH_PROPERTYGET, {}));
    CComVariant length = Invoke(links, L"length", DISPATCH_PROPERTYGET, {});
    if (FAILED(length.ChangeType(VT_I4)))
        return TStdStr<char>();
    const int wordLength = ::lstrlenA(word);
    const long count = std::min<long>(length.lVal, 100000);
    for (long i = 0; i < count; ++i) {
        CComPtr<IDispatch> link = AsObject(Invoke(links, L"item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {CComVariant(i)}));
        const TStdStr<char> text = AsText(Invoke(link, L"innerText", DISPATCH_PROPERTYGET, {}));
        if (static_cast<int>(text.size()) >= wordLength &&
            ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), wordLength, word, wordLength) ==
                CSTR_EQUAL)
            return AsText(Invoke(link, L"href", DISPATCH_PROPERTYGET, {}));
    }
    return TStdStr<char>();
}
