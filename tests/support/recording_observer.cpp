#include "support/recording_observer.h"

namespace scenario::testing {

std::vector<std::string> RecordingObserver::names() const {
    std::vector<std::string> all;
    for (const auto& o : occurrences) {
        const auto& entry = compiler::catalogue_entry(o.id);
        all.push_back(compiler::is_fault(o.id) ? std::to_string(entry.number())
                                               : std::string(entry.name));
    }
    return all;
}

compiler::CompileOutput compile_observed(compiler::BuildState& state, const std::string& line,
                                         const std::string& train, RecordingObserver& observer,
                                         std::int32_t buildFlag) {
    compiler::CompileInput input;
    input.line_text = compiler::SourceText::of(line);
    input.train_text = compiler::SourceText::of(train);
    input.LineTitle = "A - B";
    input.TrainCode = "R1";
    input.buildFlag = buildFlag;
    state.observer = &observer;
    auto output = compiler::compile_scenario(state, input);
    state.observer = nullptr;
    return output;
}

}  // namespace scenario::testing
