// Counting from a repository's objects: every revision counts exactly as a
// checkout of it does; an import stores one run per revision.
#include "../cli/cli_support.h"
#include "history/history_store.h"
#include "revisions/revision_import.h"
#include "shell/message_table.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <thread>

using namespace zorvika;
using namespace std::string_literals;
namespace fs = std::filesystem;

// Under the sanitizers the times measure their bookkeeping, not the program:
// the growth tests then check their figures alone.
#ifdef ZORVIKA_SANITIZED
constexpr bool kTimesGrowth = false;
#else
constexpr bool kTimesGrowth = true;
#endif

namespace {

// A repository made with the git command, committed revision by revision.
class Repository {
public:
    Repository()
    {
        git("init -q");
        git("config user.email zorvika@test.invalid");
        git("config user.name Zorvika");
    }
    void git(const std::string& args) const
    {
        const std::string command = "git -C '" + dir.path().string() + "' " + args + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    void commit(const std::string& tag = {})
    {
        git("add -A");
        git("commit -q --allow-empty -m revision");
        if (!tag.empty())
            git("tag " + tag);
        revisions.push_back(head());
    }
    std::string head() const
    {
        return trimmed(run("git -C '" + dir.path().string() + "' rev-parse HEAD"));
    }
    // The files of a revision, laid out in a fresh folder (a checkout).
    fs::path checkout(const std::string& revision, const test::TempFolder& into) const
    {
        const fs::path where = into / revision;
        fs::create_directories(where);
        run("git -C '" + dir.path().string() + "' archive " + revision + " | tar -x -C '" + where.string() + "'");
        return where;
    }
    static std::string run(const std::string& command)
    {
        std::string out;
        if (FILE* p = ::popen(command.c_str(), "r")) {
            char buf[4096];
            for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
                out.append(buf, n);
            ::pclose(p);
        }
        return out;
    }
    static std::string trimmed(std::string s)
    {
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
            s.pop_back();
        return s;
    }

    test::TempFolder dir;
    std::vector<std::string> revisions;
};

std::string projectText(const std::string& name, const std::string& version, const std::vector<std::string>& entries)
{
    const auto dot1 = version.find('.'), dot2 = version.rfind('.');
    std::string text = "Type=Exe\r\nName=\"" + name + "\"\r\nMajorVer=" + version.substr(0, dot1)
                       + "\r\nMinorVer=" + version.substr(dot1 + 1, dot2 - dot1 - 1)
                       + "\r\nRevisionVer=" + version.substr(dot2 + 1) + "\r\n";
    for (const std::string& e : entries)
        text += e + "\r\n";
    return text;
}

} // namespace

// The defining property: for every revision of a history where modules are
// added, removed, renamed, change letter case and line ends, and a group
// gains a project, the count from the objects equals the count of a checkout
// byte for byte.
TEST(RevisionCount, EveryRevisionCountsAsItsCheckout)
{
    Repository repo;
    std::mt19937 rng(1208);
    std::vector<std::string> modules; // paths as the project file writes them
    auto moduleText = [&](int lines, bool crlf) {
        std::string text = "Attribute VB_Name = \"M\"\r\n";
        for (int i = 0; i < lines; ++i)
            text += (i % 3 == 0 ? "' note" : i % 3 == 1 ? "" : "x = 1") + std::string(crlf ? "\r\n" : "\n");
        return text;
    };
    for (int r = 0; r < 6; ++r) {
        // Add two modules, change one, remove or rename one, flip the letter
        // case of one on disk (the project file keeps its spelling).
        for (int k = 0; k < 2; ++k) {
            const std::string name = "Mod" + std::to_string(r) + "_" + std::to_string(k) + ".bas";
            repo.dir.write("App/Code/" + name, moduleText(static_cast<int>(rng() % 40), rng() % 2 == 0));
            modules.push_back("Code\\" + name);
        }
        if (r > 0) {
            repo.dir.write("App/Code/Mod0_0.bas", moduleText(static_cast<int>(rng() % 40) + r, r % 2 == 0));
            if (r % 2 == 0) {
                fs::remove(repo.dir / "App/Code/Mod1_1.bas"); // its entry now names no file
            } else {
                fs::rename(repo.dir / ("App/Code/Mod" + std::to_string(r - 1) + "_1.bas"),
                           repo.dir / ("App/Code/mod" + std::to_string(r - 1) + "_1.BAS"));
            }
        }
        std::vector<std::string> entries;
        for (std::size_t i = 0; i < modules.size(); ++i)
            entries.push_back("Module=M" + std::to_string(i) + "; " + modules[i]);
        entries.push_back("Module=Out; ..\\..\\outside.bas");
        repo.dir.write("App/app.vbp", projectText("App", "1." + std::to_string(r) + ".0", entries));
        std::string group = "VBGROUP 5.0\r\nStartupProject=App\\app.vbp\r\n";
        if (r >= 3) {
            repo.dir.write("Lib/lib.vbp", projectText("Lib", "0.1.0", {"Class=C; ../App/Code/Mod0_0.bas"}));
            group += "Project=lib\\LIB.vbp\r\n";
        }
        repo.dir.write("all.vbg", group);
        repo.commit();
    }

    test::Cli cli;
    test::TempFolder checkouts;
    for (const std::string& revision : repo.revisions) {
        const fs::path tree = repo.checkout(revision, checkouts);
        for (const std::string file : {"all.vbg", "App/app.vbp"}) {
            const auto fromCheckout = cli.run({"count", (tree / file).string()});
            const auto fromObjects = cli.run({"count", (repo.dir / file).string(), "--revision", revision});
            ASSERT_EQ(fromObjects.status, 0) << fromObjects.err;
            ASSERT_EQ(fromCheckout.status, 0) << fromCheckout.err;
            EXPECT_GT(test::lines(fromCheckout.out).size(), 4u);
            EXPECT_EQ(fromObjects.out, fromCheckout.out) << file << " at " << revision;
        }
    }
}

// An import stores one snapshot per version, the newest revision of a
// version winning; a revision without the project file is skipped and said.
TEST(RevisionImport, TagsStoreTheNewestRevisionOfEachVersion)
{
    Repository repo;
    repo.dir.write("README", "no project yet");
    repo.commit("t0");
    repo.dir.write("p/m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\n");
    repo.dir.write("p/app.vbp", projectText("P", "1.0.0", {"Module=M; m.bas"}));
    repo.commit("t1");
    repo.dir.write("p/m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\ny = 2\r\n");
    repo.commit("t2"); // the same version, more code
    repo.dir.write("p/app.vbp", projectText("P", "1.1.0", {"Module=M; m.bas"}));
    repo.commit("t3");

    test::Cli cli;
    const auto r = cli.run({"import", (repo.dir / "p/app.vbp").string(), "--tags", "t*"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = test::lines(r.out);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_NE(out[0].find("skipped: project file absent"), std::string::npos);
    EXPECT_NE(out[2].find("\tP\t1.0.0\t2"), std::string::npos) << out[2];
    EXPECT_EQ(out[4], "revisions: 3 counted, 3 snapshots stored, 1 skipped (1 without the project file, 0 with an "
                      "unstorable name)");
    const ProgramFolder folder{cli.program.path()};
    EXPECT_EQ(listVersions(folder, "P"), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    const auto t2 = cli.run({"count", (repo.dir / "p/app.vbp").string(), "--revision", "t2"});
    const auto stored = cli.run({"history", "P", "1.0.0"});
    EXPECT_EQ(stored.out, t2.out);
}

// Stopping an import keeps what was stored whole; a missing object fails
// the revision that needs it, naming the object, and stores nothing of it.
TEST(RevisionImport, StoppingKeepsWholeSnapshotsAndBrokenObjectsFail)
{
    Repository repo;
    for (int v = 0; v < 4; ++v) {
        std::string code = "Attribute VB_Name = \"M" + std::to_string(v) + "\"\r\n";
        for (int i = 0; i <= v; ++i)
            code += "x = " + std::to_string(i) + "\r\n";
        repo.dir.write("m" + std::to_string(v) + ".bas", code);
        std::vector<std::string> entries;
        for (int i = 0; i <= v; ++i)
            entries.push_back("Module=M; m" + std::to_string(i) + ".bas");
        repo.dir.write("app.vbp", projectText("S", "1." + std::to_string(v) + ".0", entries));
        repo.commit();
    }
    test::Cli cli;
    const ProgramFolder folder{cli.program.path()};
    ensureWorkFiles(folder);
    const MessageTable messages(folder);
    auto file = openRepositoryFile(repo.dir / "app.vbp", {});
    ASSERT_TRUE(file) << file.reason();
    const auto revisions = importRevisions(*file->repository, std::nullopt, "HEAD", 1);
    ASSERT_TRUE(revisions && revisions->size() == 4) << revisions.reason();
    const ImportSummary summary = importHistory(*file, repo.dir / "app.vbp", *revisions, folder, messages,
                                                [](const ImportLine&) {}, [](std::size_t i) { return i < 2; });
    EXPECT_EQ(summary.stored, 2);
    EXPECT_EQ(listVersions(folder, "S"), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    for (int v = 0; v < 2; ++v) {
        const auto stored = cli.run({"history", "S", "1." + std::to_string(v) + ".0"});
        const auto counted = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", (*revisions)[v].id});
        EXPECT_EQ(stored.out, counted.out);
    }

    // Remove the object of the newest module from the repository.
    const std::string blob = Repository::trimmed(Repository::run("git -C '" + repo.dir.path().string()
                                                                 + "' rev-parse HEAD:m3.bas"));
    fs::remove(repo.dir / (".git/objects/" + blob.substr(0, 2) + "/" + blob.substr(2)));
    const auto broken = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD", "--save"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find(blob), std::string::npos) << broken.err;
    EXPECT_EQ(listVersions(folder, "S"), (std::vector<std::string>{"1.0.0", "1.1.0"}));
    const auto unknown = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "no-such-tag"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("no-such-tag"), std::string::npos);
}

// Blobs read together on several threads hand over the same bytes as reads
// one by one, each under its own index; an object that is missing or is no
// blob is only marked, for the read alone to report.
TEST(RevisionCount, BlobsReadTogetherEqualBlobsReadAlone)
{
    Repository repo;
    std::mt19937 rng(16);
    for (int m = 0; m < 40; ++m) {
        std::string code = "Attribute VB_Name = \"M" + std::to_string(m) + "\"\r\n";
        const std::size_t lines = m % 7 == 0 ? 0 : rng() % (m % 5 == 0 ? 20000 : 200);
        for (std::size_t i = 0; i < lines; ++i)
            code.append("x = ").append(std::to_string(rng())).append(i % 3 ? "\r\n" : "\n");
        repo.dir.write(std::string("m").append(std::to_string(m)).append(".bas"), m % 11 == 0 ? std::string() : code);
    }
    repo.commit();
    const auto id = [&](const std::string& name) {
        return Repository::trimmed(Repository::run("git -C '" + repo.dir.path().string() + "' rev-parse " + name));
    };
    std::vector<std::string> ids;
    for (int m = 0; m < 40; ++m)
        ids.push_back(id("HEAD:m" + std::to_string(m) + ".bas"));
    const std::string missing = std::string(40, '7');
    ids.insert(ids.begin() + 13, missing);
    ids.insert(ids.begin() + 29, id("HEAD^{tree}"));
    ids.push_back(ids[3]); // one blob twice

    auto opened = GitRepository::open(repo.dir.path(), {});
    ASSERT_TRUE(opened) << opened.reason();
    const std::unique_ptr<GitRepository> repository = std::move(opened).value();
    std::vector<std::string> together(ids.size());
    std::vector<int> calls(ids.size(), 0);
    const std::vector<bool> read = repository->readBlobs(ids, [&](std::size_t i, std::string_view bytes) {
        together[i].assign(bytes);
        ++calls[i];
    });
    ASSERT_EQ(read.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::string alone;
        const bool blob = i != 13 && i != 29;
        EXPECT_EQ(read[i], blob) << i;
        EXPECT_EQ(calls[i], blob ? 1 : 0) << i;
        EXPECT_EQ(repository->blob(ids[i], alone).ok(), blob) << i;
        EXPECT_EQ(together[i], alone) << i;
    }
    const Outcome alone = repository->blob(missing, together[13]);
    ASSERT_FALSE(alone);
    EXPECT_NE(alone.reason().find(missing), std::string::npos) << alone.reason();
}

// Ids asked for while the blobs are read: each id named is read once under
// the index of its turn; the source is never asked on two threads at once,
// nor again once it ended (by saying so, or by throwing, which leaves what
// it did not name to the reads alone).
TEST(RevisionCount, BlobsNamedWhileReadingAreReadOnceEach)
{
    Repository repo;
    for (int m = 0; m < 24; ++m)
        repo.dir.write("m" + std::to_string(m) + ".bas",
                       "Attribute VB_Name = \"M" + std::to_string(m) + "\"\r\n" + std::string(m * 4099, 'x') + "\r\n");
    repo.commit();
    std::vector<std::string> all;
    for (int m = 0; m < 24; ++m)
        all.push_back(Repository::trimmed(
            Repository::run("git -C '" + repo.dir.path().string() + "' rev-parse HEAD:m" + std::to_string(m) + ".bas")));
    auto opened = GitRepository::open(repo.dir.path(), {});
    ASSERT_TRUE(opened) << opened.reason();
    const std::unique_ptr<GitRepository> repository = std::move(opened).value();

    struct Case {
        std::size_t named; // ids handed out before the source ends
        bool throws;       // ends by throwing instead of returning false
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, false}, Case{24, false}, Case{0, true},
                         Case{1, true}, Case{7, true}}) {
        std::atomic<int> inside{0};
        std::atomic<bool> overlapped{false};
        std::size_t asked = 0, afterEnd = 0;
        bool ended = false;
        std::vector<std::string> got(all.size());
        std::vector<std::atomic<int>> calls(all.size());
        const std::vector<bool> read = repository->readBlobs(
            [&](std::string& id) {
                if (inside.fetch_add(1) != 0)
                    overlapped = true;
                std::this_thread::yield();
                inside.fetch_sub(1);
                if (ended)
                    ++afterEnd;
                if (asked == c.named) {
                    ended = true;
                    if (c.throws)
                        throw std::runtime_error("source failed");
                    return false;
                }
                id = all[asked++];
                return true;
            },
            [&](std::size_t i, std::string_view bytes) {
                ASSERT_LT(i, got.size());
                got[i].assign(bytes);
                ++calls[i];
            });
        EXPECT_FALSE(overlapped) << c.named;
        EXPECT_EQ(afterEnd, 0u) << c.named;
        ASSERT_EQ(read.size(), c.named);
        for (std::size_t i = 0; i < all.size(); ++i) {
            std::string alone;
            const Outcome readAlone = repository->blob(all[i], alone);
            ASSERT_TRUE(readAlone) << readAlone.reason();
            EXPECT_EQ(calls[i].load(), i < c.named ? 1 : 0) << c.named << " " << i;
            if (i < c.named) {
                EXPECT_TRUE(read[i]) << c.named << " " << i;
                EXPECT_EQ(got[i], alone) << c.named << " " << i;
            }
        }
    }
}

// With several objects missing, the count names the first the project
// needs, whichever of them the threads came upon first.
TEST(RevisionCount, TheFirstMissingObjectOfTheProjectIsNamed)
{
    Repository repo;
    std::vector<std::string> entries;
    for (int m = 0; m < 12; ++m) {
        repo.dir.write("m" + std::to_string(m) + ".bas",
                       "Attribute VB_Name = \"M" + std::to_string(m) + "\"\r\n' " + std::string(m * 997, 'x') + "\r\n");
        entries.push_back("Module=M" + std::to_string(m) + "; m" + std::to_string(m) + ".bas");
    }
    repo.dir.write("app.vbp", projectText("S", "1.0.0", entries));
    repo.commit();
    std::vector<std::string> blobs;
    for (int m : {9, 4, 11}) {
        blobs.push_back(Repository::trimmed(Repository::run("git -C '" + repo.dir.path().string() + "' rev-parse HEAD:m"
                                                            + std::to_string(m) + ".bas")));
        fs::remove(repo.dir / (".git/objects/" + blobs.back().substr(0, 2) + "/" + blobs.back().substr(2)));
    }
    test::Cli cli;
    for (int run = 0; run < 5; ++run) {
        const auto broken = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD"});
        EXPECT_EQ(broken.status, 1);
        EXPECT_NE(broken.err.find(blobs[1]), std::string::npos) << broken.err; // m4
        EXPECT_EQ(broken.err.find(blobs[0]), std::string::npos) << broken.err;
        EXPECT_EQ(broken.err.find(blobs[2]), std::string::npos) << broken.err;
    }
}

// Resolving the entries of one large folder of a revision costs their number:
// twice the entries (named in another letter case, the slowest road) take
// at most about twice the time, as on disk. The best of five runs each.
TEST(RevisionCount, ResolvingInOneLargeFolderGrowsLinearly)
{
    Repository repo;
    constexpr int kSmall = 3000;
    // One folder of N modules, one of 2N.
    for (int m = 0; m < 3 * kSmall; ++m)
        repo.dir.write((m < kSmall ? "small/Module" : "large/Module") + std::to_string(m) + ".bas",
                       "Attribute VB_Name = \"M\"\r\n");
    repo.commit();
    auto opened = GitRepository::open(repo.dir.path(), {});
    ASSERT_TRUE(opened) << opened.reason();
    const std::unique_ptr<GitRepository> repository = std::move(opened).value();
    const auto commit = repository->commit("HEAD");
    ASSERT_TRUE(commit) << commit.reason();
    auto bestTime = [&](const std::string& folder, int from, int entries) {
        auto best = std::chrono::steady_clock::duration::max();
        for (int run = 0; run < 5; ++run) {
            BlobScans scans;
            RevisionTree tree(*repository, *commit, scans);
            const auto start = std::chrono::steady_clock::now();
            for (int m = from; m < from + entries; ++m)
                EXPECT_TRUE(tree.resolve("/", folder + "\\MODULE" + std::to_string(m) + ".BAS")) << m;
            best = std::min(best, std::chrono::steady_clock::now() - start);
        }
        return std::chrono::duration<double>(best).count();
    };
    bestTime("SMALL", 0, 10); // the trees are read once before either is timed
    bestTime("LARGE", kSmall, 10);
    const double small = bestTime("SMALL", 0, kSmall);
    const double large = bestTime("LARGE", kSmall, 2 * kSmall);
    if (kTimesGrowth)
        EXPECT_LT(large / small, 3.0) << small << " s against " << large << " s";
}

namespace {

std::string objectId(const Repository& repo, const std::string& name)
{
    return Repository::trimmed(Repository::run("git -C '" + repo.dir.path().string() + "' rev-parse " + name));
}

fs::path looseFile(const Repository& repo, const std::string& id)
{
    return repo.dir / (".git/objects/" + id.substr(0, 2) + "/" + id.substr(2));
}

// A loose object file written whole, as zlib compresses `raw`.
void writeLoose(const fs::path& file, const std::string& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                        static_cast<uLong>(raw.size()), 6),
              Z_OK);
    packed.resize(size);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << packed;
}

// Commits made from a stream of "git fast-import".
void fastImport(const Repository& repo, const std::string& stream)
{
    const fs::path file = repo.dir.write(".stream", stream);
    repo.git("fast-import --quiet < '" + file.string() + "'");
    fs::remove(file);
}

double bestSeconds(const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

// Module paths through links resolve as the file system resolves them in a
// checkout: a link is replaced by its target where it stands, ".." steps
// back from where that led, at most 40 links on one walk, and a link that
// leaves the tree names no file. Every layout counts byte for byte as the
// checkout does, the project reached through a link too.
TEST(RevisionCount, PathsThroughLinksResolveAsTheCheckoutResolvesThem)
{
    Repository repo;
    const std::string code = "Attribute VB_Name = \"M\"\r\n' note\r\n\r\nx = 1\r\n";
    struct Layout {
        std::string link, target; // a link and where it points
        std::string entry;        // a module entry through it
    };
    const std::vector<Layout> layouts = {
        {"lnk", "real/sub", "lnk\\..\\x.bas"},           // ".." after a link steps back from its target
        {"lnk", "real/sub", "LNK\\Y.BAS"},               // the link's name in another letter case
        {"d/up", "..", "d\\up\\d\\up\\x.bas"},           // a link to the folder above, twice
        {"c1", "c2", "c1\\..\\real\\x.bas"},             // a chain of links
        {"c2", "c3/..", "c1\\sub\\y.bas"},
        {"c3", "real/sub", "c2\\x.bas"},
        {"fl.bas", "real/x.bas", "fl.bas"},              // a link to a file
        {"dang.bas", "nothing.bas", "dang.bas"},         // a link to nothing
        {"out", "../outside", "out\\z.bas"},             // leaves the tree
        {"abs", "/tmp", "abs\\z.bas"},                   // an absolute target leaves it too
        {"loopa", "loopb", "loopa\\x.bas"},              // a loop
        {"loopb", "loopa", "loopb\\..\\x.bas"},
        {"plink", "projects/app", "plink\\..\\shared.bas"},
    };
    repo.dir.write("x.bas", code);
    repo.dir.write("real/x.bas", code + "y = 2\r\n");
    repo.dir.write("real/sub/y.bas", code + "' more\r\n");
    repo.dir.write("d/x.bas", code + "\r\n\r\n");
    repo.dir.write("projects/shared.bas", code + "z = 3\r\nz = 4\r\n");
    repo.dir.write("projects/app/own.bas", code);
    // 40 links on one walk resolve; the 41st is a loop to the system.
    for (int k = 0; k < 41; ++k)
        fs::create_directory_symlink(k == 40 ? "real" : "k" + std::to_string(k + 1), repo.dir / ("k" + std::to_string(k)));
    std::vector<std::string> entries = {"Module=A; k1\\x.bas", "Module=B; k0\\x.bas", "Module=C; x.bas"};
    for (const Layout& l : layouts) {
        fs::create_directories((repo.dir / l.link).parent_path());
        if (std::error_code ec; !fs::is_symlink(repo.dir / l.link, ec))
            fs::create_symlink(l.target, repo.dir / l.link);
        entries.push_back("Module=L; " + l.entry);
    }
    repo.dir.write("app.vbp", projectText("L", "1.0.0", entries));
    repo.dir.write("projects/app/app.vbp", projectText("S", "1.0.0", {"Module=O; own.bas", "Module=S; ..\\shared.bas"}));
    repo.dir.write("all.vbg", "VBGROUP 5.0\r\nStartupProject=app.vbp\r\nProject=plink\\app.vbp\r\n");
    repo.commit();

    test::Cli cli;
    test::TempFolder checkouts;
    const fs::path tree = repo.checkout(repo.revisions.back(), checkouts);
    for (const std::string file : {"app.vbp", "all.vbg", "plink/app.vbp"}) {
        const auto fromCheckout = cli.run({"count", (tree / file).string()});
        const auto fromObjects = cli.run({"count", (repo.dir / file).string(), "--revision", "HEAD"});
        ASSERT_EQ(fromCheckout.status, 0) << fromCheckout.err;
        ASSERT_EQ(fromObjects.status, 0) << fromObjects.err;
        EXPECT_EQ(fromObjects.out, fromCheckout.out) << file;
    }
    // Not alike by being alike in failing: the layouts that stay in the tree
    // are counted.
    const auto lines = test::lines(cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD"}).out);
    int invalid = 0;
    for (const std::string& line : lines)
        invalid += line.find("Invalid") != std::string::npos;
    EXPECT_EQ(invalid, 6) << cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD"}).out;
    // "lnk\..\x.bas" is real/x.bas, not the root's x.bas.
    auto figures = [&](const std::string& entry) {
        for (const std::string& line : lines)
            if (line.starts_with(entry + "\t"))
                return line.substr(entry.size());
        return std::string("none");
    };
    EXPECT_EQ(figures("lnk\\..\\x.bas"), figures("c1\\..\\real\\x.bas"));
    EXPECT_NE(figures("lnk\\..\\x.bas"), figures("x.bas"));
    EXPECT_NE(figures("x.bas"), "none");
}

// A damaged or missing object of any kind ends the count and the import at
// once with one line naming it and exit 1; a missing tree is no absent
// project file.
TEST(RevisionCount, DamagedOrMissingObjectsEndTheRunNamingThem)
{
    struct Damage {
        const char* name;
        std::function<void(const fs::path&, const std::string& type)> apply;
    };
    const std::vector<Damage> damages = {
        {"cut to 10 bytes", [](const fs::path& f, const std::string&) {
             fs::permissions(f, fs::perms::owner_write, fs::perm_options::add);
             fs::resize_file(f, 10);
         }},
        {"removed", [](const fs::path& f, const std::string&) { fs::remove(f); }},
        {"empty", [](const fs::path& f, const std::string&) {
             fs::permissions(f, fs::perms::owner_write, fs::perm_options::add);
             fs::resize_file(f, 0);
         }},
        {"no zlib stream", [](const fs::path& f, const std::string&) {
             fs::permissions(f, fs::perms::owner_write, fs::perm_options::add);
             std::ofstream(f, std::ios::binary | std::ios::trunc) << std::string(64, 'x');
         }},
        {"header says more", [](const fs::path& f, const std::string& type) { writeLoose(f, type + " 99999\0abc"s); }},
        {"header says less", [](const fs::path& f, const std::string& type) { writeLoose(f, type + " 1\0abc"s); }},
        {"header of no kind", [](const fs::path& f, const std::string&) { writeLoose(f, "bolb 3\0abc"s); }},
        {"header without end", [](const fs::path& f, const std::string&) { writeLoose(f, std::string(100, '7')); }},
        {"huge header size", [](const fs::path& f, const std::string& type) {
             writeLoose(f, type + " 99999999999999999\0abc"s);
         }},
    };
    struct Target {
        const char* name, *spec, *type;
    };
    const std::vector<Target> targets = {{"commit", "HEAD", "commit"},        {"root tree", "HEAD^{tree}", "tree"},
                                         {"folder", "HEAD:src", "tree"},        {"project file", "HEAD:app.vbp", "blob"},
                                         {"module", "HEAD:src/m.bas", "blob"}, {"link", "HEAD:lnk", "blob"}};
    for (const Target& target : targets) {
        for (const Damage& damage : damages) {
            test::Cli cli;
            Repository repo;
            repo.dir.write("src/m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\n");
            fs::create_directory_symlink("src", repo.dir / "lnk");
            repo.dir.write("app.vbp", projectText("D", "1.0.0", {"Module=M; src\\m.bas", "Module=N; lnk\\m.bas"}));
            repo.commit();
            const std::string id = objectId(repo, target.spec);
            damage.apply(looseFile(repo, id), target.type);
            const std::string what = std::string(target.name) + ", " + damage.name;
            const auto count = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD"});
            EXPECT_EQ(count.status, 1) << what << "\n" << count.out;
            EXPECT_NE(count.err.find(id), std::string::npos) << what << ": " << count.err;
            EXPECT_EQ(test::lines(count.err).size(), 1u) << what << ": " << count.err;
            const auto import = cli.run({"import", (repo.dir / "app.vbp").string(), "--revisions", "HEAD"});
            EXPECT_EQ(import.status, 1) << what << "\n" << import.out;
            EXPECT_EQ(import.out.find("skipped: "), std::string::npos) << what << "\n" << import.out;
            EXPECT_TRUE(listVersions(ProgramFolder{cli.program.path()}, "D").empty()) << what;
        }
    }
}

// A tag of a tree or a blob (also through annotated tags) is passed over
// with one warning line naming it; the other tags are imported. A tag whose
// object is missing is no such tag: it fails the import.
TEST(RevisionImport, TagsOfTreesAndBlobsArePassedOverWithAWarning)
{
    Repository repo;
    repo.dir.write("m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\n");
    repo.dir.write("app.vbp", projectText("T", "1.0.0", {"Module=M; m.bas"}));
    repo.commit("v1");
    repo.dir.write("app.vbp", projectText("T", "1.1.0", {"Module=M; m.bas"}));
    repo.commit();
    repo.git("tag -a -m annotated v2 HEAD");
    const std::vector<std::pair<std::string, std::string>> odd = {
        {"tree", "tag t-tree HEAD^{tree}"},
        {"blob", "tag t-blob HEAD:m.bas"},
        {"annotated tree", "tag -a -m x t-atree HEAD^{tree}"},
        {"annotated blob", "tag -a -m x t-ablob HEAD:app.vbp"},
        {"tag of an annotated tree tag", "tag -a -m x t-aatree t-atree"},
    };
    for (const auto& [what, command] : odd)
        repo.git(command);
    test::Cli cli;
    const auto r = cli.run({"import", (repo.dir / "app.vbp").string(), "--tags"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::lines(r.err).size(), odd.size()) << r.err;
    for (const std::string name : {"t-tree", "t-blob", "t-atree", "t-ablob", "t-aatree"})
        EXPECT_NE(r.err.find("tag " + name + " "), std::string::npos) << name << ": " << r.err;
    EXPECT_EQ(listVersions(ProgramFolder{cli.program.path()}, "T"), (std::vector<std::string>{"1.0.0", "1.1.0"}));

    // An annotated tag whose object is gone names the tag and stops.
    const std::string v2 = objectId(repo, "refs/tags/v2");
    fs::remove(looseFile(repo, v2));
    const auto broken = cli.run({"import", (repo.dir / "app.vbp").string(), "--tags", "v*"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("v2"), std::string::npos) << broken.err;
}

// A project whose folders are gone from the work tree is still found in its
// repository, from the nearest folder up that exists, and counts as it was.
TEST(RevisionCount, AProjectWhoseFoldersAreGoneIsFoundFromTheNearestFolderUp)
{
    for (const std::string gone : {"a/b", "a", "a/b/app.vbp"}) {
        Repository repo;
        repo.dir.write("a/b/m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\n");
        repo.dir.write("a/b/app.vbp", projectText("G", "1.0.0", {"Module=M; m.bas"}));
        repo.commit();
        test::Cli cli;
        const auto before = cli.run({"count", (repo.dir / "a/b/app.vbp").string(), "--revision", "HEAD"});
        ASSERT_EQ(before.status, 0) << before.err;
        fs::remove_all(repo.dir / gone);
        const auto after = cli.run({"count", (repo.dir / "a/b/app.vbp").string(), "--revision", "HEAD"});
        EXPECT_EQ(after.status, 0) << gone << ": " << after.err;
        EXPECT_EQ(after.out, before.out) << gone;
        const auto import = cli.run({"import", (repo.dir / "a/b/app.vbp").string(), "--revisions", "HEAD"});
        EXPECT_EQ(import.status, 0) << gone << ": " << import.err;
        EXPECT_EQ(listVersions(ProgramFolder{cli.program.path()}, "G"), (std::vector<std::string>{"1.0.0"})) << gone;
    }
}

// An import whose snapshot cannot be stored under its name or version makes
// nothing in the store: the history lists no project without versions.
TEST(RevisionImport, NothingIsMadeForASnapshotThatIsNotStored)
{
    struct Case {
        std::string name, major;
    };
    for (const Case& c : {Case{"a/b", "1"}, Case{"P", "x/y"}, Case{"P", "a\\b"}, Case{"P", "\x01"}, Case{"..", "1"}}) {
        Repository repo;
        repo.dir.write("m.bas", "Attribute VB_Name = \"M\"\r\nx = 1\r\n");
        repo.dir.write("app.vbp", "Type=Exe\r\nName=\"" + c.name + "\"\r\nMajorVer=" + c.major
                                      + "\r\nModule=M; m.bas\r\n");
        repo.commit();
        test::Cli cli;
        const auto r = cli.run({"import", (repo.dir / "app.vbp").string(), "--revisions", "HEAD"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("skipped: unstorable name"), std::string::npos) << c.name << " " << c.major << r.out;
        EXPECT_TRUE(listProjects(ProgramFolder{cli.program.path()}).empty()) << c.name << " " << c.major;
        EXPECT_TRUE(fs::is_empty(cli.program / "verhis")) << c.name << " " << c.major;
    }
}

// Time in proportion to the input: doubling the tags of an import, the
// entries that go through links, or the names and ".." of one path at most
// about doubles the time (the best of three runs each).
TEST(RevisionGrowth, TagsLinksAndLongPathsTakeTimeInProportion)
{
    struct Case {
        const char* name;
        std::function<void(Repository&, int n)> make; // a revision of size n
        std::function<void(Repository&)> run;
        int n;
    };
    const auto count = [](Repository& repo) {
        test::Cli cli;
        const auto r = cli.run({"count", (repo.dir / "app.vbp").string(), "--revision", "HEAD"});
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_EQ(r.out.find("Invalid"), std::string::npos) << r.out.substr(0, 300);
    };
    const std::vector<Case> cases = {
        {"tags", [](Repository& repo, int n) {
             // n commits in one stream, each tagged in the packed references.
             std::string stream;
             for (int i = 0; i < n; ++i)
                 stream += "commit refs/heads/master\ncommitter a <a@b> " + std::to_string(1600000000 + i)
                           + " +0000\ndata 1\nx\n\n";
             fastImport(repo, stream);
             const auto ids = test::lines(Repository::run("git -C '" + repo.dir.path().string() + "' rev-list HEAD"));
             std::string refs = "# pack-refs with: peeled fully-peeled sorted \n";
             std::vector<std::string> lines;
             for (std::size_t i = 0; i < ids.size(); ++i)
                 lines.push_back(ids[i] + " refs/tags/t" + std::to_string(i));
             std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
                 return a.substr(41) < b.substr(41);
             });
             for (const std::string& line : lines)
                 refs += line + "\n";
             repo.dir.write(".git/packed-refs", refs);
         },
         [](Repository& repo) {
             auto opened = GitRepository::open(repo.dir.path(), {});
             ASSERT_TRUE(opened) << opened.reason();
             const std::unique_ptr<GitRepository> repository = std::move(opened).value();
             const auto tagged = repository->tagged("");
             ASSERT_TRUE(tagged) << tagged.reason();
         },
         8000},
        {"entries through links", [](Repository& repo, int n) {
             std::string stream = "commit refs/heads/master\ncommitter a <a@b> 1600000000 +0000\ndata 1\nx\n";
             auto file = [&](const char* mode, const std::string& path, const std::string& data) {
                 stream += std::string("M ") + mode + " inline " + path + "\ndata " + std::to_string(data.size()) + "\n"
                           + data + "\n";
             };
             file("120000", "l1", "l2");
             file("120000", "l2", "l3/../l3");
             file("120000", "l3", "src");
             std::vector<std::string> entries;
             for (int i = 0; i < n; ++i) {
                 file("100644", "src/m" + std::to_string(i) + ".bas", "x = " + std::to_string(i) + "\r\n");
                 entries.push_back("Module=M; L1\\..\\l1\\M" + std::to_string(i) + ".bas");
             }
             file("100644", "app.vbp", projectText("G", "1.0.0", entries));
             fastImport(repo, stream + "\n");
         },
         count, 6000},
        {"one long path", [](Repository& repo, int n) {
             std::string path;
             for (int i = 0; i < n; ++i)
                 path += i % 2 ? "..\\" : "d\\";
             repo.dir.write("d/m.bas", "x = 1\r\n");
             repo.dir.write("m.bas", "x = 1\r\n");
             repo.dir.write("app.vbp", projectText("G", "1.0.0", {"Module=M; " + path + "D\\m.bas"}));
             repo.commit();
         },
         count, 100000},
    };
    for (const Case& c : cases) {
        Repository small, large;
        c.make(small, c.n);
        c.make(large, 2 * c.n);
        const double once = bestSeconds([&] { c.run(small); });
        const double twice = bestSeconds([&] { c.run(large); });
        if (!kTimesGrowth)
            continue;
        EXPECT_LT(twice, 3 * once + 0.02) << c.name << ": " << once << " s, then " << twice << " s";
    }
}

// A folder in no repository is told apart from every other failure to open
// one, so that a face can say it in its own words; the reason's text is the
// same either way.
TEST(RevisionCount, AFolderInNoRepositoryIsToldApartFromOtherFailures)
{
    Repository repo;
    repo.dir.write("app.vbp", projectText("App", "1.0.0", {}));
    repo.commit();
    const test::TempFolder plain;
    plain.write("app.vbp", projectText("App", "1.0.0", {}));
    const test::TempFolder outside;
    outside.write("other.vbp", projectText("Other", "1.0.0", {}));
    struct Case {
        fs::path file, gitDir;
        Cause cause;
        std::string reason;
    } const cases[] = {
        {plain / "app.vbp", {}, Cause::NotRepository, plain.path().string() + ": not in a git repository"},
        {plain / "app.vbp", plain.path(), Cause::NotRepository, plain.path().string() + ": not in a git repository"},
        {outside / "other.vbp", repo.dir / ".git", Cause::Other,
         (outside / "other.vbp").string() + ": not inside the work tree of "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const auto opened = openRepositoryFile(c.file, c.gitDir);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.failure().cause, c.cause);
        EXPECT_EQ(opened.reason().substr(0, c.reason.size()), c.reason);
        if (c.cause == Cause::NotRepository) {
            EXPECT_EQ(opened.reason(), c.reason);
            EXPECT_EQ(opened.failure().reasonSaying("kein Repository"), c.reason.substr(0, c.reason.size() - 23) + "kein Repository");
        }
    }
    const auto inside = openRepositoryFile(repo.dir / "app.vbp", {});
    ASSERT_TRUE(inside) << inside.reason();
    EXPECT_EQ(inside->treePath, fs::path("/app.vbp"));
}
