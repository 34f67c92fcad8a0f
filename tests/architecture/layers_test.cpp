// The layers of the source tree, checked from the build's own lists: one
// library per folder, each linking only the layers below it; the core and
// the command line include no Qt header, and every file includes only its
// own layer and those below it.
#include <gtest/gtest.h>

#include <algorithm>
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

// One library per folder of src/, as the build lists declare it:
// "zorvika_layer(<target> <folder> SOURCES ... USES ...)".
struct Layer {
    std::string target, folder;
    std::set<std::string> sources; // stems ("analysis/results")
    std::set<std::string> uses;    // the targets it links
};

std::vector<Layer> readLayers()
{
    std::string lists = readText(kSource / "CMakeLists.txt") + readText(kSource / "gui.cmake");
    // The system layer's sources for either system, named in one variable.
    std::set<std::string> platform;
    const std::regex word(R"(([A-Za-z0-9_/]+)\.cpp)");
    for (std::sregex_iterator it(lists.begin(), lists.end(), word), end; it != end; ++it)
        if ((*it)[1].str().ends_with("_posix") || (*it)[1].str().ends_with("_win32"))
            platform.insert((*it)[1].str());
    std::vector<Layer> layers;
    const std::regex call(R"(zorvika_layer\((\w+) (\w+)\s+SOURCES([^)]*?)(?:USES([^)]*))?\))");
    for (std::sregex_iterator it(lists.begin(), lists.end(), call), end; it != end; ++it) {
        Layer layer{(*it)[1].str(), (*it)[2].str(), {}, {}};
        const std::string sources = (*it)[3].str();
        for (std::sregex_iterator w(sources.begin(), sources.end(), word), wend; w != wend; ++w)
            layer.sources.insert((*w)[1].str());
        if (sources.find("ZORVIKA_PLATFORM_SOURCES") != std::string::npos)
            layer.sources.insert(platform.begin(), platform.end());
        const std::string uses = (*it)[4].str();
        const std::regex target(R"(zorvika_\w+)");
        for (std::sregex_iterator u(uses.begin(), uses.end(), target), uend; u != uend; ++u)
            layer.uses.insert(u->str());
        layers.push_back(std::move(layer));
    }
    return layers;
}

// Bottom up: a folder may include its own headers and those of the folders
// below it, never one above. The core first, the desktop's layers above it.
const std::vector<std::string> kRanks = {"base",    "components", "analysis", "output",  "shell",
                                         "history", "revisions",  "cli",      "widgets", "desktop"};
constexpr int kFirstDesktopRank = 8;

int rankOf(const std::string& folder)
{
    const auto it = std::find(kRanks.begin(), kRanks.end(), folder);
    return it == kRanks.end() ? -1 : static_cast<int>(it - kRanks.begin());
}

std::string folderOf(const std::string& stem) { return fs::path(stem).begin()->string(); }

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

// Every source and header of src/, by its path from src/.
std::vector<fs::path> sourceFiles()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kSource)) {
        const fs::path rel = fs::relative(entry.path(), kSource);
        if (!rel.parent_path().empty() && (rel.extension() == ".h" || rel.extension() == ".cpp"))
            files.push_back(rel);
    }
    return files;
}

} // namespace

TEST(Layers, EveryFolderIsOneLibraryThatListsItsSources)
{
    const std::vector<Layer> layers = readLayers();
    std::set<std::string> folders;
    for (const Layer& layer : layers) {
        EXPECT_TRUE(folders.insert(layer.folder).second) << layer.folder << " is built by two libraries";
        EXPECT_NE(rankOf(layer.folder), -1) << layer.folder << " has no place among the layers";
        EXPECT_FALSE(layer.sources.empty()) << layer.target;
        for (const std::string& stem : layer.sources) {
            EXPECT_TRUE(fs::exists(kSource / (stem + ".cpp"))) << stem;
            EXPECT_EQ(folderOf(stem), layer.folder) << stem << " is built by " << layer.target;
        }
    }
    EXPECT_EQ(folders.size(), kRanks.size());
    // Every source is in its folder's library, but a program's own main.
    for (const fs::path& file : sourceFiles()) {
        if (file.extension() != ".cpp" || file.stem() == "main" || file.stem().string().ends_with("_main"))
            continue;
        const std::string stem = (file.parent_path() / file.stem()).string();
        const auto owner = std::find_if(layers.begin(), layers.end(),
                                        [&](const Layer& l) { return l.folder == folderOf(stem); });
        ASSERT_NE(owner, layers.end()) << stem;
        EXPECT_TRUE(owner->sources.count(stem)) << stem << " is in no library";
    }
}

