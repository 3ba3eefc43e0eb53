#include "compiler/memorizza_percorso.h"

#include <gtest/gtest.h>

#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/packing.h"
#include "compiler/scenario_codes.h"
#include "files/file_names.h"
#include "files/replace_file.h"
#include "support/run_program.h"

namespace scenario::compiler {
namespace {

using scenario::testing::read_bytes;
using scenario::testing::TempDir;

class StampAndWrite : public ::testing::Test {
  protected:
    StampAndWrite() {
        state.LineTitle = "A - B";
        state.TrainCode = "R00001";
        state.locations[entry::scenery].name = state.LineTitle;
        state.locations[entry::repetition].name = state.TrainCode;
        state.cells.resize(10);
        state.buildFlag = 1;
        state.plan.allocate(5);
    }
    std::filesystem::path file(const std::string& name) const { return dir.path() / name; }
    std::filesystem::path sim() const {
        return files::full_path(dir.path(), files::scenario_file_name("A - B", "R00001"));
    }
    std::filesystem::path dat() const {
        return files::full_path(dir.path(), files::cell_file_name("A - B", "R00001"));
    }
    std::filesystem::path plan() const {
        return files::full_path(dir.path(), files::line_binary_name("A - B"));
    }

    TempDir dir;
    BuildState state;
};

// The stamps, the packing and the writing of the builder, for a filled model.
std::int32_t stamp_and_write(BuildState& state, const std::filesystem::path& directory) {
    const auto output = stamp_and_pack(state);
    if (output.fatal == FatalOutcome::no_cells) {
        throw NoCellsError();
    }
    if (output.files) {
        write_compact_files(*output.files, directory, state.LineTitle, state.TrainCode);
    }
    return fatal_error_number(output.fatal);
}

TEST_F(StampAndWrite, StampsTheMarkersAndCodesIntoTheFiles) {
    ASSERT_EQ(stamp_and_write(state, dir.path()), 0);
    const auto cells = read_bytes(dat());
    ASSERT_EQ(cells.size(), 10u * 15u);
    EXPECT_EQ(static_cast<unsigned char>(cells[16]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(cells[17]), 0x14);
    const auto og = static_cast<std::uint16_t>(codice_gara_og(state));
    EXPECT_EQ(static_cast<unsigned char>(cells[18]), og & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(cells[19]), og >> 8);

    const auto table = read_bytes(sim());
    const auto entries = unpack_locations(
        std::span(reinterpret_cast<const std::uint8_t*>(table.data()), table.size()));
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 87u);
    EXPECT_EQ((*entries)[85].param7, 610);
    EXPECT_EQ((*entries)[85].timeOfDay, codice_gara_st(state));
    EXPECT_EQ(std::filesystem::file_size(plan()), 2u * 6u * 2u);
}

TEST_F(StampAndWrite, WithoutThePlanFlagAnEarlierLineBinaryFileStaysAsItWas) {
    files::replace_file(plan(), std::string_view("earlier"));
    state.buildFlag = 0;
    ASSERT_EQ(stamp_and_write(state, dir.path()), 0);
    EXPECT_EQ(read_bytes(plan()), "earlier");
    EXPECT_TRUE(std::filesystem::exists(sim()));
}

TEST_F(StampAndWrite, UsedReservedPlacesStopBeforeAnyFileIsWritten) {
    struct Case {
        const char* what;
        void (*spoil)(BuildState&);
        Fault expected;
    };
    const Case cases[] = {
        {"marker in the table", [](BuildState& s) { s.locations[85].param7 = 1; },
         Fault::format_markers_in_use},
        {"marker in cell 1", [](BuildState& s) { s.cells[1].ref = 180; },
         Fault::format_markers_in_use},
        {"code in the table", [](BuildState& s) { s.locations[85].timeOfDay = 5; },
         Fault::scenario_codes_in_use},
        {"code in cell 1", [](BuildState& s) { s.cells[1].ref2 = 2; },
         Fault::scenario_codes_in_use},
    };
    for (const auto& c : cases) {
        TempDir fresh;
        files::replace_file(fresh.path() / "A - B_R00001.sim", std::string_view("old"));
        BuildState s = state;
        c.spoil(s);
        EXPECT_EQ(stamp_and_write(s, fresh.path()), number_of(c.expected)) << c.what;
        EXPECT_EQ(read_bytes(fresh.path() / "A - B_R00001.sim"), "old") << c.what;
        EXPECT_EQ(scenario::testing::file_names(fresh.path()).size(), 1u) << c.what;
    }
}

TEST_F(StampAndWrite, NoCellsIsAFailureAndWritesNothing) {
    state.cells.clear();
    EXPECT_THROW(stamp_and_write(state, dir.path()), NoCellsError);
    EXPECT_TRUE(scenario::testing::file_names(dir.path()).empty());
}

}  // namespace
}  // namespace scenario::compiler
