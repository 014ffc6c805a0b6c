// The band factory's registration through the registry seam: the keys it writes and deletes,
// in order, and a refused write making registration fail.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "band/BandFactory_win.h"
#include "band/BandIds.h"
#include "framework/com/ComRegistry_win.h"
#include "framework/com/ComServer_win.h"

namespace {

class TRecordingRegistry : public TComRegistry {
public:
    std::vector<std::string> Log;
    std::string RefuseWritesTo; // a key whose writes the system refuses
    bool OpenOrCreate(const std::string& Key) override {
        Log.push_back("open " + Key);
        return true;
    }
    void WriteString(const std::string& Key, const std::string& Name,
                     const std::string& Value) override {
        if (!RefuseWritesTo.empty() && Key == RefuseWritesTo)
            throw EOleRegistrationError("Error creating system registry entry");
        Log.push_back("write " + Key + " [" + Name + "] = " + Value);
    }
    void DeleteKey(const std::string& Key) noexcept override { Log.push_back("delete " + Key); }
    void DeleteTree(const std::string& Key) noexcept override { Log.push_back("tree " + Key); }
};

struct Server {
    TComServer server{GetModuleHandleA(nullptr)};
    TQuorvaneBandFactory factory{server};
    TRecordingRegistry reg;
    Server() {
        server.HandleTypeLibrary = false;
        server.SetRegistry(&reg);
    }
};

const std::string kClass = "CLSID\\" + GUIDToString(CLSID_QuorvaneBand);

TEST(BandRegistration, KeysWrittenInOrder) {
    Server s;
    ASSERT_EQ(s.server.RegisterServer(), S_OK);
    const std::string path = s.server.RegisteredServerName();
    const std::vector<std::string> expected = {
        "write " + kClass + " [] = Quorvane",
        "write " + kClass + "\\InprocServer32 [] = " + path,
        "open " + kClass,
        "write " + kClass + " [] = Quorvane",
        "open " + kClass + "\\InProcServer32",
        "write " + kClass + "\\InProcServer32 [ThreadingModel] = Apartment",
        "open " + kClass + "\\Implemented Categories\\" + kDeskBandCategory,
    };
    EXPECT_EQ(s.reg.Log, expected);
}

TEST(BandRegistration, KeysDeletedInOrder) {
    Server s;
    ASSERT_EQ(s.server.UnregisterServer(), S_OK);
    const std::vector<std::string> expected = {
        "delete " + kClass + "\\InprocServer32",
        "delete " + kClass,
        std::string("tree Component Categories\\") + kDeskBandCategory + "\\Enum",
        "tree " + kClass + "\\Implemented Categories\\" + kDeskBandCategory,
        "tree " + kClass + "\\InProcServer32",
        "tree " + kClass,
    };
    EXPECT_EQ(s.reg.Log, expected);
}

TEST(BandRegistration, ARefusedWriteFailsAndKeepsWhatWasDone) {
    Server s;
    s.reg.RefuseWritesTo = kClass + "\\InProcServer32";
    EXPECT_EQ(s.server.RegisterServer(), E_FAIL);
    // The base part's keys were written before the refusal and stay.
    ASSERT_GE(s.reg.Log.size(), 2u);
    EXPECT_EQ(s.reg.Log[0], "write " + kClass + " [] = Quorvane");
}

TEST(BandRegistration, GuidText) {
    EXPECT_EQ(GUIDToString(CLSID_QuorvaneBand), "{83F0B1CE-16FE-4401-A446-2FD0EFFB3CC1}");
}

} // namespace
