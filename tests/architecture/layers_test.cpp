// The layers of the source tree, checked from the build's own lists: the
// core library and the command line include no Qt header and no window
// file, and every file includes only its own layer and those below it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(ZORVIKA_SOURCE_DIR) / "src";

std::string readText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sources a build list names: the words ending in ".cpp" between
// "add_library(<target>" and the closing parenthesis.
std::set<std::string> sourcesOf(const std::string& cmakeText, const std::string& target)
{
    std::set<std::string> sources;
    const auto at = cmakeText.find("add_library(" + target + " ");
    if (at == std::string::npos)
        return sources;
    const std::string list = cmakeText.substr(at, cmakeText.find(')', at) - at);
    const std::regex word(R"(([A-Za-z0-9_/]+)\.cpp)");
    for (std::sregex_iterator it(list.begin(), list.end(), word), end; it != end; ++it)
        sources.insert((*it)[1].str());
    return sources;
}

struct Tree {
    std::set<std::string> core; // stems ("analysis/results") of the core and command-line libraries
    std::set<std::string> gui;  // stems of the desktop library
};

Tree readTree()
{
    const std::string lists = readText(kSource / "CMakeLists.txt");
    const std::string gui = readText(kSource / "gui.cmake");
    Tree tree;
    for (const char* target : {"zorvika_core", "zorvika_cli_lib"})
        for (const std::string& s : sourcesOf(lists, target))
            tree.core.insert(s);
    tree.gui = sourcesOf(gui, "zorvika_gui");
    return tree;
}

// Rank of a layer: a file may include headers of its own rank and below.
// The core, bottom up, then the desktop's layers above it.
const std::map<std::string, int> kCoreRanks = {{"base", 0},  {"components", 1}, {"analysis", 2}, {"output", 3},
                                               {"shell", 4}, {"history", 5},    {"cli", 6}};
const std::map<std::string, int> kDesktopRanks = {{"components/qt", 7}, {"widgets", 8}};
constexpr int kWindowRank = 9;

std::string folderOf(const std::string& stem) { return fs::path(stem).parent_path().string(); }

// The layer of a source or header, by the library that builds it: a header
// without a source of its own goes by its folder, and a header-only file in
// a folder of windows counts as a window's.
int rankOf(const std::string& stem, const Tree& tree)
{
    const std::string folder = folderOf(stem);
    const bool core = tree.core.count(stem) != 0
                      || (tree.gui.count(stem) == 0 && folder != "shell" && folder != "history" && kCoreRanks.count(folder));
    if (core && kCoreRanks.count(folder))
        return kCoreRanks.at(folder);
    if (kDesktopRanks.count(folder))
        return kDesktopRanks.at(folder);
    return kWindowRank;
}

struct Include {
    std::string target; // "analysis/results.h" or "QString"
    bool qt;
};

std::vector<Include> includesOf(const fs::path& file)
{
    std::vector<Include> found;
    const std::string text = readText(file);
    const std::regex ours(R"re(#include "([a-z_/]+)\.h")re");
    const std::regex qt(R"(#include <(Q[A-Za-z]*|Qt[A-Za-z/]*)>)");
    for (std::sregex_iterator it(text.begin(), text.end(), ours), end; it != end; ++it)
        found.push_back({(*it)[1].str(), false});
    for (std::sregex_iterator it(text.begin(), text.end(), qt), end; it != end; ++it)
        found.push_back({(*it)[1].str(), true});
    return found;
}

std::vector<std::string> filesOfStem(const std::string& stem)
{
    std::vector<std::string> files;
    for (const char* ext : {".h", ".cpp"})
        if (fs::exists(kSource / (stem + ext)))
            files.push_back(stem + ext);
    return files;
}

} // namespace

