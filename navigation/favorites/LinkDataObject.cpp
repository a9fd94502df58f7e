#include "navigation/favorites/LinkDataObject.h"

#include "core/app/ProgramFolders.h"
#include "core/library/LifetimeTracker.h"
#include "navigation/favorites/FavoritesFolder.h"
#include "platform/AtlBase.h"
#include "platform/Diagnostics.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <set>

namespace {

constexpr char kShortcutTempFolderName[] = "ShortcutTmp\\";
constexpr size_t kMaxShortcutPath = 255;
constexpr int kMaxShortcutCounter = 1000;

std::vector<FORMATETC> OfferedFormats()
{
    const CLIPFORMAT formats[] = {CF_TEXT, GetUrlClipboardFormat(), CF_HDROP};
    std::vector<FORMATETC> offered;
    for (CLIPFORMAT format : formats)
        offered.push_back(FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    return offered;
}

bool IsOffered(CLIPFORMAT format) { return format == CF_TEXT || format == CF_HDROP || format == GetUrlClipboardFormat(); }

bool EndsWithNoCase(const std::string& text, const char* end)
{
    const size_t length = std::strlen(end);
    return text.size() >= length && _stricmp(text.c_str() + text.size() - length, end) == 0;
}

}  // namespace

CLIPFORMAT GetUrlClipboardFormat()
{
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("UniformResourceLocator"));
    return format;
}

CShortcutTempFolder::CShortcutTempFolder() : m_folder(WithTrailingBackslash(GetProgramFolder().c_str()) + kShortcutTempFolderName) {}

CShortcutTempFolder::CShortcutTempFolder(std::string folder) : m_folder(WithTrailingBackslash(std::move(folder))) {}

bool CShortcutTempFolder::Create() const
{
    if (m_folder.empty())
        return false;
    CreateDirectoryA(m_folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(m_folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CShortcutTempFolder::Clear() const
{
    if (m_folder.empty())
        return;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((m_folder + "*.*").c_str(), &data));
    if (!find.IsValid())
        return;
    do {
        const std::string name = data.cFileName;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (EndsWithNoCase(name, ".url") || EndsWithNoCase(name, ".tmp") || EndsWithNoCase(name, ".html"))
            DeleteFileA((m_folder + name).c_str());
    } while (FindNextFileA(find.Get(), &data));
}

CShortcutTempFolder* GetShortcutTempFolder() { return GetSingleton<CShortcutTempFolder, kPriorityShortcutTempFolder>(); }

CLinkDataObject* CLinkDataObject::Create(std::vector<CDraggedLink> links, const CShortcutTempFolder* folder)
{
    return new (std::nothrow) CLinkDataObject(std::move(links), folder);
}

CLinkDataObject::CLinkDataObject(std::vector<CDraggedLink> links, const CShortcutTempFolder* folder)
    : m_links(std::move(links)), m_folder(folder)
{
}

HRESULT CLinkDataObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDataObject)
        return E_NOINTERFACE;
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
}

ULONG CLinkDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG CLinkDataObject::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CLinkDataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_POINTER;
    return IsOffered(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT CLinkDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT CLinkDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator)
{
    try {
        if (!enumerator)
            return E_POINTER;
        *enumerator = nullptr;
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        *enumerator = CFormatEnumerator::Create(OfferedFormats());
        return *enumerator ? S_OK : E_OUTOFMEMORY;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CLinkDataObject::EnumFormatEtc");
    }
}

