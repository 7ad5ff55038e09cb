// The operator's web addresses, in one place.
#pragma once

// The operator's web addresses. Rebranding the launcher means editing this file only.
namespace OperatorAddresses {

const wchar_t loginPage[] = L"http://passport.ops.test/kolv/login";
const wchar_t officialSite[] = L"http://www.ops.test/kolv";
const wchar_t recharge[] = L"http://pay.ops.test/?payway=1&gname=kolv";
const wchar_t forum[] = L"http://bbs.ops.test/forum-2256-1.html";
const wchar_t customerService[] = L"http://kf.ops.test/";

// A completed navigation to an address containing this is a login to a game server.
const wchar_t loginPattern[] = L".kolv.ops.test/login.php";

} // namespace OperatorAddresses