TEST(Layers, TheBuildListsNameTheTree)
{
    // The checks below read the lists; an empty or misread list would pass
    // them all.
    const Tree tree = readTree();
    ASSERT_FALSE(tree.core.empty());
    ASSERT_FALSE(tree.gui.empty());
    for (const auto* list : {&tree.core, &tree.gui})
        for (const std::string& stem : *list)
            EXPECT_TRUE(fs::exists(kSource / (stem + ".cpp"))) << stem;
}

TEST(Layers, NoWindowFileIsInTheCoreLibrary)
{
    const Tree tree = readTree();
    for (const std::string& stem : tree.core) {
        EXPECT_EQ(tree.gui.count(stem), 0u) << stem << " is in both libraries";
        const std::string folder = folderOf(stem);
        EXPECT_FALSE(kDesktopRanks.count(folder)) << stem << " is a desktop file in the core library";
        EXPECT_FALSE(fs::path(stem).filename().string().starts_with("frm_")) << stem << " is a window";
    }
}

TEST(Layers, CoreFilesIncludeNoQtHeaderEvenThroughTheirHeaders)
{
    const Tree tree = readTree();
    // Every header a core file reaches, followed through our own includes.
    std::set<std::string> seen;
    std::vector<std::string> todo(tree.core.begin(), tree.core.end());
    while (!todo.empty()) {
        const std::string stem = todo.back();
        todo.pop_back();
        if (!seen.insert(stem).second)
            continue;
        for (const std::string& file : filesOfStem(stem))
            for (const Include& inc : includesOf(kSource / file)) {
                EXPECT_FALSE(inc.qt) << file << " (reached from the core) includes <" << inc.target << ">";
                if (!inc.qt && fs::exists(kSource / (inc.target + ".h")))
                    todo.push_back(inc.target);
            }
    }
    EXPECT_GE(seen.size(), tree.core.size());
}

TEST(Layers, EveryFileIncludesOnlyItsLayerAndThoseBelow)
{
    const Tree tree = readTree();
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
        const fs::path rel = fs::relative(entry.path(), kSource);
        const std::string ext = rel.extension().string();
        if (ext != ".h" && ext != ".cpp")
            continue;
        const std::string stem = (rel.parent_path() / rel.stem()).string();
        if (rel.parent_path().empty())
            continue;
        const int own = rankOf(stem, tree);
        for (const Include& inc : includesOf(entry.path())) {
            if (inc.qt) {
                EXPECT_GE(own, kDesktopRanks.at("components/qt")) << rel << " includes <" << inc.target << ">";
                continue;
            }
            if (!fs::exists(kSource / (inc.target + ".h")))
                continue;
            EXPECT_LE(rankOf(inc.target, tree), own) << rel << " includes " << inc.target << ".h from a layer above";
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(Layers, OnlyTheSystemLayerTalksToTheSystem)
{
    // The system's own headers and the `#ifdef`s that choose between
    // systems belong to the system layer's implementations; every other file,
    // windows included, is the same on every system.
    const std::regex systemHeader(
        R"(#include <(unistd|fcntl|dirent|dlfcn|spawn|pwd|signal|windows|shellapi|io|direct)\.h>|#include <sys/)");
    const std::regex systemChoice(R"(#\s*if(def|ndef)?\b.*\b(_WIN32|__linux__|__unix__|__APPLE__|_MSC_VER)\b)");
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || (!name.ends_with(".cpp") && !name.ends_with(".h")))
            continue;
        ++checked;
        const bool systemLayer = name.ends_with("_posix.cpp") || name.ends_with("_win32.cpp");
        if (systemLayer)
            continue;
        const std::string text = readText(entry.path());
        std::smatch m;
        EXPECT_FALSE(std::regex_search(text, m, systemHeader))
            << fs::relative(entry.path(), kSource).string() << " includes " << m.str();
        // The layer's header says once which system it is built for.
        if (name != "platform.h") {
            EXPECT_FALSE(std::regex_search(text, m, systemChoice))
                << fs::relative(entry.path(), kSource).string() << " chooses a system: " << m.str();
        }
    }
    EXPECT_GT(checked, 100);
}
