#pragma once

#include "toolkit/ComObject.h"

#include <windows.h>
#include <ole2.h>

#include <string>

// Text the player copied from a page, as the platform's control puts it on the clipboard: a data
// object of its own handed to OleSetClipboard, which renders CF_UNICODETEXT only when asked.
class ClipboardText : public ComObject<IDataObject> {
public:
    // Puts the text on the clipboard; answers OleSetClipboard's HRESULT.
    static HRESULT Copy(const std::wstring& text);

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* canonical) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    explicit ClipboardText(const std::wstring& text);
    void* Find(REFIID riid) override;

    std::wstring text;
};
