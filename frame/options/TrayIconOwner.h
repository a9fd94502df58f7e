#pragma once
// ITrayIconOwner: what the Miscellaneous page asks of the frame when it is applied (the frame base
// implements it); a page without one tells nobody.
class ITrayIconOwner {
public:
    virtual ~ITrayIconOwner() = default;
    virtual void AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
};
