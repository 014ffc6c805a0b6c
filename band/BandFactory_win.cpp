#include "band/BandFactory_win.h"

#include "band/BandIds.h"
#include "band/QuorvaneBand_win.h"
#include "framework/com/ComRegistry_win.h"
#include "framework/gui/WindowPlumbing_win.h"

TQuorvaneBandFactory::TQuorvaneBandFactory(TComServer& Server)
    : TComObjectFactory(Server, &CreateQuorvaneBand, CLSID_QuorvaneBand, "", "Quorvane",
                        ciMultiInstance, tmSingle) {}

void TQuorvaneBandFactory::UpdateRegistry(bool Register) {
    TComObjectFactory::UpdateRegistry(Register);
    TComRegistry& reg = ComServer().Registry();
    const std::string classKey = ClassKey();
    const std::string serverKey = classKey + "\\InProcServer32";
    const std::string categoryKey = classKey + "\\Implemented Categories\\" + kDeskBandCategory;
    if (Register) {
        if (reg.OpenOrCreate(classKey))
            reg.WriteString(classKey, "", "Quorvane");
        if (reg.OpenOrCreate(serverKey))
            reg.WriteString(serverKey, "ThreadingModel", "Apartment");
        // The empty key is what marks the class as a desk band.
        reg.OpenOrCreate(categoryKey);
    } else {
        reg.DeleteTree(std::string("Component Categories\\") + kDeskBandCategory + "\\Enum");
        reg.DeleteTree(categoryKey);
        reg.DeleteTree(serverKey);
        reg.DeleteTree(classKey);
    }
}

TComServer& BandServer() {
    static TComServer server(LibraryInstance());
    static TQuorvaneBandFactory factory(server);
    return server;
}
