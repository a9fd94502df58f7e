#pragma once
// What a tab asks of the site-icon cache (a later library, which installs itself): the image
// index of an address's icon, answered at once (kUnknownSiteIcon while it is not known), and a
// request to fetch it. Until installed, every address has the unknown icon.
constexpr int kUnknownSiteIcon = 4;

class ITabSiteIcons {
public:
    virtual ~ITabSiteIcons() = default;
    virtual int GetIconIndex(const char* url) = 0;
    virtual void QueueRequest(const char* url) = 0;
};

ITabSiteIcons& GetTabSiteIcons();
// Installs the source (not owned; null: none) and returns the previous one.
ITabSiteIcons* SetTabSiteIcons(ITabSiteIcons* source);
