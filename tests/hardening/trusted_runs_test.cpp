// Runs that are either right or a clear failure: runs at the same time over
// one program folder, working copies and snapshots that cannot be written,
// links in the store, export targets that are no regular file, interrupts,
// and texts that must come out valid.
#include "../cli/cli_support.h"
#include "base/file_io.h"
#include "base/program_folder.h"
#include "base/text_codec.h"
#include "history/history_store.h"
#include "process_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <algorithm>
#include <functional>
#include <thread>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

// A project "app.vbp" named `name` with `modules` standard modules of three lines.
fs::path writeProject(const test::TempFolder& dir, const std::string& folder, const std::string& name, int modules,
                      int major = 1)
{
    std::string vbp = "Type=Exe\r\nName=\"" + name + "\"\r\nMajorVer=" + std::to_string(major)
                      + "\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    for (int i = 0; i < modules; ++i) {
        vbp += "Module=M" + std::to_string(i) + "; m" + std::to_string(i) + ".bas\r\n";
        dir.write(folder + "/m" + std::to_string(i) + ".bas", "Attribute VB_Name = \"M\"\r\n' c\r\nDim a\r\n");
    }
    return dir.write(folder + "/app.vbp", vbp);
}

std::size_t rowCount(const std::string& tsv)
{
    return test::lines(tsv).size() - 2; // less the titles and the totals row
}

std::vector<std::string> leftovers(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.path().filename().string().starts_with(kTempFilePrefix))
            found.push_back(e.path().string());
    return found;
}

} // namespace

