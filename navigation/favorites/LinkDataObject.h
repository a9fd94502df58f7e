#pragma once
// Dragging links out of the program: CLinkDataObject offers each drag's links as plain text, as
// a URL in the registered "UniformResourceLocator" format and as a file list of real Internet
// shortcuts that it writes, on the first request, into the program's "ShortcutTmp\" folder
// (CShortcutTempFolder), so that the desktop or a folder window receives a ".url" file.
// CFormatEnumerator lists the formats.
//
// Lifetime: both are reference-counted COM objects made with `new` and released by their last
// holder (the drag loop). The temporary shortcuts stay after the drop (the target may still read
// them) and are cleared when the next drag writes its own.
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

struct CDraggedLink {
    std::string url;
    std::string title;
};

// The folder of the temporary shortcuts: the program folder's "ShortcutTmp\" for the program
// (GetShortcutTempFolder), any folder for a test.
class CShortcutTempFolder {
public:
    CShortcutTempFolder();
    explicit CShortcutTempFolder(std::string folder);
    const std::string& GetPath() const { return m_folder; }
    // Creates the folder; true when it exists afterwards.
    bool Create() const;
    // Deletes the ".url", ".tmp" and ".html" files in it that are not hidden or system files.
    void Clear() const;

private:
    std::string m_folder;  // with a trailing "\"
};
CShortcutTempFolder* GetShortcutTempFolder();

// The registered "UniformResourceLocator" clipboard format.
CLIPFORMAT GetUrlClipboardFormat();

class CLinkDataObject : public IDataObject {
public:
    // A data object with one reference; `folder` (not owned) must outlive it, the program's
    // folder when null.
    static CLinkDataObject* Create(std::vector<CDraggedLink> links, const CShortcutTempFolder* folder = nullptr);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // The file list the CF_HDROP data holds (after the first CF_HDROP request).
    const std::vector<std::string>& GetWrittenFiles() const { return m_files; }

private:
    CLinkDataObject(std::vector<CDraggedLink> links, const CShortcutTempFolder* folder);
    virtual ~CLinkDataObject() = default;
    void WriteShortcuts();
    HGLOBAL MakeText() const;
    HGLOBAL MakeDropFiles();

    LONG m_references = 1;
    std::vector<CDraggedLink> m_links;
    std::vector<std::string> m_files;
    bool m_written = false;
    const CShortcutTempFolder* m_folder = nullptr;  // not owned
};

class CFormatEnumerator : public IEnumFORMATETC {
public:
    // An enumerator with one reference over copies of the descriptors.
    static CFormatEnumerator* Create(const std::vector<FORMATETC>& formats, size_t position = 0);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

private:
    CFormatEnumerator(const std::vector<FORMATETC>& formats, size_t position) : m_formats(formats), m_position(position) {}
    virtual ~CFormatEnumerator() = default;

    LONG m_references = 1;
    std::vector<FORMATETC> m_formats;  // no target-device records: the offered formats have none
    size_t m_position = 0;
};