HRESULT CLinkDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    try {
        if (!format || !medium)
            return E_POINTER;
        if (!(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = nullptr;
        if (format->cfFormat == CF_TEXT || format->cfFormat == GetUrlClipboardFormat())
            medium->hGlobal = MakeText();
        else if (format->cfFormat == CF_HDROP)
            medium->hGlobal = MakeDropFiles();
        else
            return S_FALSE;
        return medium->hGlobal ? S_OK : S_FALSE;
    } catch (...) {
        return ReportCaughtExceptionAsHresult("CLinkDataObject::GetData");
    }
}

HGLOBAL CLinkDataObject::MakeText() const
{
    const std::string url = m_links.empty() ? std::string() : m_links.front().url;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, url.size() + 1);
    if (!block)
        return nullptr;
    if (void* bytes = GlobalLock(block)) {
        std::memcpy(bytes, url.c_str(), url.size() + 1);
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

// Once per data object: the folder is cleared of the previous drag's shortcuts, then every titled
// link becomes "<title>.url" (a second link of the same title "<title>[2].url", and so on), cut so
// that the whole path stays within 255 characters. A link without a title stands in the list as
// its URL text, which the target finds no file for.
void CLinkDataObject::WriteShortcuts()
{
    if (m_written)
        return;
    m_written = true;
    const CShortcutTempFolder* folder = m_folder ? m_folder : GetShortcutTempFolder();
    if (!folder)
        return;
    folder->Create();
    folder->Clear();
    std::set<std::string> written;
    for (const CDraggedLink& link : m_links) {
        if (link.title.empty()) {
            m_files.push_back(link.url);
            continue;
        }
        const std::string base = folder->GetPath();
        std::string title = MakeFileNameSafe(link.title);
        if (title.empty())
            title = "_";
        auto makePath = [&](const std::string& suffix) {
            const size_t room = kMaxShortcutPath > base.size() + suffix.size() + 4 ? kMaxShortcutPath - base.size() - suffix.size() - 4 : 1;
            return base + title.substr(0, room) + suffix + ".url";
        };
        std::string path = makePath("");
        for (int counter = 2; written.count(path) && counter < kMaxShortcutCounter; ++counter)
            path = makePath("[" + std::to_string(counter) + "]");
        if (CreateInternetShortcut(path, link.url))
            written.insert(path);
        m_files.push_back(path);
    }
}

HGLOBAL CLinkDataObject::MakeDropFiles()
{
    WriteShortcuts();
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& file : m_files)
        size += file.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    DROPFILES* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(bytes + sizeof(DROPFILES));
    for (const std::string& file : m_files) {
        std::memcpy(at, file.c_str(), file.size() + 1);
        at += file.size() + 1;
    }
    GlobalUnlock(block);
    return block;
}

CFormatEnumerator* CFormatEnumerator::Create(const std::vector<FORMATETC>& formats, size_t position)
{
    try {
        return new (std::nothrow) CFormatEnumerator(formats, position);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRESULT CFormatEnumerator::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEnumFORMATETC)
        return E_NOINTERFACE;
    *object = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
}

ULONG CFormatEnumerator::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG CFormatEnumerator::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CFormatEnumerator::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (count == 0)
        return E_INVALIDARG;
    if (!formats || (count > 1 && !fetched))
        return E_POINTER;
    if (m_formats.empty())
        return E_FAIL;
    const size_t left = m_formats.size() - std::min(m_position, m_formats.size());
    const ULONG copied = static_cast<ULONG>(std::min<size_t>(count, left));
    for (ULONG i = 0; i < copied; ++i) {
        formats[i] = m_formats[m_position + i];
        formats[i].ptd = nullptr;
    }
    m_position += copied;
    if (fetched)
        *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT CFormatEnumerator::Skip(ULONG count)
{
    if (count == 0)
        return E_INVALIDARG;
    const size_t left = m_formats.size() - std::min(m_position, m_formats.size());
    const size_t skipped = std::min<size_t>(count, left);
    m_position += skipped;
    return skipped == count ? S_OK : S_FALSE;
}

HRESULT CFormatEnumerator::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT CFormatEnumerator::Clone(IEnumFORMATETC** clone)
{
    if (!clone)
        return E_POINTER;
    *clone = Create(m_formats, m_position);
    return *clone ? S_OK : E_OUTOFMEMORY;
}
