// The browser control's feature controls that a host of remote pages turns on.
#pragma once

// Turned on before the first control is made. The security features are set for this process only;
// GPU rendering and the document mode, which the control reads from the registry only, are written
// there for the launcher's file name.
class BrowserFeatures {
public:
    // The first call turns them on; later calls do nothing.
    static void EnableOnce();
};
