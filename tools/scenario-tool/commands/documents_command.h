#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_description.h"
#include "diagnostics/compile_report.h"
#include "documents/train_card.h"

namespace scenario::tool {

// The author's texts and choices the documents are made from. Names are Windows-1252.
struct DocumentsInput {
    std::string_view line_text;  // the bytes of the two texts
    std::string_view train_text;
    std::string LineTitle;
    std::string TrainCode;
    std::vector<std::string> leaveOff;  // locations the card and the order leave off
    CardOptions card;
    TextNames names;  // of the two texts, for the report of a fault
};

struct Documents {
    TrainCard card;
    std::vector<std::string> order;   // the slowdown order's lines
    std::size_t restrictions = 0;     // rows of the slowdown order
    std::vector<DocumentNote> notes;  // remarks that do not stop the documents
};

struct DocumentsResult {
    CompileReport compile;               // the compile of the texts
    std::optional<Documents> documents;  // only when they compiled without a fault
};

// Compiles the texts in memory as scenario-builder does and, when they compile without a
// fault, makes the train card and the slowdown order from them. Throws DocumentRefusal for a
// value the documents cannot print.
DocumentsResult make_documents(const DocumentsInput& input);

const CommandDescription& documents_description();

// `scenario-tool documents ...`: parses the arguments, makes both documents, writes them as one
// set; returns the exit status.
int documents_command(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
