// A full disk: storing and exporting fail without damaging what was there,
// and the export says why. Needs a small file system of its own (a tmpfs);
// skipped where the machine does not allow mounting one.
#include "analysis/line_counter.h"
#include "base/program_folder.h"
#include "components/spreadsheet.h"
#include "output/export.h"
#include "output/snapshot_store.h"
#include "shell/selection.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace zorvika;
namespace fs = std::filesystem;

namespace {

class SmallDisk {
public:
    explicit SmallDisk(const fs::path& at) : at_(at)
    {
        fs::create_directories(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=256k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Fills the file system to the last byte.
    void fill() const
    {
        std::FILE* f = std::fopen((at_ / "filler").c_str(), "wb");
        const std::string block(4096, 'f');
        while (f && std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
        }
        if (f)
            std::fclose(f);
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

std::vector<ModuleRow> manyRows(std::size_t n)
{
    ModuleRow row;
    row.cells = {"Forms\\A_rather_long_module_name.frm", "Form", "82", "120", "12", "10", "70", "72", "60", "108", "110", "98"};
    return std::vector<ModuleRow>(n, row);
}

} // namespace

TEST(FullDisk, StoringAndExportingFailWithoutDamage)
{
    test::TempFolder dir;
    SmallDisk disk(dir / "disk");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const ProgramFolder folder{dir / "disk"};
    ensureWorkFiles(folder);
    ASSERT_TRUE(saveSnapshot(folder, "P", "1.0.0", manyRows(10), "Total: old"));
    const std::string oldSnapshot = test::readFile(folder.store() / "P" / "1.0.0");
    const fs::path exportFile = dir / "disk" / "list.txt";
    std::ofstream(exportFile) << "old export\r\n";
    disk.fill();

    const auto saved = saveSnapshot(folder, "P", "1.0.0", manyRows(5000), "Total: new");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.kind(), SaveError::Failed);
    EXPECT_EQ(test::readFile(folder.store() / "P" / "1.0.0"), oldSnapshot);

    NoSpreadsheet none;
    const auto written = writeExport(exportFile, manyRows(5000), "", {"T", "M", "O"}, none);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.kind(), ExportError::Failed);
    EXPECT_EQ(written.reason(), "No space left on device");
    EXPECT_EQ(test::readFile(exportFile), "old export\r\n");
    for (const auto& e : fs::directory_iterator(dir / "disk"))
        EXPECT_FALSE(e.path().filename().string().starts_with(".zorvika-tmp")) << e.path();
    for (const auto& e : fs::directory_iterator(folder.store()))
        EXPECT_FALSE(e.path().filename().string().starts_with(".zorvika-tmp")) << e.path();

    // A working copy cut short by the full disk is never counted.
    std::string vbp = "Name=\"Big\"\r\n";
    for (int i = 0; i < 3000; ++i)
        vbp += "Module=M" + std::to_string(i) + "; a_module_name_of_some_length_" + std::to_string(i) + ".bas\r\n";
    const fs::path project = dir.write("project/big.vbp", vbp);
    const auto chosen = makeSelection(project, folder);
    ASSERT_FALSE(chosen);
    EXPECT_EQ(chosen.kind(), SelectionError::CopyNotWritten);
    EXPECT_NE(chosen.reason().find("No space left on device"), std::string::npos) << chosen.reason();
}
