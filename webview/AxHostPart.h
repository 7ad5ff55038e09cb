// One interface of a host object that answers for it.
#pragma once

#include <unknwn.h>

// Identity and the one reference count belong to the outer object.
template <typename Interface>
class AxHostPart : public Interface {
public:
    explicit AxHostPart(IUnknown* outer) : outer(outer) {}
    AxHostPart(const AxHostPart&) = delete;
    AxHostPart& operator=(const AxHostPart&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return outer->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return outer->Release(); }

private:
    IUnknown* outer;
};
