#include <gtest/gtest.h>

#include "components/helprouter/HelpRouting.h"
#include "framework/core/FileNames.h"

namespace {

using namespace help_commands;

THelpRequestState Html() {
    THelpRequestState s;
    s.HelpType = htHTMLhelp;
    s.HelpFile = "C:\\Program Files\\Quorvane\\quorvane.chm";
    s.PopupTopics = "CSHelp.txt";
    s.ViewerLoaded = true;
    s.ViewerAvailable = [] { return true; };
    return s;
}

TEST(HelpRouting, ViewerCommandsForEachRequest) {
    struct Case {
        unsigned command;
        std::intptr_t data;
        THelpAction::TKind kind;
        unsigned viewer;
        std::intptr_t viewerData;
        bool path;
    } cases[] = {
        {kTab, 0, THelpAction::Viewer, kDisplayToc, 0, true},
        {kTab, 1, THelpAction::Viewer, kDisplayIndex, 0, true},
        {kContext, 42, THelpAction::Viewer, kHelpContext, 42, true},
        {kQuit, 0, THelpAction::Viewer, kCloseAll, 0, false},
        {kIndex, 0, THelpAction::Viewer, kDisplayToc, 0, true},
        {kFinder, 0, THelpAction::Viewer, kDisplayToc, 0, true},
        {kKey, 1234, THelpAction::Viewer, kDisplayIndex, 1234, true},
        {kPartialKey, 99, THelpAction::Viewer, kDisplayIndex, 99, true},
        {77, 0, THelpAction::None, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        THelpRequestState s = Html();
        const THelpAction a = RouteHelpRequest(s, c.command, c.data, {});
        EXPECT_EQ(a.Kind, c.kind);
        EXPECT_FALSE(a.CallHelp);
        if (c.kind == THelpAction::Viewer) {
            EXPECT_EQ(a.ViewerCommand, c.viewer);
            EXPECT_EQ(a.Data, c.viewerData);
            EXPECT_EQ(a.Path, c.path ? "C:\\Program Files\\Quorvane\\quorvane.chm" : "");
        }
    }
}

TEST(HelpRouting, PopupsTakeTheSetPositionOnceThenTheCursor) {
    THelpRequestState s = Html();
    THelpAction a = RouteHelpRequest(s, kSetPopupPos, (200 << 16) | 100, {});
    EXPECT_EQ(a.Kind, THelpAction::None);
    EXPECT_EQ(s.PopupPos, (THelpPoint{100, 200}));
    a = RouteHelpRequest(s, kContextPopup, 7, {5, 6});
    EXPECT_EQ(a.Kind, THelpAction::Popup);
    EXPECT_EQ(a.PopupAt, (THelpPoint{100, 200}));
    EXPECT_EQ(a.Data, 7);
    EXPECT_TRUE(a.Result);
    a = RouteHelpRequest(s, kContextPopup, 7, {5, 6});
    EXPECT_EQ(a.PopupAt, (THelpPoint{5, 6}));
    // Negative positions survive the 16-bit halves.
    RouteHelpRequest(s, kSetPopupPos, (0xFFFE << 16) | 0xFFFF, {});
    EXPECT_EQ(s.PopupPos, (THelpPoint{-1, -2}));

    // With stMain a popup request opens the topic.
    s = Html();
    s.ShowType = stMain;
    a = RouteHelpRequest(s, kContextPopup, 9, {});
    EXPECT_EQ(a.Kind, THelpAction::Viewer);
    EXPECT_EQ(a.ViewerCommand, kHelpContext);
    EXPECT_EQ(a.Data, 9);
}

TEST(HelpRouting, TheClassicEngineAndMixedMode) {
    THelpRequestState s = Html();
    s.HelpType = htMixedMode;
    s.PopupTopics = "popups.hlp";
    THelpAction a = RouteHelpRequest(s, kContextPopup, 3, {});
    EXPECT_EQ(a.Kind, THelpAction::WinHelp);
    EXPECT_EQ(a.Path, "C:\\Program Files\\Quorvane\\popups.hlp");
    EXPECT_EQ(a.Command, kContextPopup);
    s.PopupTopics = "D:\\help\\other.HLP";
    EXPECT_EQ(RouteHelpRequest(s, kContextPopup, 3, {}).Path, "D:\\help\\other.hlp");
    // Other requests of mixed mode go to the viewer.
    EXPECT_EQ(RouteHelpRequest(s, kTab, 0, {}).Kind, THelpAction::Viewer);

    s.HelpType = htWinhelp;
    a = RouteHelpRequest(s, kContext, 5, {});
    EXPECT_EQ(a.Kind, THelpAction::WinHelp);
    EXPECT_EQ(a.Path, "C:\\Program Files\\Quorvane\\quorvane.hlp");
    a = RouteHelpRequest(s, 0, 0, {});
    EXPECT_EQ(a.Kind, THelpAction::None);
    EXPECT_TRUE(a.Result);
}

TEST(HelpRouting, AMissingViewerAndAnEarlyQuit) {
    THelpRequestState s = Html();
    s.ViewerLoaded = false;
    s.ViewerAvailable = [] { return false; };
    THelpAction a = RouteHelpRequest(s, kQuit, 0, {});
    EXPECT_EQ(a.Kind, THelpAction::None);
    EXPECT_TRUE(a.Result);
    EXPECT_FALSE(a.CallHelp);
    a = RouteHelpRequest(s, kTab, 0, {});
    EXPECT_EQ(a.Kind, THelpAction::Fallback);
    EXPECT_TRUE(a.CallHelp);
}

TEST(HelpRouting, PathRules) {
    EXPECT_EQ(ChangeFileExt("a\\b.hlp", ".chm"), "a\\b.chm");
    EXPECT_EQ(ChangeFileExt("a.dir\\b", ".chm"), "a.dir\\b.chm");
    EXPECT_EQ(PopupSource("C:\\q\\quorvane.hlp", ""), "C:\\q\\quorvane.chm::/CSHelp.txt");
    EXPECT_EQ(PopupSource("quorvane.chm", "Pop.txt"), "quorvane.chm::/Pop.txt");
    EXPECT_EQ(ResolveHelpFile("quorvane.chm", "C:\\Program Files\\Quorvane"),
              "C:\\Program Files\\Quorvane\\quorvane.chm");
    EXPECT_EQ(ResolveHelpFile("quorvane.chm", "Z:\\"), "Z:\\quorvane.chm");
    EXPECT_EQ(ResolveHelpFile("D:\\x\\quorvane.chm", "C:\\p"), "D:\\x\\quorvane.chm");
    EXPECT_EQ(ResolveHelpFile("sub/quorvane.chm", "C:\\p"), "sub/quorvane.chm");
    EXPECT_EQ(ResolveHelpFile("", "C:\\p"), "");
}

} // namespace
