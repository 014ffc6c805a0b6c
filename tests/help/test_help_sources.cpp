// The help's sources: every page the project compiles exists, the table of contents names only
// compiled pages, and no page links to a page that is not compiled.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Read(const std::string& name) {
    std::ifstream in(std::string(HELP_DIR) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& name) {
    return std::ifstream(std::string(HELP_DIR) + "/" + name).good();
}

// The files of the project's [FILES] section.
std::set<std::string> ProjectFiles() {
    std::istringstream in(Read("quorvane.hhp"));
    std::set<std::string> files;
    std::string line;
    bool inFiles = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inFiles = line == "[FILES]";
            continue;
        }
        if (inFiles && !line.empty())
            files.insert(line);
    }
    return files;
}

// Every value of Attribute="..." (or value="..." after a name Local) in Text.
std::vector<std::string> Values(const std::string& text, const std::string& before) {
    std::vector<std::string> out;
    for (std::size_t at = text.find(before); at != std::string::npos;
         at = text.find(before, at + 1)) {
        const std::size_t start = at + before.size();
        const std::size_t end = text.find('"', start);
        if (end == std::string::npos)
            break;
        out.push_back(text.substr(start, end - start));
    }
    return out;
}

TEST(HelpSources, TheProjectNamesItsPagesContentsAndPopups) {
    const std::string project = Read("quorvane.hhp");
    ASSERT_FALSE(project.empty());
    EXPECT_NE(project.find("Compiled file=quorvane.chm"), std::string::npos);
    EXPECT_NE(project.find("Contents file=toc.hhc"), std::string::npos);
    EXPECT_NE(project.find("Default topic=index.html"), std::string::npos);
    const std::set<std::string> files = ProjectFiles();
    EXPECT_TRUE(files.count("index.html"));
    EXPECT_TRUE(files.count("CSHelp.txt")) << "the router's popup topics";
    for (const std::string& f : files)
        EXPECT_TRUE(Exists(f)) << f;
}

TEST(HelpSources, ContentsAndLinksStayInsideTheHelp) {
    const std::set<std::string> files = ProjectFiles();
    const std::vector<std::string> toc = Values(Read("toc.hhc"), "name=\"Local\" value=\"");
    EXPECT_GE(toc.size(), 7u);
    for (const std::string& page : toc)
        EXPECT_TRUE(files.count(page)) << "contents name " << page;
    for (const std::string& f : files) {
        if (f.size() < 5 || f.substr(f.size() - 5) != ".html")
            continue;
        const std::string html = Read(f);
        EXPECT_NE(html.find("<title>"), std::string::npos) << f;
        for (std::string target : Values(html, "href=\"")) {
            const std::size_t hash = target.find('#');
            if (hash != std::string::npos)
                target = target.substr(0, hash);
            if (target.empty())
                continue;
            EXPECT_TRUE(files.count(target)) << f << " links to " << target;
        }
    }
}

} // namespace
