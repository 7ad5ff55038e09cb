#pragma once

// The browser control's feature controls that a host of remote pages turns on. They are set
// for this process only, nothing goes to the registry, and before the first control is made.
class BrowserFeatures {
public:
    // The first call turns them on; later calls do nothing.
    static void EnableOnce();
};
