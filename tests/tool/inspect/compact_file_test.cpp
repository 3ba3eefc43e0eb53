#include "inspect/compact_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "compiler/model/limits.h"
#include "compiler/model/packing.h"
#include "files/replace_file.h"
#include "support/run_program.h"
#include "tool/synthetic_scenario.h"

namespace scenario::tool {
namespace {

using compiler::Bytes;

struct Packed {
    CompactKind kind;
    Bytes bytes;
};

std::vector<Packed> synthetic_files() {
    const auto state = testing::synthetic_state();
    return {{CompactKind::scenario, compiler::pack_locations(state.locations)},
            {CompactKind::cells, compiler::pack_cells(state.cells)},
            {CompactKind::plan, compiler::pack_path_points(state.plan)}};
}

TEST(CompactFile, TellsTheLayoutFromTheName) {
    EXPECT_EQ(kind_from_name("d/A - B_linea.dat"), CompactKind::plan);
    EXPECT_EQ(kind_from_name("A - B_R1.sim"), CompactKind::scenario);
    EXPECT_EQ(kind_from_name("A - B_R1.dat"), CompactKind::cells);
    EXPECT_EQ(kind_from_name("A - B_linea.txt"), std::nullopt);
}

TEST(CompactFile, DecodingAndRepackingGivesTheSameBytes) {
    for (const auto& file : synthetic_files()) {
        const auto decoded = decode_compact(file.bytes, file.kind);
        ASSERT_TRUE(decoded.file) << decoded.misfit;
        EXPECT_EQ(repack(*decoded.file), file.bytes);
    }
}

TEST(CompactFile, ACutFileIsReportedAtEveryLengthAndNeverReadPastItsEnd) {
    for (const auto& file : synthetic_files()) {
        // Every cut inside the first records, and a sample further on.
        for (std::size_t cut = 1; cut < file.bytes.size(); cut += cut < 400 ? 1 : 997) {
            const std::vector<std::uint8_t> head(file.bytes.begin(),
                                                 file.bytes.begin() + static_cast<long>(cut));
            const auto decoded = decode_compact(head, file.kind);
            if (decoded.file) {
                // A cut between whole records still fits; it must round-trip too.
                EXPECT_EQ(repack(*decoded.file), head);
            } else {
                EXPECT_FALSE(decoded.misfit.empty());
            }
        }
    }
}

TEST(CompactFile, ArbitraryBytesAreDecodedOrRefusedButNeverMisread) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> bytes(random() % 200);
        for (auto& b : bytes) {
            // Mostly small values, so that tags and name lengths are often plausible.
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : random() % 8);
        }
        for (const auto kind : {CompactKind::scenario, CompactKind::cells, CompactKind::plan}) {
            const auto decoded = decode_compact(bytes, kind);
            if (decoded.file) {
                EXPECT_EQ(repack(*decoded.file), bytes);
            } else {
                EXPECT_FALSE(decoded.misfit.empty());
            }
        }
    }
}

TEST(CompactFile, DescribesWhereTheLayoutStopsFitting) {
    const auto files = synthetic_files();
    const auto& sim = files[0].bytes;
    const std::vector<std::uint8_t> sim_cut(sim.begin(), sim.begin() + 50);
    EXPECT_EQ(decode_compact(sim_cut, CompactKind::scenario).misfit,
              "entry 1, which starts at byte 34, is cut short: the file ends inside its field "
              "'name' at byte 48");

    const std::vector<std::uint8_t> cells(31, 0);
    EXPECT_EQ(decode_compact(cells, CompactKind::cells).misfit,
              "31 bytes are not a whole number of 15-byte cells: 2 cells and 1 bytes left over");

    const std::vector<std::uint8_t> bad_tag{2, 0, 1, 0, 7, 0};
    EXPECT_EQ(decode_compact(bad_tag, CompactKind::plan).misfit,
              "point 1 at byte 4 has the type tag 7, which is none of 0 (empty), 2 (integer) and "
              "5 (double)");
    const std::vector<std::uint8_t> odd{0, 0, 0, 0, 0, 0};
    EXPECT_EQ(decode_compact(odd, CompactKind::plan).misfit,
              "3 coordinates cannot be split into an x half and a y half of the same length");
    const std::vector<std::uint8_t> cut_double{5, 0, 1, 2, 3};
    EXPECT_EQ(decode_compact(cut_double, CompactKind::plan).misfit,
              "the file ends inside the value of point 0 at byte 2");
}

