// Counting from a repository: a generated repository of 100 tagged
// revisions of PhotoDemon (each changing about 5 % of its modules) imported
// with `zorvika-cli import --tags`, and one revision counted from the
// objects against the count of its checkout. Whole processes, medians.
//
//   build/bench/zorvika-import-bench [--runs N] [--corpus DIR] [--cli PATH]
#include "bench_process.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A whole run of `argv`; the benchmark stops when one fails.
double runProcess(const std::vector<std::string>& argv)
{
    const Measure m = runOnce(argv);
    if (m.status != 0) {
        std::cerr << "failed: " << argv[0] << " " << argv[1] << "\n";
        std::exit(1);
    }
    return m.seconds;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) {
        std::cerr << "failed: " << command << "\n";
        std::exit(1);
    }
}

std::vector<fs::path> moduleFiles(const fs::path& root)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && ext != ".vbp" && e.path().string().find("/.git/") == std::string::npos
            && (ext == ".bas" || ext == ".cls" || ext == ".frm" || ext == ".ctl"))
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    std::string corpus = ZORVIKA_CORPUS_DIR;
    std::string cli = ZORVIKA_CLI;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--runs")
            runs = std::atoi(argv[i + 1]);
        else if (a == "--corpus")
            corpus = argv[i + 1];
        else if (a == "--cli")
            cli = argv[i + 1];
    }
    char pattern[] = "/tmp/zorvika-import-bench-XXXXXX";
    const fs::path work = ::mkdtemp(pattern);
    const fs::path repo = work / "repo";
    fs::copy(fs::path(corpus) / "PhotoDemon", repo, fs::copy_options::recursive);
    const std::string git = "git -C '" + repo.string() + "' ";
    shell(git + "init -q && " + git + "config user.email bench@zorvika.invalid && " + git
          + "config user.name bench && " + git + "add -A && " + git + "commit -qm r0 && " + git + "tag r000");

    // 99 more revisions, each appending lines to about 5 % of the modules.
    const auto modules = moduleFiles(repo);
    std::mt19937 rng(100);
    for (int r = 1; r < 100; ++r) {
        for (std::size_t k = 0; k < modules.size() / 20; ++k) {
            std::ofstream(modules[rng() % modules.size()], std::ios::app | std::ios::binary)
                << "' revision " << r << "\r\nDim x" << r << " As Long\r\n\r\n";
        }
        char tag[8];
        std::snprintf(tag, sizeof tag, "r%03d", r);
        shell(git + "commit -qam r && " + git + "tag " + tag);
    }
    // Packed, as a repository with a history is.
    shell(git + "gc -q");
    const std::string project = (repo / "PhotoDemon.vbp").string();

    std::vector<double> imports, fromObjects, fromCheckout;
    for (int i = 0; i < runs; ++i) {
        const fs::path folder = work / ("program" + std::to_string(i));
        imports.push_back(runProcess({cli, "import", project, "--tags", "--program-folder", folder.string()}));
        fromObjects.push_back(
            runProcess({cli, "count", project, "--revision", "HEAD", "--program-folder", folder.string()}));
        fromCheckout.push_back(runProcess({cli, "count", project, "--program-folder", folder.string()}));
    }
    std::printf("| step | median |\n|---|---|\n");
    std::printf("| import of 100 tagged revisions (539 modules, %zu changed each) | %.3f s |\n", modules.size() / 20,
                median(imports));
    std::printf("| count of one revision from the objects | %.3f s |\n", median(fromObjects));
    std::printf("| count of its checkout | %.3f s |\n", median(fromCheckout));
    std::printf("| objects / checkout | %.2fx |\n", median(fromObjects) / median(fromCheckout));
    fs::remove_all(work);
    return 0;
}
