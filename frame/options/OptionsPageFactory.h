#pragma once
// IOptionsPageFactory: the option pages that libraries after the frame supply (the blockers' pages of
// the browser library, the navigation bars' pages, ...). The Options dialog embeds the pages of
// frame/options/ and asks the installed factory for every other dialog id of its tree, in tree
// order; a null answer leaves the page out, as a page whose window cannot be created is. The
// program's start-up installs the production factory; a test puts its own in place for its scope
// with CScopedOptionsPageFactory. UI thread only.
//
// Lifetime: the installer owns the factory and keeps it while any Options dialog can open. Each
// page the factory makes belongs to the dialog that asked for it and goes with that dialog.
#include "frame/options/AddressBarPage.h"
#include "frame/options/OptionsPage.h"

#include <memory>

class IOptionsPageFactory {
public:
    virtual ~IOptionsPageFactory() = default;
    // A new page whose GetDialogID is `dialogId`; null: the program has no such page.
    virtual std::unique_ptr<COptionsPage> CreatePage(int dialogId) = 0;
    // Who re-applies the address bar's buttons after the dialog's own "Address Bar" page was
    // applied (not owned; null: nobody), for a dialog whose opener connected none.
    virtual IAddressBarOptionsTarget* GetAddressBarTarget() { return nullptr; }
};

// The installed factory, or null (then the dialog shows the frame's own pages alone).
IOptionsPageFactory* GetOptionsPageFactory();
// Puts `factory` (not owned; null: none) in place and returns the previous one.
IOptionsPageFactory* SetOptionsPageFactory(IOptionsPageFactory* factory);

class CScopedOptionsPageFactory {
public:
    explicit CScopedOptionsPageFactory(IOptionsPageFactory& replacement) : m_previous(SetOptionsPageFactory(&replacement)) {}
    ~CScopedOptionsPageFactory() { SetOptionsPageFactory(m_previous); }
    CScopedOptionsPageFactory(const CScopedOptionsPageFactory&) = delete;
    CScopedOptionsPageFactory& operator=(const CScopedOptionsPageFactory&) = delete;

private:
    IOptionsPageFactory* m_previous = nullptr;  // not owned: the factory before this scope
};
