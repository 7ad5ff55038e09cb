#include "ClipboardText.h"

#include <shlobj.h>

#include <cstring>

namespace {

FORMATETC TextFormat()
{
    return FORMATETC{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool IsText(const FORMATETC* format)
{
    return format != nullptr && format->cfFormat == CF_UNICODETEXT && (format->tymed & TYMED_HGLOBAL) != 0 &&
        format->dwAspect == DVASPECT_CONTENT;
}

}

HRESULT ClipboardText::Copy(const std::wstring& text)
{
    ClipboardText* data = new ClipboardText(text);
    HRESULT result = OleSetClipboard(data);
    data->Release();
    return result;
}

ClipboardText::ClipboardText(const std::wstring& text) : text(text)
{
}

void* ClipboardText::Find(REFIID riid)
{
    return IsEqualIID(riid, IID_IDataObject) ? static_cast<IDataObject*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE ClipboardText::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (medium == nullptr) {
        return E_POINTER;
    }
    if (!IsText(format)) {
        return DV_E_FORMATETC;
    }
    SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* target = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (target == nullptr) {
        GlobalFree(memory);
        return E_OUTOFMEMORY;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ClipboardText::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClipboardText::QueryGetData(FORMATETC* format)
{
    return IsText(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE ClipboardText::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical)
{
    if (canonical != nullptr) {
        canonical->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE ClipboardText::SetData(FORMATETC*, STGMEDIUM*, BOOL)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ClipboardText::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats)
{
    if (formats == nullptr) {
        return E_POINTER;
    }
    *formats = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    FORMATETC format = TextFormat();
    return SHCreateStdEnumFmtEtc(1, &format, formats);
}

HRESULT STDMETHODCALLTYPE ClipboardText::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE ClipboardText::DUnadvise(DWORD)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE ClipboardText::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}
