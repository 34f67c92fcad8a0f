// The counting run's resolver (folders indexed once, each distinct file read
// once) against the plain way: every entry resolved by searching its
// folders' listings and its file read whole and scanned on its own.
#include "analysis/line_counter.h"
#include "analysis/project_reader.h"
#include "base/file_io.h"
#include "base/line_reader.h"
#include "base/text_codec.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

bool lexists(const fs::path& p)
{
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// The path an entry names, found the slow way: exact, else component by
// component through the sorted listing of each folder.
std::optional<fs::path> plainResolve(const fs::path& base, std::string_view text)
{
    if (text.empty() || isDriveLetterPath(text))
        return std::nullopt;
    std::string unixText(text);
    std::replace(unixText.begin(), unixText.end(), '\\', '/');
    const bool absolute = unixText.front() == '/';
    const fs::path exact = absolute ? fs::path(unixText) : base / unixText;
    if (lexists(exact))
        return exact;
    fs::path current = absolute ? fs::path("/") : base;
    for (const std::string_view comp : [&] {
             std::vector<std::string_view> parts;
             std::string_view rest(unixText);
             while (!rest.empty()) {
                 const auto slash = rest.find('/');
                 parts.push_back(rest.substr(0, slash));
                 rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
             }
             return parts;
         }()) {
        if (comp.empty() || comp == ".")
            continue;
        if (comp == "..") {
            current /= "..";
            continue;
        }
        if (lexists(current / std::string(comp))) {
            current /= std::string(comp);
            continue;
        }
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator d(current, ec), end; !ec && d != end; d.increment(ec))
            names.push_back(d->path().filename().native());
        std::sort(names.begin(), names.end());
        const std::string alternative = isValidUtf8(comp) ? std::string() : windows1252ToUtf8(comp);
        const auto match = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
            return equalsNoCase(name, comp) || (!alternative.empty() && equalsNoCase(name, alternative));
        });
        if (match == names.end())
            return std::nullopt;
        current /= *match;
    }
    return current;
}