TEST(CompactFile, APlanFileIsFollowedPointByPointToTheByteWhereItGoesWrong) {
    const std::string tags = "which is none of 0 (empty), 2 (integer) and 5 (double)";
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string misfit;
    };
    const Case cases[] = {
        {{0, 0, 3, 0}, "point 1 at byte 2 has the type tag 3, " + tags},
        {{2, 0, 1, 0, 1, 0}, "point 1 at byte 4 has the type tag 1, " + tags},
        {{5, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}, "point 1 at byte 10 has the type tag 256, " + tags},
        {{0, 0, 5}, "the file ends inside the type tag of point 1 at byte 2"},
        {{2, 0, 7}, "the file ends inside the value of point 0 at byte 2"},
        {{0, 0, 5, 0, 1, 2, 3, 4, 5, 6, 7}, "the file ends inside the value of point 1 at byte 4"},
    };
    for (const auto& [bytes, misfit] : cases) {
        EXPECT_EQ(decode_compact(bytes, CompactKind::plan).misfit, misfit);
    }
}

// The packer's widths times the most records of the longest route; read through a link, which
// an input may be.
TEST(CompactFile, AFileLargerThanItsLayoutCanBeIsRefusedUnread) {
    testing::TempDir dir;
    std::ofstream(dir.path() / "file").close();
    std::filesystem::create_symlink("file", dir.path() / "link");
    const std::pair<CompactKind, std::uint64_t> largest[] = {
        {CompactKind::scenario, 87u * (34u + 65535u)},
        {CompactKind::cells, (20140u + 1u) * 15u},
        {CompactKind::plan, 2u * (1007000u + 1u) * 10u}};
    for (const auto& [kind, size] : largest) {
        EXPECT_EQ(largest_compact_size(kind), size);
        std::filesystem::resize_file(dir.path() / "file", size);
        EXPECT_EQ(read_compact_file(dir.path() / "link", kind).size(), size);
        std::filesystem::resize_file(dir.path() / "file", size + 1);
        EXPECT_THROW(read_compact_file(dir.path() / "link", kind), files::FileError);
    }
}

TEST(CompactFile, APlanOfMorePointsThanTheLongestRoutesDoesNotFit) {
    const std::size_t most = 1007001;  // metres 0..1,007,000 on each axis
    const auto decoded = decode_compact(std::vector<std::uint8_t>(2 * most * 2), CompactKind::plan);
    ASSERT_TRUE(decoded.file) << decoded.misfit;
    EXPECT_EQ(decoded.file->plan.last_metre(), 1007000);
    EXPECT_EQ(
        decode_compact(std::vector<std::uint8_t>(2 * (most + 1) * 2), CompactKind::plan).misfit,
        "1007002 points per axis are more than the 1007001 of the plan of the longest route");
}

// The README states the limits in words; they must follow the ones the tool keeps to.
TEST(CompactFile, TheReadmeGivesTheLimitsOfTheLongestRoute) {
    const auto grouped = [](std::uint64_t number) {
        std::string digits = std::to_string(number);
        for (auto at = digits.size(); at > 3; at -= 3) {
            digits.insert(at - 3, ",");
        }
        return digits;
    };
    std::string readme = testing::read_bytes(std::string(SCENARIO_SOURCE_DIR) + "/README.md");
    for (auto& c : readme) {
        c = c == '\n' ? ' ' : c;
    }
    const std::uint64_t metres = compiler::kLongestRoute + compiler::kRunOut;
    for (const auto& phrase : {
             "the longest route, " + grouped(compiler::kLongestRoute) + " m",
             grouped(largest_compact_size(CompactKind::scenario)) + " bytes for the scenario table",
             grouped(largest_compact_size(CompactKind::cells)) + " for the cells (" +
                 grouped(metres / compiler::kCellLength + 1) + " cells",
             grouped(largest_compact_size(CompactKind::plan)) + " for the plan (2 axes of " +
                 grouped(metres + 1) + " points",
         }) {
        EXPECT_NE(readme.find(phrase), std::string::npos) << "README.md does not say: " << phrase;
    }
}

}  // namespace
}  // namespace scenario::tool
