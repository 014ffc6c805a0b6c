#pragma once

#include "framework/com/ComServer_win.h"

// The band's class factory: the base's registration plus the apartment threading model and
// the desk band category, and on unregistering the removal of the shell's cached list of the
// category's members, so that the shell builds it anew.
class TQuorvaneBandFactory : public TComObjectFactory {
public:
    explicit TQuorvaneBandFactory(TComServer& Server);
    void UpdateRegistry(bool Register) override;
};

// The band library's server and its one factory, made on first use (never in DllMain).
TComServer& BandServer();
