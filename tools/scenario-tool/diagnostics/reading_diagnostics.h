#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "reading/author_reading.h"
#include "running_time/run_settings.h"

namespace scenario::tool {

struct DiagnoseOptions {
    std::set<std::string, std::less<>> silenced;  // warnings named by -Wno-NAME
    bool strict = false;                          // warnings count as errors
    bool all = false;                             // every diagnostic, none collapsed
    std::int32_t error_limit = 20;                // errors listed at most; 0 for no limit
    running_time::RunSettings run;                // the train and threshold of the timetable
};

// Every problem the reading met, in source order, each cause told once: the faults with the
// other party of a cell fault and where the build stops reading; the warnings; the ends that
// write no compact file. Consequences are folded into their cause (records past the route's
// end into one diagnostic at the route length, stations after a misplaced one, the stations of
// a table full of boards), and repeats of one kind beyond the first three into a count.
std::vector<Diagnostic> diagnose(const ReadScenario& scenario, const DiagnoseOptions& options);

// The diagnostic of one occurrence as the catalogue words it, with its place and notes, before
// any folding: what the language server and the route page show for it.
Diagnostic diagnostic_of(const ReadScenario& scenario, const compiler::Occurrence& occurrence);

// A place of one of the texts, with its line for the caret.
SourcePlace place_in(const ReadScenario& scenario, compiler::ErrorSource text,
                     const compiler::FieldSpan& span);

// The station records' names and the kilometres the train card prints for them: the warnings
// the tool adds for what only the documents use.
std::vector<compiler::Occurrence> document_occurrences(const ReadScenario& scenario);

// Whether the text given as the line text reads as a train text: were the texts swapped?
bool looks_like_train_text(const ReadScenario& scenario);

bool has_errors(const std::vector<Diagnostic>& diagnostics);

}  // namespace scenario::tool
