// The command line's speed against the machine's floor: every figure is a
// whole process, the median of several runs, beside what reading exactly
// the same bytes costs (`zorvika-floor`: open, aligned read, byte scan).
// With --before it times a second zorvika-cli (the build to compare with)
// in the same run, so that both stand on the same load of the machine. The
// last figure is the procedure metrics against the count; --procedures
// times that figure alone.
//
//   build/bench/zorvika-bench [--runs N] [--corpus DIR] [--cli PATH] [--before PATH]
//                             [--floor PATH] [--cloc] [--procedures]
#include "analysis/project_reader.h"
#include "base/file_io.h"
#include "bench_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <strings.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The median of `runs` runs; a command slower than `patience` seconds in
// all is not repeated further (the slow figures of the older build).
Measure median(const std::vector<std::string>& argv, int runs, double patience = 20)
{
    std::vector<double> times;
    Measure m;
    double spent = 0;
    for (int i = 0; i < runs; ++i) {
        const Measure one = runOnce(argv);
        times.push_back(one.seconds);
        m.peakKiB = std::max(m.peakKiB, one.peakKiB);
        m.status = one.status;
        spent += one.seconds;
        if (spent > patience && i >= 0)
            break;
    }
    std::sort(times.begin(), times.end());
    m.runs = static_cast<int>(times.size());
    m.seconds = times.size() % 2 ? times[times.size() / 2]
                                 : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    return m;
}

// The module files a project names, one absolute path a line, resolved the
// slow, plain way (letter case searched where the exact name is missing):
// what the floor program and cloc read.
fs::path writeListFile(const fs::path& project, const fs::path& list)
{
    const std::string text = zorvika::readRegularFile(project).valueOr(std::string());
    std::ofstream out(list);
    std::map<std::string, fs::path> folders; // a folder's text -> the folder found
    auto step = [](const fs::path& p, const std::string& comp) {
        if (fs::exists(p / comp))
            return p / comp;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(p, ec))
            if (strcasecmp(e.path().filename().c_str(), comp.c_str()) == 0)
                return e.path();
        return p / comp;
    };
    for (std::string m : zorvika::readModuleEntries(text)) {
        std::replace(m.begin(), m.end(), '\\', '/');
        const auto slash = m.rfind('/');
        const std::string folderText = slash == std::string::npos ? std::string() : m.substr(0, slash);
        auto known = folders.find(folderText);
        if (known == folders.end()) {
            fs::path p = project.parent_path();
            std::string_view rest = folderText;
            while (!rest.empty()) {
                const auto cut = rest.find('/');
                p = step(p, std::string(rest.substr(0, cut)));
                rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
            }
            known = folders.emplace(folderText, p).first;
        }
        out << step(known->second, slash == std::string::npos ? m : m.substr(slash + 1)).string() << '\n';
    }
    return list;
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string moduleText(int i, int routines)
{
    std::string m;
    if (i % 3 != 2) {
        m += "VERSION 5.00\r\nBegin VB.Form M" + std::to_string(i) + "\r\n   Caption = \"x\"\r\nEnd\r\n"
             "Attribute VB_Name = \"M" + std::to_string(i) + "\"\r\nAttribute VB_GlobalNameSpace = False\r\n"
             "Attribute VB_Creatable = False\r\nAttribute VB_PredeclaredId = True\r\n"
             "Attribute VB_Exposed = False\r\n";
    } else {
        m += "Attribute VB_Name = \"B" + std::to_string(i) + "\"\r\n";
    }
    m += "Option Explicit\r\n\r\n";
    for (int k = 0; k < routines; ++k)
        m += "' Routine " + std::to_string(k) + " of module " + std::to_string(i) + "\r\n"
             "Public Function F" + std::to_string(k) + "(ByVal a As Long) As Long\r\n"
             "\tDim b As Long\r\n    b = a * " + std::to_string(k) + " ' scaled\r\n"
             "    F" + std::to_string(k) + " = b\r\nEnd Function\r\n\r\n";
    return m;
}