// Many runs at once share the program folder, as command-line runs of one CI
// job do: each counts and stores exactly its own project, and saves of new
// versions made at the same moment all stay.
TEST(TrustedRuns, ParallelRunsOverOneProgramFolderDoNotMix)
{
    test::TempFolder dir;
    const fs::path alpha = writeProject(dir, "a", "Alpha", 300);
    const fs::path beta = writeProject(dir, "b", "Beta", 200);
    std::vector<fs::path> versions;
    for (int v = 1; v <= 8; ++v)
        versions.push_back(writeProject(dir, std::string("c").append(std::to_string(v)), "Gamma", 5, v));
    const std::string program = (dir / "program").string();

    struct Run {
        pid_t pid;
        fs::path out;
        std::size_t rows;
    };
    std::vector<Run> runs;
    for (int i = 0; i < 40; ++i) {
        const bool a = i % 2 == 0;
        const fs::path out = dir / ("out" + std::to_string(i));
        const auto pid = test::startProcess({test::kCliProgram, "count", (a ? alpha : beta).string(), "--save",
                                             "--program-folder", program},
                                            {out.string(), out.string() + ".err", false, {}});
        runs.push_back({pid, out, a ? 300u : 200u});
        if (i < static_cast<int>(versions.size()))
            runs.push_back({test::startProcess({test::kCliProgram, "count", versions[static_cast<std::size_t>(i)].string(),
                                                "--save", "--program-folder", program}),
                            {}, 0});
    }
    for (const Run& run : runs) {
        ASSERT_EQ(test::waitForProcess(run.pid), 0);
        if (run.out.empty())
            continue;
        const std::string text = test::readFile(run.out);
        EXPECT_EQ(rowCount(text), run.rows);
        EXPECT_EQ(text.find("Invalid"), std::string::npos);
    }
    const ProgramFolder folder{program};
    EXPECT_EQ(loadSnapshot(folder, "Alpha", "1.0.0", "Total").valueOr({}).rows.size(), 300u);
    EXPECT_EQ(loadSnapshot(folder, "Beta", "1.0.0", "Total").valueOr({}).rows.size(), 200u);
    EXPECT_EQ(listVersions(folder, "Gamma").size(), versions.size());
    EXPECT_EQ(listProjects(folder), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    // One copy per working-copy name, and nothing half-written beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.workingCopies()), fs::directory_iterator()), 1);
    EXPECT_EQ(leftovers(program), std::vector<std::string>{});
}

// A working copy that is in the way, read-only or whose name is too long is
// replaced or named anew; one that cannot be written is a failure of a count
// that stores (one that does not store writes no working copy).
TEST(TrustedRuns, WorkingCopiesAreWrittenWholeOrTheRunFails)
{
    test::TempFolder dir;
    test::Cli cli;
    const fs::path beta = writeProject(dir, "b", "Beta", 3);
    const ProgramFolder folder{cli.program.path()};
    ensureWorkFiles(folder);

    // A stale, read-only copy of another project under the same name.
    const fs::path stale = cli.program.write("tempprjfiles/app.vbp", "[Info]\r\nName=\"Alpha\"\r\n");
    fs::permissions(stale, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto r = cli.run({"count", beta.string(), "--save", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"name\":\"Beta\""), std::string::npos);
    EXPECT_EQ(listProjects(folder), (std::vector<std::string>{"Beta"}));

    // Two group members whose file names come near the 255-byte limit.
    const std::string longName(240, 'x');
    dir.write("g/one/" + longName + ".vbp", test::readFile(beta));
    dir.write("g/two/" + longName + ".vbp", test::readFile(beta));
    for (int i = 0; i < 3; ++i) {
        fs::copy_file(dir / ("b/m" + std::to_string(i) + ".bas"), dir / ("g/one/m" + std::to_string(i) + ".bas"));
        fs::copy_file(dir / ("b/m" + std::to_string(i) + ".bas"), dir / ("g/two/m" + std::to_string(i) + ".bas"));
    }
    const fs::path group = dir.write("g/g.vbg", "VBGROUP 5.0\r\nProject=one/" + longName + ".vbp\r\nProject=two/"
                                                    + longName + ".vbp\r\n");
    r = cli.run({"count", group.string(), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("Invalid"), std::string::npos);
    EXPECT_EQ(r.out.find("\"name\":\"\""), std::string::npos);

    // The working-copy folder replaced by a file: a count that does not
    // store needs no working copy; one that stores counts nothing.
    fs::remove_all(folder.workingCopies());
    cli.program.write("tempprjfiles", "in the way");
    EXPECT_EQ(cli.run({"count", beta.string()}).status, 0);
    r = cli.run({"count", beta.string(), "--save"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("tempprjfiles"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

// A snapshot that is not stored is a failure with one line that names it.
TEST(TrustedRuns, SaveThatStoresNothingFails)
{
    struct Case {
        const char* what;
        std::string name;
        std::function<void(const test::Cli&)> prepare;
    };
    const std::vector<Case> cases = {
        {"unstorable name", "..", {}},
        {"temporary-file name", std::string(kTempFilePrefix) + "x", {}},
        {"name over the file-name limit", std::string(300, 'n'), {}},
        {"project folder is a file", "P", [](const test::Cli& c) { c.program.write("verhis/P", "file"); }},
        {"store is a file", "P", [](const test::Cli& c) {
             fs::remove_all(c.program / "verhis");
             c.program.write("verhis", "file");
         }},
        {"read-only snapshot", "P", [](const test::Cli& c) {
             fs::permissions(c.program.write("verhis/P/1.0.0", "old\r\n"), fs::perms::owner_read);
         }},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        test::Cli cli;
        ensureWorkFiles(ProgramFolder{cli.program.path()});
        if (c.prepare)
            c.prepare(cli);
        const fs::path project = writeProject(dir, "p", c.name, 2);
        const auto r = cli.run({"count", project.string(), "--save"});
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find("verhis"), std::string::npos) << c.what << ": " << r.err;
    }
}

// Standard output that takes nothing is a failure, not a success.
TEST(TrustedRuns, StandardOutputThatCannotBeWrittenFails)
{
    test::TempFolder dir;
    const fs::path project = writeProject(dir, "p", "P", 2);
    const std::vector<std::string> args = {test::kCliProgram, "count", project.string(), "--program-folder",
                                           (dir / "program").string()};
    for (const bool closed : {false, true}) {
        test::ProcessOptions options{"/dev/full", (dir / "err").string(), closed, {}};
        EXPECT_EQ(test::runProcess(args, options), 1) << (closed ? "closed" : "full");
        EXPECT_NE(test::readFile(dir / "err").find("standard output"), std::string::npos);
    }
}

// Files of tens of GiB (sparse) are refused with a message, never an abort.
TEST(TrustedRuns, HugeFilesAreRefusedWithAMessage)
{
    test::TempFolder dir;
    auto sparse = [&](const fs::path& p) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << "Name=\"x\"\r\n";
        fs::resize_file(p, std::uintmax_t{40} << 30);
        return p;
    };
    test::Cli cli;
    ensureWorkFiles(ProgramFolder{cli.program.path()});
    auto r = cli.run({"count", sparse(dir / "big.vbp").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;

    const fs::path ok = writeProject(dir, "ok", "Ok", 1);
    sparse(dir / "huge/app.vbp");
    const fs::path group = dir.write("g.vbg", "VBGROUP 5.0\r\nProject=ok/app.vbp\r\nProject=huge/app.vbp\r\n");
    r = cli.run({"count", group.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning: huge/app.vbp: too large"), std::string::npos) << r.err;

    sparse(cli.program / "verhis/P/1.0.0");
    r = cli.run({"history", "P", "1.0.0"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;
    // The trend shows the versions it can read and names the one it cannot:
    // no point of zeros that the snapshot does not hold.
    cli.program.write("verhis/P/0.9.0", "m.bas:Module:1:2:0:0:1:1:1:2:2:2\r\n");
    r = cli.run({"history", "P", "--trend"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(test::lines(r.out).size(), 1u) << r.out;
    EXPECT_NE(r.err.find("1.0.0: too large"), std::string::npos) << r.err;

    fs::remove(cli.program / "tips.dll");
    sparse(cli.program / "tips.dll");
    r = cli.run({"history"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tips.dll: too large"), std::string::npos) << r.err;
}

// A project folder in the store that is a link leading outside: nothing is
// written or deleted through it.
TEST(TrustedRuns, StoreNeverWritesOrDeletesThroughALink)
{
    test::TempFolder dir;
    test::Cli cli;
    const ProgramFolder folder{cli.program.path()};
    ensureWorkFiles(folder);
    const fs::path outside = dir.write("outside/1.0.0", "not a snapshot\r\n");
    fs::create_directory_symlink(outside.parent_path(), folder.store() / "P");

    const auto r = cli.run({"count", writeProject(dir, "p", "P", 2).string(), "--save"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("symbolic link"), std::string::npos) << r.err;
    EXPECT_FALSE(deleteVersion(folder, "P", "1.0.0"));
    EXPECT_EQ(test::readFile(outside), "not a snapshot\r\n");
    EXPECT_TRUE(deleteProject(folder, "P"));
    EXPECT_EQ(test::readFile(outside), "not a snapshot\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.store() / "P")));
}

// The export goes where the user pointed: into a pipe as a stream, through a
// link to its target, to standard output for "-" and "/dev/stdout".
TEST(TrustedRuns, ExportWritesTheFileTheUserNamed)
{
    test::TempFolder dir;
    const fs::path project = writeProject(dir, "p", "P", 2);
    const std::string program = (dir / "program").string();
    const std::string expected = [&] {
        const fs::path plain = dir / "plain.txt";
        EXPECT_EQ(test::runProcess({test::kCliProgram, "count", project.string(), "--output", plain.string(),
                                    "--program-folder", program}),
                  0);
        return test::readFile(plain);
    }();
    ASSERT_FALSE(expected.empty());

    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string fromPipe;
    std::thread reader([&] { fromPipe = test::readFile(fifo); });
    EXPECT_EQ(test::runProcess({test::kCliProgram, "count", project.string(), "--output", fifo.string(),
                                "--program-folder", program}),
              0);
    reader.join();
    EXPECT_EQ(fromPipe, expected);
    EXPECT_TRUE(fs::is_fifo(fifo));

    const fs::path target = dir.write("real/list.txt", "old");
    fs::create_symlink(target, dir / "link.txt");
    EXPECT_EQ(test::runProcess({test::kCliProgram, "count", project.string(), "--output", (dir / "link.txt").string(),
                                "--program-folder", program}),
              0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(test::readFile(target), expected);

    // "-" puts the export in place of the list; "/dev/stdout" after the list
    // (which standard output shows with LF line ends).
    std::string listing = expected;
    listing.erase(std::remove(listing.begin(), listing.end(), '\r'), listing.end());
    for (const std::string name : {"-", "/dev/stdout"}) {
        const fs::path out = dir / "stdout";
        EXPECT_EQ(test::runProcess({test::kCliProgram, "count", project.string(), "--output", name,
                                    "--program-folder", program},
                                   {out.string(), {}, false, {}}),
                  0);
        EXPECT_EQ(test::readFile(out), name == "-" ? expected : listing + expected) << name;
    }
    EXPECT_EQ(leftovers(dir.path()), std::vector<std::string>{});
}

// An interrupt during a spreadsheet export ends the office program with it
// and leaves no scratch folder.
TEST(TrustedRuns, InterruptedSpreadsheetExportLeavesNothingBehind)
{
    test::TempFolder dir;
    const fs::path project = writeProject(dir, "p", "P", 2);
    const fs::path pidFile = dir / "office.pid";
    const fs::path office = dir.write("bin/soffice", "#!/bin/sh\necho $$ > " + pidFile.string() + "\nsleep 60\n");
    fs::permissions(office, fs::perms::owner_all);
    const fs::path scratch = dir / "tmp";
    fs::create_directories(scratch);
    const pid_t cli = test::startProcess(
        {test::kCliProgram, "count", project.string(), "--output", (dir / "list.xls").string(), "--program-folder",
         (dir / "program").string()},
        {{}, {}, false, {{"PATH", (dir / "bin").string() + ":/usr/bin:/bin"}, {"TMPDIR", scratch.string()}}});
    for (int i = 0; i < 500 && test::readFile(pidFile).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const pid_t officePid = std::atoi(test::readFile(pidFile).c_str());
    ASSERT_GT(officePid, 0);
    ::kill(cli, SIGTERM);
    EXPECT_EQ(test::waitForProcess(cli), 128 + SIGTERM);
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i) {
        gone = ::kill(officePid, 0) != 0 || test::readFile("/proc/" + std::to_string(officePid) + "/stat").find(") Z")
                                                != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    EXPECT_TRUE(fs::is_empty(scratch));
    EXPECT_FALSE(fs::exists(dir / "list.xls"));
}

// Texts from outside come out valid: JSON is UTF-8 whatever the group file's
// code page, and a byte-order mark hides no line of a project file.
TEST(TrustedRuns, TextsFromOutsideComeOutValid)
{
    test::TempFolder dir;
    test::Cli cli;
    writeProject(dir, "Caf\xe9", "Cafe", 1);
    const fs::path group = dir.write("g.vbg", "VBGROUP 5.0\r\nProject=Caf\xe9/app.vbp\r\n");
    auto r = cli.run({"count", group.string(), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(isValidUtf8(r.out));
    EXPECT_NE(r.out.find("\"path\":\"Caf\xc3\xa9/app.vbp\""), std::string::npos) << r.out;

    const fs::path bom = dir.write("bom/app.vbp", "\xEF\xBB\xBFName=\"Marked\"\r\nModule=M; m.bas\r\n");
    dir.write("bom/m.bas", "Attribute VB_Name = \"M\"\r\nDim a\r\n");
    r = cli.run({"count", bom.string(), "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"name\":\"Marked\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"module\":\"m.bas\",\"type\":\"Module\""), std::string::npos) << r.out;
}

namespace {

// The exit status of `pid`, or -1 when it has not ended within 30 seconds
// (it is then killed).
int statusWithin30Seconds(pid_t pid)
{
    for (int i = 0; i < 3000; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    test::waitForProcess(pid);
    return -1;
}

bool waitFor(const std::function<bool()>& ready)
{
    for (int i = 0; i < 3000 && !ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ready();
}

} // namespace

// A run that SIGINT, SIGTERM or SIGHUP ends exits 128 + the signal's
// number: an import, which stops after the revision being counted, as a
// count that the signal ends outright.
TEST(TrustedRuns, ARunEndedByASignalExitsWith128PlusItsNumber)
{
    test::TempFolder dir;
    // 400 revisions, each a new version, made at once by git fast-import.
    std::string stream;
    for (int v = 1; v <= 400; ++v) {
        const std::string vbp = "Type=Exe\r\nName=\"S\"\r\nMajorVer=" + std::to_string(v)
                                + "\r\nMinorVer=0\r\nRevisionVer=0\r\nModule=M; m.bas\r\n";
        const std::string bas = "Attribute VB_Name = \"M\"\r\nx = " + std::to_string(v) + "\r\n";
        stream += "commit refs/heads/main\ncommitter Z <z@z.invalid> " + std::to_string(1700000000 + v)
                  + " +0000\ndata 1\nr\n";
        stream += "M 100644 inline app.vbp\ndata " + std::to_string(vbp.size()) + "\n" + vbp + "\n";
        stream += "M 100644 inline m.bas\ndata " + std::to_string(bas.size()) + "\n" + bas + "\n";
    }
    const fs::path streamFile = dir.write("stream", stream);
    const fs::path repo = dir / "repo";
    const std::string make = "git init -q -b main '" + repo.string() + "' && git -C '" + repo.string()
                             + "' fast-import --quiet < '" + streamFile.string() + "' && git -C '" + repo.string()
                             + "' reset -q --hard";
    ASSERT_EQ(std::system(make.c_str()), 0) << make;
    const fs::path project = writeProject(dir, "big", "Big", 3000);

    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const fs::path imported = dir / ("import" + std::to_string(signal));
        const pid_t import = test::startProcess({test::kCliProgram, "import", (repo / "app.vbp").string(),
                                                 "--revisions", "HEAD", "--program-folder", imported.string()});
        ASSERT_TRUE(waitFor([&] { return fs::exists(imported / "verhis/S"); }));
        ::kill(import, signal);
        EXPECT_EQ(statusWithin30Seconds(import), 128 + signal);

        // Standard output is a pipe nobody reads: the count waits on it
        // until the signal ends it.
        const fs::path fifo = dir / ("fifo" + std::to_string(signal));
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const fs::path counted = dir / ("count" + std::to_string(signal));
        const pid_t count = test::startProcess({test::kCliProgram, "count", project.string(), "--save",
                                                "--program-folder", counted.string()},
                                               {fifo.string(), {}, false, {}});
        ASSERT_TRUE(waitFor([&] { return fs::exists(counted / "verhis/Big/1.0.0"); }));
        ::kill(count, signal);
        EXPECT_EQ(statusWithin30Seconds(count), 128 + signal);
        ::close(reader);
    }
}
