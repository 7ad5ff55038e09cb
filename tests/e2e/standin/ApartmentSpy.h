#pragma once

// Watches the COM apartment of the thread a stand-in is made on (CoRegisterInitializeSpy) and
// logs its final uninitialisation, the one that ends the apartment and unloads this DLL with
// every other in-process server, as `ApartmentEnded`. The spy revokes itself there, before the
// DLL that holds its code goes; the next stand-in made on the thread registers it afresh.
class ApartmentSpy {
public:
    // Registers the spy on the calling thread unless it watches it already.
    static void Watch();
    // Whether a spy is registered: the DLL must not be unloaded meanwhile.
    static bool Watching();
};
