#pragma once

#include "DelegatingPart.h"

class StandInBrowser;

// IOleWindow of the stand-in, for each of its parts whose interface derives from it: the
// stand-in's window while it is in place.
template <typename Interface>
class OleWindowPart : public DelegatingPart<Interface, StandInBrowser> {
public:
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = this->owner.Window().Handle();
        return *window != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }

protected:
    explicit OleWindowPart(StandInBrowser& owner) : DelegatingPart<Interface, StandInBrowser>(owner) {}
};