std::string entryLine(int i, const std::string& path)
{
    const int kind = i % 3;
    if (kind == 0)
        return "Form=" + path + "\r\n";
    if (kind == 1)
        return "Class=C" + std::to_string(i) + "; " + path + "\r\n";
    return "Module=B" + std::to_string(i) + "; " + path + "\r\n";
}

std::string extensionOf(int i)
{
    return i % 3 == 0 ? ".frm" : (i % 3 == 1 ? ".cls" : ".bas");
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

const char* kHeader = "Type=Exe\r\nName=\"Big\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";

// A project of `n` modules of about sixty lines each, and beside it the same
// project with every entry in upper case (as written on Windows).
void generateProject(const fs::path& dir, int n, fs::path& exact, fs::path& otherCase)
{
    fs::create_directories(dir / "Src");
    std::string vbp = kHeader, vbpUpper = kHeader;
    for (int i = 0; i < n; ++i) {
        const std::string name = std::string("M").append(std::to_string(i)).append(extensionOf(i));
        vbp += entryLine(i, "Src\\" + name);
        vbpUpper += entryLine(i, upper("Src\\" + name));
        writeFile(dir / "Src" / name, moduleText(i, 8));
    }
    exact = dir / "Big.vbp";
    otherCase = dir / "BigUpper.vbp";
    writeFile(exact, vbp + "Startup=\"Sub Main\"\r\n");
    writeFile(otherCase, vbpUpper + "Startup=\"Sub Main\"\r\n");
}

// Ten modules of about 50 MB each.
fs::path generateHugeModules(const fs::path& dir)
{
    fs::create_directories(dir);
    std::string vbp = kHeader;
    const std::string body = moduleText(0, 8);
    for (int i = 0; i < 10; ++i) {
        const std::string name = std::string("H").append(std::to_string(i)).append(extensionOf(i));
        vbp += entryLine(i, name);
        std::ofstream m(dir / name, std::ios::binary);
        m << moduleText(i, 0);
        for (std::size_t size = 0; size < 50'000'000; size += body.size())
            m << body;
    }
    writeFile(dir / "Huge.vbp", vbp);
    return dir / "Huge.vbp";
}

// 2,000 modules 1,000 folders deep, every entry in upper case.
fs::path generateDeepProject(const fs::path& dir)
{
    std::string folder, folderUpper;
    fs::create_directories(dir);
    for (int d = 0; d < 1000; ++d) {
        folder += "d/";
        folderUpper += "D\\";
        fs::create_directory(dir / folder);
    }
    std::string vbp = kHeader;
    for (int i = 0; i < 2000; ++i) {
        const std::string name = std::string("m").append(std::to_string(i)).append(extensionOf(i));
        vbp += entryLine(i, folderUpper + upper(name));
        writeFile(dir / folder / name, moduleText(i, 2));
    }
    writeFile(dir / "Deep.vbp", vbp);
    return dir / "Deep.vbp";
}

// 40 entries of one module of 1 GiB.
fs::path generateRepeatedModule(const fs::path& dir)
{
    fs::create_directories(dir);
    const std::string body = moduleText(0, 8);
    {
        std::ofstream m(dir / "One.bas", std::ios::binary);
        for (std::size_t size = 0; size < (std::size_t{1} << 30); size += body.size())
            m << body;
    }
    std::string vbp = kHeader;
    for (int i = 0; i < 40; ++i)
        vbp += "Module=B" + std::to_string(i) + "; One.bas\r\n";
    writeFile(dir / "Repeat.vbp", vbp);
    return dir / "Repeat.vbp";
}

std::string snapshotOfRows(int n)
{
    std::string text;
    long long p = 0, a = 0, c = 0, b = 0;
    for (int i = 0; i < n; ++i) {
        const int fp = 40 + i % 50, fa = fp + 9, fc = 3 + i % 7, fb = 5 + i % 4;
        text += "Src\\M" + std::to_string(i) + extensionOf(i) + ":Form:" + std::to_string(fp) + ':'
                + std::to_string(fa) + ':' + std::to_string(fc) + ':' + std::to_string(fb) + ':'
                + std::to_string(fp - fc) + ':' + std::to_string(fp - fb) + ':' + std::to_string(fp - fc - fb) + ':'
                + std::to_string(fa - fc) + ':' + std::to_string(fa - fb) + ':' + std::to_string(fa - fc - fb)
                + "\r\n";
        p += fp;
        a += fa;
        c += fc;
        b += fb;
    }
    text += "Total: " + std::to_string(n) + " modules: " + std::to_string(p) + ", " + std::to_string(a) + ", "
            + std::to_string(c) + ", " + std::to_string(b) + ", " + std::to_string(p - c) + ", "
            + std::to_string(p - b) + ", " + std::to_string(p - c - b) + ", " + std::to_string(a - c) + ", "
            + std::to_string(a - b) + ", " + std::to_string(a - c - b) + " (columns P to A - C - B)\r\n";
    return text;
}

std::string seconds(const Measure& m)
{
    if (m.seconds < 0)
        return "-";
    char text[32];
    if (m.seconds < 1)
        std::snprintf(text, sizeof text, "%.1f ms", m.seconds * 1000);
    else
        std::snprintf(text, sizeof text, "%.2f s", m.seconds);
    return text;
}

std::string mebibytes(const Measure& m)
{
    return m.seconds < 0 ? "-" : std::to_string(m.peakKiB / 1024) + " MiB";
}

std::string ratio(const Measure& m, const Measure& floor)
{
    if (m.seconds < 0 || floor.seconds <= 0)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f x", m.seconds / floor.seconds);
    return text;
}

void printRow(const std::string& what, const std::string& floor, const std::string& before,
              const std::string& after, const std::string& against, const std::string& target)
{
    std::printf("| %s | %s | %s | %s | %s | %s |\n", what.c_str(), floor.c_str(), before.c_str(), after.c_str(),
                against.c_str(), target.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 7;
    fs::path corpus = ZORVIKA_CORPUS_DIR;
    fs::path cli = ZORVIKA_CLI;
    fs::path floorProgram = ZORVIKA_FLOOR;
    std::optional<fs::path> before;
    bool withCloc = false;
    bool onlyProcedures = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--runs" && hasValue)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--corpus" && hasValue)
            corpus = argv[++i];
        else if (a == "--cli" && hasValue)
            cli = argv[++i];
        else if (a == "--before" && hasValue)
            before = argv[++i];
        else if (a == "--floor" && hasValue)
            floorProgram = argv[++i];
        else if (a == "--cloc")
            withCloc = true;
        else if (a == "--procedures")
            onlyProcedures = true;
        else {
            std::cerr << "usage: zorvika-bench [--runs N] [--corpus DIR] [--cli PATH] [--before PATH] "
                         "[--floor PATH] [--cloc] [--procedures]\n";
            return 2;
        }
    }
    char pattern[] = "/tmp/zorvika-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const fs::path work = pattern;
    const fs::path program = work / "program";
    fs::create_directories(program / "verhis");
    std::error_code ec;
    fs::copy_file(cli.parent_path() / "tips.dll", program / "tips.dll", ec);

    const fs::path photo = corpus / "PhotoDemon" / "PhotoDemon.vbp";
    auto tableHead = [&] {
        std::cout << "\nmedian of " << runs << " runs (a figure of the older build that takes more than 20 s is run fewer times)\n\n";
        std::cout << "| figure | floor | before | after | after against floor | target |\n";
        std::cout << "|---|---|---|---|---|---|\n";
    };
    // The procedure metrics, one pass per module like the count: target at
    // most three times the count's time. The older build's procedures, if
    // any, stand under "before".
    auto proceduresRow = [&] {
        auto onPhoto = [&](const fs::path& exe, const char* command) {
            return std::vector<std::string>{exe.string(), command, photo.string(), "--program-folder", program.string()};
        };
        const Measure older = before ? median(onPhoto(*before, "procedures"), runs) : Measure{};
        const Measure procedures = median(onPhoto(cli, "procedures"), runs);
        const Measure photoCount = median(onPhoto(cli, "count"), runs);
        printRow("procedures on PhotoDemon (against its count)", seconds(photoCount), seconds(older),
                 seconds(procedures), ratio(procedures, photoCount), "at most 3 x");
    };
    if (onlyProcedures) {
        tableHead();
        proceduresRow();
        fs::remove_all(work, ec);
        return 0;
    }

    std::cout << "generating the projects and snapshots in " << work.string() << " ..." << std::endl;
    fs::path big, bigUpper;
    generateProject(work / "big", 100000, big, bigUpper);
    const fs::path huge = generateHugeModules(work / "huge");
    const fs::path deep = generateDeepProject(work / "deep");
    const fs::path repeat = generateRepeatedModule(work / "repeat");
    // 200 stored versions of 100,000 rows each, a snapshot of 2 million rows
    // and one whose single line is 64 MB of colons.
    const std::string rows100k = snapshotOfRows(100000);
    fs::create_directories(program / "verhis" / "Big");
    std::ofstream trendList(work / "trend.list");
    for (int v = 0; v < 200; ++v) {
        const fs::path file = program / "verhis" / "Big" / ("1." + std::to_string(v / 10) + "." + std::to_string(v % 10));
        writeFile(file, rows100k);
        trendList << file.string() << '\n';
    }
    trendList.close();
    fs::create_directories(program / "verhis" / "Wide");
    writeFile(program / "verhis" / "Wide" / "1.0.0", snapshotOfRows(2000000));
    fs::create_directories(program / "verhis" / "Colons");
    writeFile(program / "verhis" / "Colons" / "1.0.0", std::string(64 << 20, ':'));
    writeFile(work / "one-snapshot.list", (program / "verhis" / "Big" / "1.0.0").string() + "\n");
    writeFile(work / "repeat.list", (work / "repeat" / "One.bas").string() + "\n");

    auto count = [&](const fs::path& exe, const fs::path& project) {
        return std::vector<std::string>{exe.string(), "count", project.string(), "--program-folder", program.string()};
    };
    auto history = [&](const fs::path& exe, std::vector<std::string> what) {
        std::vector<std::string> args{exe.string(), "history"};
        args.insert(args.end(), what.begin(), what.end());
        args.push_back("--program-folder");
        args.push_back(program.string());
        return args;
    };
    auto floorOf = [&](const fs::path& list, std::vector<std::string> options = {}) {
        std::vector<std::string> args{floorProgram.string()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(list.string());
        return median(args, runs);
    };
    // Both builds, alternating run by run would mix their caches less
    // fairly than this: each takes its runs on the same warm files.
    auto both = [&](auto argsOf, Measure& b, Measure& a) {
        if (before)
            b = median(argsOf(*before), runs);
        a = median(argsOf(cli), runs);
        if (a.status != 0)
            std::cout << "  (zorvika-cli exited with " << a.status << ")\n";
    };

    tableHead();
    Measure b, a;

    const Measure photoFloor = floorOf(writeListFile(photo, work / "photo.list"));
    both([&](const fs::path& exe) { return count(exe, photo); }, b, a);
    printRow("PhotoDemon count (539 modules)", seconds(photoFloor), seconds(b), seconds(a), ratio(a, photoFloor),
             "at most 1.6 x");

    const Measure bigFloor = floorOf(writeListFile(big, work / "big.list"));
    both([&](const fs::path& exe) { return count(exe, big); }, b, a);
    const Measure bigAfter = a;
    printRow("generated, 100,000 modules", seconds(bigFloor), seconds(b), seconds(a), ratio(a, bigFloor),
             "at most 2 x");
    printRow("generated, 100,000 modules: peak memory", "-", mebibytes(b), mebibytes(a), "-", "under 60 MiB");

    const Measure hugeFloor = floorOf(writeListFile(huge, work / "huge.list"));
    both([&](const fs::path& exe) { return count(exe, huge); }, b, a);
    printRow("ten modules of 50 MB", seconds(hugeFloor), seconds(b), seconds(a), ratio(a, hugeFloor),
             "at most 1.5 x");

    both([&](const fs::path& exe) { return count(exe, bigUpper); }, b, a);
    printRow("100,000 entries in other letter case", seconds(bigFloor), seconds(b), seconds(a), ratio(a, bigFloor),
             "linear (exact case: " + ratio(bigAfter, bigFloor) + ")");

    const Measure deepFloor = floorOf(writeListFile(deep, work / "deep.list"));
    both([&](const fs::path& exe) { return count(exe, deep); }, b, a);
    printRow("2,000 entries 1,000 folders deep, other case", seconds(deepFloor), seconds(b), seconds(a),
             ratio(a, deepFloor), "linear");

    const Measure repeatFloor = floorOf(work / "repeat.list");
    both([&](const fs::path& exe) { return count(exe, repeat); }, b, a);
    printRow("40 entries of one 1 GiB module (floor: read once)", seconds(repeatFloor), seconds(b), seconds(a),
             ratio(a, repeatFloor), "read once");

    const Measure tailFloor = floorOf(work / "trend.list", {"--tail", "4096"});
    both([&](const fs::path& exe) { return history(exe, {"Big", "--trend"}); }, b, a);
    printRow("history --trend, 200 versions of 100,000 rows (floor: the 200 file ends)", seconds(tailFloor),
             seconds(b), seconds(a), ratio(a, tailFloor), "under 100 ms");

    const Measure snapshotFloor = floorOf(work / "one-snapshot.list");
    both([&](const fs::path& exe) { return history(exe, {"Big", "1.0.0"}); }, b, a);
    printRow("history P V, 100,000 rows", seconds(snapshotFloor), seconds(b), seconds(a), ratio(a, snapshotFloor),
             "under 150 ms");

    both([&](const fs::path& exe) { return history(exe, {"Wide", "1.0.0"}); }, b, a);
    printRow("history P V, 2 million rows (68 MB): time", "-", seconds(b), seconds(a), "-", "-");
    printRow("history P V, 2 million rows (68 MB): peak memory", "-", mebibytes(b), mebibytes(a), "-",
             "a small multiple of the rows kept");
    both([&](const fs::path& exe) { return history(exe, {"Colons", "1.0.0"}); }, b, a);
    printRow("history P V, one 64 MB line of colons: peak memory", "-", mebibytes(b), mebibytes(a), "-",
             "a small multiple of 64 MB");

    // Start-up: many short runs; /bin/true is the floor.
    const int startRuns = std::max(runs * 30, 100);
    const Measure trueRun = median({"/bin/true"}, startRuns);
    if (before)
        b = median({before->string()}, startRuns);
    a = median({cli.string()}, startRuns);
    char startAgainst[64];
    std::snprintf(startAgainst, sizeof startAgainst, "+%.1f ms", (a.seconds - trueRun.seconds) * 1000);
    printRow("start-up, nothing to do (floor: /bin/true)", seconds(trueRun), before ? seconds(b) : "-", seconds(a),
             startAgainst, "within 1.5 ms");

    proceduresRow();

    if (withCloc && runOnce({"cloc", "--version"}).status == 0) {
        const Measure c = median({"cloc", "--quiet", "--list-file=" + (work / "photo.list").string()}, 3);
        std::cout << "\ncloc --list-file on PhotoDemon: " << seconds(c) << ", " << mebibytes(c) << "\n";
    }
    fs::remove_all(work, ec);
    return 0;
}
