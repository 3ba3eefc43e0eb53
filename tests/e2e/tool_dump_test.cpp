#include <gtest/gtest.h>

#include <fstream>

#include "support/fault_cases.h"
#include "support/run_program.h"
#include "tool/synthetic_scenario.h"

namespace scenario::testing {
namespace {

namespace fs = std::filesystem;

class ToolDump : public ::testing::Test {
  protected:
    void SetUp() override { write_synthetic_scenario(dir_.path()); }
    RunResult dump(const std::vector<std::string>& args) {
        std::vector<std::string> all{"dump"};
        all.insert(all.end(), args.begin(), args.end());
        return run_program(SCENARIO_TOOL_EXE, all, dir_.path());
    }
    TempDir dir_;
};

TEST_F(ToolDump, DecodesEachLayoutByItsName) {
    auto result = dump({"LAGO & MONTE_T00001.sim"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("scenario file, 87 entries, 3031 bytes\n")) << result.out;
    EXPECT_NE(result.out.find("line title=\"LAGO & MONTE\" [name]  format marker=610 [param7]"),
              std::string::npos)
        << result.out;

    result = dump({"LAGO & MONTE_T00001.dat", "--cells", "1..1"});
    EXPECT_EQ(result.status, 0) << result.err;
    // Cell 1 carries the format marker 5121 and the plain scenario code.
    EXPECT_NE(result.out.find("cell 1 at 50 m: ref=5121 ref2="), std::string::npos) << result.out;

    result = dump({"LAGO & MONTE_linea.dat", "--every", "5000", "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with(R"({"layout":"line binary file","bytes":539964,)"))
        << result.out.substr(0, 200);
}

TEST_F(ToolDump, AFileThatDoesNotFitItsLayoutIsReportedNotRead) {
    const auto cut = dir_.path() / "cut.dat";
    const auto cells = read_bytes(dir_.path() / "LAGO & MONTE_T00001.dat");
    std::ofstream(cut, std::ios::binary) << cells.substr(0, 100);
    const auto result = dump({"cut.dat"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "cut.dat: does not fit the layout of a cell file: 100 bytes are not a whole number "
              "of 15-byte cells: 6 cells and 10 bytes left over\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(ToolDump, TheLayoutCanBeNamedWhenTheFileNameDoesNotTellIt) {
    fs::copy_file(dir_.path() / "LAGO & MONTE_T00001.sim", dir_.path() / "table.bin");
    const auto result = dump({"table.bin", "--as", "scenario"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("entry 86 (signal repetition"), std::string::npos);
}

// Given the texts, each cell names the records behind what it holds; texts of another file are
// refused.
TEST_F(ToolDump, TheTextsNameTheRecordBehindEachCell) {
    std::ofstream(dir_.path() / "line.txt", std::ios::binary) << text_of(kBaseLine);
    std::ofstream(dir_.path() / "train.txt", std::ios::binary) << text_of(kBaseTrain);
    ASSERT_EQ(run_program(SCENARIO_TOOL_EXE,
                          {"compile", "--line", "line.txt", "--train", "train.txt", "--title",
                           "A - B", "--code", "R1", "--out", "."},
                          dir_.path())
                  .status,
              0);
    auto result =
        dump({"A - B_R1.dat", "--cells", "23..23", "--line", "line.txt", "--train", "train.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("(maximum-speed boards) <- maximum-speed board at line.txt:18:1"),
              std::string::npos)
        << result.out;
    result = dump({"A - B_R1.dat", "--cells", "36..36", "--json", "--line", "line.txt", "--train",
                   "train.txt"});
    EXPECT_NE(
        result.out.find(R"({"use":"approach mark","kind":"signal","file":"train.txt","line":18)"),
        std::string::npos)
        << result.out;
    result = dump({"LAGO & MONTE_T00001.dat", "--line", "line.txt", "--train", "train.txt"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("they are not the texts of this file"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace scenario::testing
