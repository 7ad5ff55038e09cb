#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

// What a page hosted here would be allowed, asked from inside the host's process the way the
// platform's control asks: the process's feature controls, and the site's security manager
// (IServiceProvider, SID_SInternetSecurityManager) for each URL action of a list.
class SecurityProbe {
public:
    // actions: hexadecimal URL actions separated by commas ("1200,1400"). Answers
    // "features=<enabled INTERNETFEATURELIST values>\tservice=<QueryService HRESULT>" and, per
    // action, "\t<action>=<HRESULT>/<policy written, or none>"; every figure in hexadecimal.
    static std::wstring Run(IOleClientSite* site, const std::wstring& address, const std::wstring& actions);
};
