// The host's command target: a page's script errors end here.
#include "webview/AxCommandTarget.h"

namespace {

// The command group in which an HTML control reports script errors to its host.
const GUID docHostCommandGroup = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

} // namespace

AxCommandTarget::AxCommandTarget(IUnknown* outer)
    : AxHostPart(outer)
{
}

STDMETHODIMP AxCommandTarget::QueryStatus(const GUID* group, ULONG, OLECMD[], OLECMDTEXT*)
{
    return group ? OLECMDERR_E_UNKNOWNGROUP : OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP AxCommandTarget::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT* out)
{
    if (!group)
        return OLECMDERR_E_NOTSUPPORTED;
    if (!IsEqualGUID(*group, docHostCommandGroup))
        return OLECMDERR_E_UNKNOWNGROUP;
    if (command != OLECMDID_SHOWSCRIPTERROR)
        return OLECMDERR_E_NOTSUPPORTED;
    // Handled without a dialog; the page's scripts go on running.
    if (out) {
        VariantInit(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}
