// The messages the windows post to themselves, numbered in one place so that none shares a number.
#pragma once

#include <windows.h>

namespace PrivateMessages {

// Posted by ButtonPanel::PressLater: wParam is the button, pressed if it is still shown by then.
const UINT pressButton = WM_APP + 1;
// Posted by PageWind when a restore shows the page again, handled once the restore is done.
const UINT pageRestored = WM_APP + 2;

} // namespace PrivateMessages
