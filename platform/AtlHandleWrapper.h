#pragma once
// The skeleton shared by the wrappers that come in two forms (CPen/CPenHandle, CIcon/CIconHandle,
// CImageListManaged/CImageList, CMenu/CMenuHandle, ...): the owning form (t_bManaged) destroys its
// handle with itself and when another is attached, cannot be copied, and can be moved; the other
// only wraps a handle and copies freely.
//
// TKind holds the handle under the wrapper's own public name (m_hIcon, m_hMenu, ...) and says how
// to destroy it:
//     struct CIconKind { HICON m_hIcon = nullptr; HICON& Slot() noexcept { return m_hIcon; }
//                        HICON Slot() const noexcept { return m_hIcon; }
//                        static void Destroy(HICON icon) noexcept { ::DestroyIcon(icon); } };
#include <utility>

template <class THandle, bool t_bManaged, class TKind>
class TWrappedHandle : public TKind
{
public:
    TWrappedHandle(THandle handle = nullptr) noexcept { this->Slot() = handle; }
    ~TWrappedHandle()
    {
        if (t_bManaged && this->Slot())
            TKind::Destroy(this->Slot());
    }
    TWrappedHandle(const TWrappedHandle& other) noexcept
        requires(!t_bManaged)
        : TKind(other)
    {
    }
    TWrappedHandle& operator=(const TWrappedHandle& other) noexcept
        requires(!t_bManaged)
    {
        this->Slot() = other.Slot();
        return *this;
    }
    // Moving is implemented: the handle changes holder, and the one moved from is left empty (or,
    // by assignment, with the target's old handle, which it then destroys).
    TWrappedHandle(TWrappedHandle&& other) noexcept { this->Slot() = std::exchange(other.Slot(), nullptr); }
    TWrappedHandle& operator=(TWrappedHandle&& other) noexcept
    {
        std::swap(this->Slot(), other.Slot());
        return *this;
    }
    TWrappedHandle& operator=(THandle handle) noexcept
    {
        Attach(handle);
        return *this;
    }

    void Attach(THandle handle) noexcept
    {
        if (t_bManaged && this->Slot() && this->Slot() != handle)
            TKind::Destroy(this->Slot());
        this->Slot() = handle;
    }
    THandle Detach() noexcept { return std::exchange(this->Slot(), nullptr); }
    operator THandle() const noexcept { return this->Slot(); }
    bool IsNull() const noexcept { return this->Slot() == nullptr; }
};
