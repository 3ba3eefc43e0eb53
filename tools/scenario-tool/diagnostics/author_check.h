#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "diagnostics/diagnostic.h"

namespace scenario::tool {

// One of the author's texts: its bytes and the name to show.
struct AuthorText {
    std::string_view bytes;
    std::string file;
};

struct CheckOptions {
    std::set<std::string, std::less<>> silenced;  // warnings named by -Wno-NAME
    bool strict = false;                          // warnings count as errors
    std::int32_t buildFlag = 1;                   // as the compile is asked for: 0 without the plan
};

// A compile of the texts as they are, already done by the caller: the check starts from it.
struct FirstCompile {
    const compiler::BuildState& state;
    const compiler::CompileOutput& output;
};

// Every problem of the two texts, in source order: every fault the build records, and those it
// would record past the record where it stops reading (each found by compiling again without
// the records that stopped it); the causes of reading failures by record and value; and the
// warnings. A second reading for the author: it never changes what the build records or
// writes.
std::vector<Diagnostic> check_texts(const AuthorText& line_text, const AuthorText& train_text,
                                    const CheckOptions& options,
                                    std::optional<FirstCompile> first = std::nullopt);

// Splits the -Wno-NAME arguments off the others; throws UsageError for an unknown name.
std::vector<std::string> take_warning_options(const std::vector<std::string>& args,
                                              CheckOptions& options);

bool has_errors(const std::vector<Diagnostic>& diagnostics);

}  // namespace scenario::tool