ProjectCount plainCount(std::string_view projectText, const fs::path& folder)
{
    ProjectCount result;
    for (const std::string& entry : readModuleEntries(projectText)) {
        ModuleRow row;
        row.cells[ColModule] = toDisplayText(entry);
        const auto path = plainResolve(folder, entry);
        const auto bytes = path ? readRegularFile(*path) : readFailure(ReadError::Missing);
        if (!bytes) {
            row.cells[ColType] = kTypeInvalid;
        } else {
            row.cells[ColType] = moduleTypeOf(entry);
            const ModuleFigures f = figuresFromScan(scanModuleText(*bytes), isStandardModulePath(entry));
            const auto values = f.columns();
            for (std::size_t k = 0; k < values.size(); ++k)
                row.cells[ColP + k] = figureText(values[k]);
            result.totals.add(f);
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

void expectSameCount(const std::string& projectText, const fs::path& folder, const std::string& what)
{
    const ProjectCount fast = countProjectText(projectText, folder);
    const ProjectCount plain = plainCount(projectText, folder);
    ASSERT_EQ(fast.rows.size(), plain.rows.size()) << what;
    for (std::size_t i = 0; i < fast.rows.size(); ++i)
        EXPECT_EQ(fast.rows[i].cells, plain.rows[i].cells) << what << ", entry " << i;
    EXPECT_EQ(fast.totals.columns(), plain.totals.columns()) << what;
}

std::string lettersFlipped(std::string s, unsigned pattern)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        char& c = s[i];
        if (((pattern >> (i % 16)) & 1) == 0)
            continue;
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

} // namespace

TEST(ModuleReader, CorpusProjectsCountAsThePlainWay)
{
    int projects = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(ZORVIKA_CORPUS_DIR, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".vbp")
            continue;
        const auto text = readRegularFile(it->path());
        ASSERT_TRUE(text) << text.reason();
        expectSameCount(*text, it->path().parent_path(), it->path().string());
        ++projects;
    }
    EXPECT_GT(projects, 3);
}

TEST(ModuleReader, GeneratedProjectsInMixedLetterCase)
{
    test::TempFolder dir;
    const std::string body = "Attribute VB_Name = \"X\"\r\n' note\r\n\r\nSub A()\rEnd Sub\n";
    std::vector<std::string> files;
    for (int i = 0; i < 60; ++i) {
        const std::string folder = i % 3 == 0 ? "Forms" : (i % 3 == 1 ? "Classes/Deep/Er" : "mods");
        const std::string ext = i % 3 == 0 ? ".frm" : (i % 3 == 1 ? ".cls" : ".bas");
        files.push_back(folder + "/Mod" + std::to_string(i) + "_Ab" + ext);
        dir.write("proj/" + files.back(), body + std::string(static_cast<std::size_t>(i), '\n'));
    }
    // Two names on disk that differ only in case, a hard link to one file
    // and a name written in Windows-1252 that stands on disk in UTF-8.
    dir.write("proj/mods/Twin.bas", "a\r\n");
    dir.write("proj/mods/twin.bas", "a\r\nb\r\n");
    ASSERT_EQ(::link((dir / "proj/mods/Mod2_Ab.bas").c_str(), (dir / "proj/mods/Linked.bas").c_str()), 0);
    dir.write("proj/mods/M\xC3\xBCller.bas", "'x\r\n");
    fs::create_directories(dir / "proj/Forms/adir.frm");

    const struct Case {
        const char* what;
        unsigned pattern; // which letters of each entry change case
        bool repeated;    // every entry twice, and once more through "..\"
    } cases[] = {
        {"exact case", 0u, false},
        {"every letter flipped", 0xFFFFu, false},
        {"some letters flipped, entries repeated", 0x5A5Au, true},
        {"folders flipped, repeated", 0x00FFu, true},
    };
    for (const Case& c : cases) {
        std::string project = "Type=Exe\r\n";
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string entry = lettersFlipped(files[i], c.pattern);
            std::replace(entry.begin(), entry.end(), '/', i % 2 ? '\\' : '/');
            const std::string key = i % 3 == 0 ? "Form=" : (i % 3 == 1 ? "Class=C; " : "Module=M; ");
            project += key + entry + "\r\n";
            if (c.repeated) {
                project += key + entry + "\r\n";
                project += key + "..\\proj\\" + entry + "\r\n";
            }
        }
        for (const char* extra : {"Module=A; MODS\\TWIN.BAS", "Module=A; mods\\twin.bas", "Module=A; Mods\\linked.BAS",
                                  "Module=A; mods\\M\xFCller.bas", "Module=A; MODS\\M\xDCLLER.BAS",
                                  "Form=forms\\ADIR.FRM", "Form=Forms\\Missing.frm", "Form=NoFolder\\x.frm",
                                  "Module=A; C:\\mods\\Mod2_Ab.bas"})
            project += std::string(extra) + "\r\n";
        expectSameCount(project, dir / "proj", c.what);
    }
}

TEST(ModuleReader, OneFileNamedByManyEntriesKeepsOneRowEach)
{
    // One file under two names (a hard link): read once, but each entry's
    // row follows its own name (a class's header reaches to its VB_Exposed
    // line, a standard module's is one line).
    test::TempFolder dir;
    dir.write("One.bas", "Attribute VB_Name = \"One\"\r\n' c\r\nAttribute VB_Exposed = False\r\n\r\nx = 1\r\n");
    ASSERT_EQ(::link((dir / "One.bas").c_str(), (dir / "One.cls").c_str()), 0);
    std::string project;
    for (int i = 0; i < 6; ++i)
        project += i % 2 ? "Module=A; ONE.BAS\r\n" : "Class=B; One.cls\r\n";
    const ProjectCount count = countProjectText(project, dir.path());
    ASSERT_EQ(count.rows.size(), 6u);
    for (std::size_t i = 0; i < count.rows.size(); ++i) {
        EXPECT_EQ(count.rows[i].cells[ColType], i % 2 ? "Module" : "ClassModule");
        EXPECT_EQ(count.rows[i].cells[ColA], "5");
        EXPECT_EQ(count.rows[i].cells[ColP], i % 2 ? "4" : "2");
    }
    EXPECT_EQ(count.totals.ta, 30);
    EXPECT_EQ(count.totals.tp, 18);
}
