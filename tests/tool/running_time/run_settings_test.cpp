#include "running_time/run_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace scenario::running_time {
namespace {

// Each kind of value as the author writes it: set when good, refused by its name when not,
// the settings left as they were.
TEST(RunSettings, EachSettingIsSetOrRefusedByName) {
    struct Case {
        const char* key;
        const char* value;
        const char* problem;  // a piece of the message; "" when the value is set
        bool (*set)(const RunSettings&);
    } const cases[] = {
        {"power", "inf", "", [](const RunSettings& s) { return std::isinf(s.train.power); }},
        {"max-acceleration", "0.2", "",
         [](const RunSettings& s) { return s.train.max_acceleration == 0.2; }},
        {"coaches", "7", "", [](const RunSettings& s) { return s.train.coaches == 7; }},
        {"braked-mass", "80", "",
         [](const RunSettings& s) { return s.train.braked_mass_percent == 80.0; }},
        {"margin-note", "50", "", [](const RunSettings& s) { return s.margin_note == 0.5; }},
        {"curves", "no", "", [](const RunSettings& s) { return !s.train.curve_resistance; }},
        {"power", "much", "power takes a number, not 'much'", nullptr},
        {"top-speed", "nan", "top-speed takes a number, not 'nan'", nullptr},
        {"coach-mass", "-3", "(coach-mass) is -3, and must be from 0 up to 1000 t", nullptr},
        {"coaches", "4.5", "coaches takes a whole number from 0 up to 40, not '4.5'", nullptr},
        {"coaches", "41", "coaches takes a whole number", nullptr},
        {"braked-mass", "0", "braked-mass percentage asked for is 0, and must be from 1", nullptr},
        {"margin-note", "101", "margin-note takes a percentage from 0 up to 100, not '101'",
         nullptr},
        {"curves", "maybe", "curves takes yes or no, not 'maybe'", nullptr},
        {"speed", "3", "there is no setting 'speed'; the settings are locomotive-length,", nullptr},
    };
    for (const auto& c : cases) {
        RunSettings settings;
        const auto problem = apply_run_setting(settings, c.key, c.value, c.key);
        if (c.set != nullptr) {
            EXPECT_FALSE(problem) << c.key << ": " << problem.value_or("");
            EXPECT_TRUE(c.set(settings)) << c.key << " = " << c.value;
            continue;
        }
        ASSERT_TRUE(problem) << c.key << " = " << c.value;
        EXPECT_NE(problem->find(c.problem), std::string::npos) << *problem;
        const RunSettings untouched;
        EXPECT_EQ(settings.margin_note, untouched.margin_note);
        EXPECT_EQ(settings.train.coaches, untouched.train.coaches);
        EXPECT_EQ(settings.train.coach_mass, untouched.train.coach_mass);
    }
    // Every row of the train's table is a setting, its default accepted.
    const TrainParameters defaults;
    for (const auto& row : train_parameter_table()) {
        RunSettings settings;
        std::ostringstream value;
        value.precision(17);
        value << defaults.*row.member;
        EXPECT_FALSE(apply_run_setting(settings, row.key, value.str(), row.key)) << row.key;
    }
}

// The project's [run] applies in the order written; a fault stands at its place in the file.
TEST(RunSettings, TheProjectsRunSectionAppliesAtItsPlaces) {
    const std::string head = "line = l.txt\ntrain = t.txt\n[run]\n";
    RunSettings settings;
    apply_project_settings(settings, tool::parse_project("scenario.ini", head + "margin-note = 50\n"
                                                                                "  coaches = 2\n"));
    EXPECT_EQ(settings.margin_note, 0.5);
    EXPECT_EQ(settings.train.coaches, 2);
    struct Case {
        const char* run;
        int line;
        int column;
        const char* message;
    } const cases[] = {
        {"coaches = 2\n  power =  much\n", 5, 12, "power takes a number, not 'much'"},
        {"\n margin-note = 101\n", 5, 16, "margin-note takes a percentage"},
        {"  speed = 3\n", 4, 3, "unknown [run] key 'speed'; [run] takes locomotive-length,"},
    };
    for (const auto& c : cases) {
        try {
            RunSettings s;
            apply_project_settings(s, tool::parse_project("scenario.ini", head + c.run));
            ADD_FAILURE() << c.run;
        } catch (const tool::ProjectError& e) {
            EXPECT_EQ(e.line(), c.line) << c.run;
            EXPECT_EQ(e.column(), c.column) << c.run;
            EXPECT_NE(e.message().find(c.message), std::string::npos) << e.message();
            EXPECT_EQ(std::string(e.what()).rfind("scenario.ini:", 0), 0u) << e.what();
        }
    }
}

}  // namespace
}  // namespace scenario::running_time
