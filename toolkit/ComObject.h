// The identity and the one reference count of a COM object made by this system.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <initializer_list>

// Interface is the object's own; IUnknown answers with it. Find names what else it answers for:
// the interfaces it derives from (IsOneOf), or parts that share its count. It starts with the
// one reference its maker holds; the last Release deletes it.
template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = IsEqualIID(iid, IID_IUnknown) ? static_cast<Interface*>(this) : Find(iid);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

    // The interface pointer that answers iid, or null.
    virtual void* Find(REFIID iid) = 0;
    static bool IsOneOf(REFIID iid, std::initializer_list<const IID*> iids)
    {
        for (const IID* known : iids) {
            if (IsEqualIID(iid, *known))
                return true;
        }
        return false;
    }

private:
    LONG references = 1;
};
