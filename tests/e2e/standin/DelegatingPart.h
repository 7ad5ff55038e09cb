#pragma once

#include <windows.h>
#include <unknwn.h>

// One interface of a COM object, kept apart from the class that owns the object: it answers
// with the owner's identity and counts the owner's references. Owner needs to be complete only
// where a part is made.
template <typename Interface, typename Owner>
class DelegatingPart : public Interface {
public:
    DelegatingPart(const DelegatingPart&) = delete;
    DelegatingPart& operator=(const DelegatingPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        return owner.QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner.Release(); }

protected:
    explicit DelegatingPart(Owner& owner) : owner(owner) {}
    virtual ~DelegatingPart() = default;

    Owner& owner;
};
