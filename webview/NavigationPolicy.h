// Which addresses a page may go to, which of them the watch waits on, and which statuses fail.
#pragma once

#include <string>

// A page navigates on the web only: the web, the control's blank pages and script. Compared in
// ASCII only; an address without a scheme, or one that could not be read, is refused.
bool MayNavigate(const wchar_t* address);
// The schemes that load a document from elsewhere, which may take long or never come.
bool LoadsDocument(const wchar_t* address);
// A move to another part of the page shown loads no document and completes none.
bool WithinPage(const wchar_t* address, const std::wstring& page);
// Below 400 a status is an answer, not a failure: 204 leaves the page as it is, 304 shows the
// copy the control kept.
bool IsFailure(long status);