TEST(Layers, EachLibraryLinksOnlyTheLayersBelowIt)
{
    // The build refuses an include of a layer that a library does not link;
    // the links themselves must point down.
    const std::vector<Layer> layers = readLayers();
    std::map<std::string, std::string> folderOfTarget;
    for (const Layer& layer : layers)
        folderOfTarget[layer.target] = layer.folder;
    int links = 0;
    for (const Layer& layer : layers)
        for (const std::string& used : layer.uses) {
            if (!folderOfTarget.count(used))
                continue; // zorvika_core: every core layer, and so below any face
            EXPECT_LT(rankOf(folderOfTarget[used]), rankOf(layer.folder)) << layer.target << " links " << used;
            ++links;
        }
    EXPECT_GE(links, 6);
}

TEST(Layers, CoreFilesIncludeNoQtHeader)
{
    int checked = 0;
    for (const fs::path& file : sourceFiles()) {
        if (rankOf(folderOf(file.string())) >= kFirstDesktopRank)
            continue;
        ++checked;
        for (const Include& inc : includesOf(kSource / file))
            EXPECT_FALSE(inc.qt) << file << " includes <" << inc.target << ">";
    }
    EXPECT_GT(checked, 50);
}

TEST(Layers, EveryFileIncludesOnlyItsLayerAndThoseBelow)
{
    int checked = 0;
    for (const fs::path& file : sourceFiles()) {
        const int own = rankOf(folderOf(file.string()));
        for (const Include& inc : includesOf(kSource / file)) {
            if (inc.qt || !fs::exists(kSource / (inc.target + ".h")))
                continue;
            EXPECT_LE(rankOf(folderOf(inc.target)), own) << file << " includes " << inc.target << ".h from a layer above";
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
        const bool systemLayer = name.ends_with("_posix.cpp") || name.ends_with("_win32.cpp") || name.ends_with("_posix.h")
                                 || name.ends_with("_win32.h");
        if (systemLayer)
            continue;
        const std::string text = readText(entry.path());
        std::smatch m;
        EXPECT_FALSE(std::regex_search(text, m, systemHeader))
            << fs::relative(entry.path(), kSource).string() << " includes " << m.str();
        // The layer's header says once which system it is built for.
        if (name != "system_paths.h") {
            EXPECT_FALSE(std::regex_search(text, m, systemChoice))
                << fs::relative(entry.path(), kSource).string() << " chooses a system: " << m.str();
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(Layers, BothSystemsSplitTheSystemLayerAlike)
{
    // One file per question on either side: a question answered on one
    // system only is a build that fails on the other.
    const std::string lists = readText(kSource / "CMakeLists.txt");
    const std::regex listed(R"(base/(\w+)_(posix|win32)\.cpp)");
    std::map<std::string, std::set<std::string>> sides; // question -> the sides that answer it
    for (std::sregex_iterator it(lists.begin(), lists.end(), listed), end; it != end; ++it)
        sides[(*it)[1].str()].insert((*it)[2].str());
    for (const auto& entry : fs::directory_iterator(kSource / "base")) {
        const std::string stem = entry.path().stem().string();
        for (const std::string side : {"_posix", "_win32"}) {
            if (entry.path().extension() == ".cpp" && stem.ends_with(side)) {
                EXPECT_TRUE(sides.count(stem.substr(0, stem.size() - side.size())))
                    << "base/" << stem << ".cpp is built for no system";
            }
        }
    }
    for (const auto& [question, answered] : sides)
        EXPECT_EQ(answered.size(), 2u) << question << " is answered for " << *answered.begin() << " only";
    EXPECT_GE(sides.size(), 5u);
}

// The code names the message table's texts by the names of
// base/message_keys.h; a quoted key in a lookup is a key no check sees.
TEST(Layers, MessageTextsAreLookedUpByTheirNamedKeys)
{
    const std::regex quotedKey(R"re(\b(text|get|framedText|warn|addButton)\(([^()"]*, )?"[A-Z][A-Z0-9 ]*")re");
    for (const fs::path& file : sourceFiles()) {
        std::ifstream in(kSource / file);
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            EXPECT_FALSE(std::regex_search(line.substr(0, line.find("//")), quotedKey)) << file << ":" << number << ": " << line;
        }
    }
}
