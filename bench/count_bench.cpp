// Counting benchmark: zorvika-cli against cloc, as whole processes, on
// PhotoDemon and on a generated project of 20,000 modules; then the
// procedure metrics (zorvika-cli procedures) against the count on the same
// projects, whose target is at most three times the count's time. Prints
// two tables.
//
//   build/bench/zorvika-bench [--runs N] [--corpus DIR] [--cli PATH]
#include "analysis/project_reader.h"
#include "components/file_io.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <strings.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Measure {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

// Runs a command with its output thrown away; wall time and peak memory.
Measure runProcess(const std::vector<std::string>& argv)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::FILE* null = std::fopen("/dev/null", "w");
        if (null) {
            ::dup2(fileno(null), 1);
            ::dup2(fileno(null), 2);
        }
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    Measure m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

// Best of `runs` (the least disturbed run).
Measure best(const std::vector<std::string>& argv, int runs)
{
    Measure b;
    b.seconds = 1e30;
    for (int i = 0; i < runs; ++i) {
        const Measure m = runProcess(argv);
        if (m.seconds < b.seconds)
            b = m;
    }
    return b;
}

// The module files a project names, one absolute path a line, for cloc.
fs::path writeListFile(const fs::path& project, const fs::path& list)
{
    std::string text;
    zorvika::readRegularFile(project, text);
    std::ofstream out(list);
    for (std::string m : zorvika::readModuleEntries(text)) {
        std::replace(m.begin(), m.end(), '\\', '/');
        fs::path p = project.parent_path() / m;
        if (!fs::exists(p)) { // one PhotoDemon entry differs in letter case from its file
            for (const auto& e : fs::directory_iterator(p.parent_path()))
                if (strcasecmp(e.path().filename().c_str(), p.filename().c_str()) == 0)
                    p = e.path();
        }
        out << p.string() << '\n';
    }
    return list;
}

// A project of `n` modules: forms, classes and standard modules of about
// sixty lines each, with headers, comments and blank lines.
fs::path generateProject(const fs::path& dir, int n)
{
    fs::create_directories(dir / "Src");
    std::ofstream vbp(dir / "Big.vbp", std::ios::binary);
    vbp << "Type=Exe\r\nName=\"Big\"\r\nMajorVer=1\r\nMinorVer=0\r\nRevisionVer=0\r\n";
    for (int i = 0; i < n; ++i) {
        const char* ext = i % 3 == 0 ? ".frm" : (i % 3 == 1 ? ".cls" : ".bas");
        const std::string name = "M" + std::to_string(i) + ext;
        if (i % 3 == 0)
            vbp << "Form=Src\\" << name << "\r\n";
        else if (i % 3 == 1)
            vbp << "Class=C" << i << "; Src\\" << name << "\r\n";
        else
            vbp << "Module=B" << i << "; Src\\" << name << "\r\n";
        std::ofstream m(dir / "Src" / name, std::ios::binary);
        if (i % 3 != 2) {
            m << "VERSION 5.00\r\nBegin VB.Form M" << i << "\r\n   Caption = \"x\"\r\nEnd\r\n"
              << "Attribute VB_Name = \"M" << i << "\"\r\nAttribute VB_GlobalNameSpace = False\r\n"
              << "Attribute VB_Creatable = False\r\nAttribute VB_PredeclaredId = True\r\n"
              << "Attribute VB_Exposed = False\r\n";
        } else {
            m << "Attribute VB_Name = \"B" << i << "\"\r\n";
        }
        m << "Option Explicit\r\n\r\n";
        for (int k = 0; k < 8; ++k)
            m << "' Routine " << k << " of module " << i << "\r\n"
              << "Public Function F" << k << "(ByVal a As Long) As Long\r\n"
              << "\tDim b As Long\r\n    b = a * " << k << " ' scaled\r\n"
              << "    F" << k << " = b\r\nEnd Function\r\n\r\n";
    }
    vbp << "Startup=\"Sub Main\"\r\n";
    return dir / "Big.vbp";
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    fs::path corpus = ZORVIKA_CORPUS_DIR;
    fs::path cli = ZORVIKA_CLI;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (a == "--corpus")
            corpus = argv[i + 1];
        else if (a == "--cli")
            cli = argv[i + 1];
    }
    char pattern[] = "/tmp/zorvika-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const fs::path work = pattern;
    const fs::path program = work / "program";
    fs::create_directories(program);
    const bool haveCloc = runProcess({"cloc", "--version"}).status == 0;

    std::cout << "runs per figure: " << runs << " (best run shown)\n\n";
    std::cout << "project                     | zorvika-cli count     | cloc --list-file      | speed-up\n";
    std::cout << "----------------------------|-----------------------|-----------------------|---------\n";
    auto row = [&](const std::string& label, const fs::path& project) {
        const fs::path list = writeListFile(project, work / (label + ".list"));
        const Measure z = best({cli.string(), "count", project.string(), "--program-folder", program.string()}, runs);
        char line[256];
        if (haveCloc) {
            const Measure c = best({"cloc", "--quiet", "--list-file=" + list.string()}, std::min(runs, 3));
            std::snprintf(line, sizeof line, "%-27s | %8.3f s %7ld MiB | %8.3f s %7ld MiB | %6.1fx\n", label.c_str(),
                          z.seconds, z.peakKiB / 1024, c.seconds, c.peakKiB / 1024, c.seconds / z.seconds);
        } else {
            std::snprintf(line, sizeof line, "%-27s | %8.3f s %7ld MiB | (cloc not installed)  |\n", label.c_str(),
                          z.seconds, z.peakKiB / 1024);
        }
        std::cout << line << std::flush;
        if (z.status != 0)
            std::cout << "  zorvika-cli exited with " << z.status << "\n";
    };
    const fs::path photoDemon = corpus / "PhotoDemon" / "PhotoDemon.vbp";
    const fs::path generated = generateProject(work / "big", 20000);
    row("PhotoDemon (539 modules)", photoDemon);
    row("generated (20,000 modules)", generated);

    std::cout << "\nproject                     | zorvika-cli count     | zorvika-cli procedures | ratio (target <= 3)\n";
    std::cout << "----------------------------|-----------------------|------------------------|--------------------\n";
    auto procedures = [&](const std::string& label, const fs::path& project) {
        const std::vector<std::string> count = {cli.string(), "count", project.string(), "--program-folder",
                                                program.string()};
        const std::vector<std::string> procs = {cli.string(), "procedures", project.string(), "--program-folder",
                                                program.string()};
        // Taken in turns, so that a disturbance of the machine falls on both.
        Measure c, p;
        c.seconds = p.seconds = 1e30;
        for (int i = 0; i < runs; ++i) {
            const Measure mc = runProcess(count);
            const Measure mp = runProcess(procs);
            if (mc.seconds < c.seconds)
                c = mc;
            if (mp.seconds < p.seconds)
                p = mp;
        }
        char line[256];
        std::snprintf(line, sizeof line, "%-27s | %8.3f s %7ld MiB | %8.3f s %7ld MiB  | %5.1fx\n", label.c_str(),
                      c.seconds, c.peakKiB / 1024, p.seconds, p.peakKiB / 1024, p.seconds / c.seconds);
        std::cout << line << std::flush;
        if (p.status != 0)
            std::cout << "  zorvika-cli procedures exited with " << p.status << "\n";
    };
    procedures("PhotoDemon (539 modules)", photoDemon);
    procedures("generated (20,000 modules)", generated);
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
