#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "lsp/text_document.h"
#include "lsp/text_names.h"
#include "reading/author_reading.h"
#include "running_time/run_settings.h"

namespace scenario::tool::lsp {

// A text the editor has open.
struct OpenDocument {
    std::string uri;
    std::string language;
    std::int64_t version = 0;
    TextKind kind = TextKind::other;
    TextName name;
    std::optional<std::filesystem::path> path;
    std::optional<std::filesystem::path> normal;  // the path as a project's is compared
    TextDocument text;
    std::uint64_t changed = 0;  // the workspace's count of changes when it last changed
    std::uint64_t opened = 0;   // when it was opened, to prefer the newest of several partners
};

// Where one text of a pair comes from.
enum class Origin {
    editor,    // an open document
    disk,      // the partner file of an open text, read from its folder
    absent,    // a line text with no train text: read with an empty one
    stand_in,  // a train text with no line text: read against a bare route of the longest length
};

struct TextSide {
    Origin origin = Origin::absent;
    std::string uri;  // the name the reading gives the text; empty when absent or stood in
    std::filesystem::path path;
    TextDocument disk_text;  // the bytes of a text read from disk, for its positions

    bool given() const { return origin == Origin::editor || origin == Origin::disk; }
};

// One reading of a pair of texts as they stand, and every diagnostic of it that concerns the
// texts given (those that follow only from a missing partner are left out).
struct Analysis {
    TextSide line;
    TextSide train;
    ReadScenario scenario;
    std::vector<Diagnostic> diagnostics;
    std::string signature;     // the versions of the texts it was read from
    std::uint64_t number = 0;  // counts the readings, so that a text knows when to publish

    const TextSide& side(compiler::ErrorSource text) const {
        return text == compiler::ErrorSource::line_text ? line : train;
    }
};

// What a folder's scenario.ini says, as last read from disk.
struct FolderProject {
    std::filesystem::path file;
    std::string stamp;                           // the file's state when read; "gone" for none
    std::optional<std::filesystem::path> line;   // normalised; none when it cannot be used
    std::optional<std::filesystem::path> train;  // likewise
    running_time::RunSettings run;               // the defaults where [run] has a fault
    // Why it cannot be used whole: where (line and column from 1; 0 when not at a place) and
    // what.
    struct Fault {
        int line = 0;
        int column = 0;
        std::string message;
    };
    std::optional<Fault> fault;

    bool pairs() const { return line.has_value(); }
};

// The bare line text a lone train text is read against: the longest route, no record, so that
// every position the train text can hold has its cells.
std::string_view stand_in_line_text();

// The open texts, their pairs and the readings of the pairs. A copy is whole and on its own: it
// shares nothing with the workspace it was copied from.
class Workspace {
  public:
    using Log = std::function<void(const std::string&)>;
    explicit Workspace(Log log = {}) : log_(std::move(log)) {}

    OpenDocument& open(const std::string& uri, const std::string& language, std::int64_t version,
                       std::string_view utf8);
    void close(const std::string& uri);
    OpenDocument* document(const std::string& uri);
    // Marks a document changed after its text was edited.
    void touch(OpenDocument& document);
    // A file of a folder changed, appeared or went away outside the editor.
    void file_changed(const std::filesystem::path& path);

    const std::map<std::string, OpenDocument>& documents() const { return documents_; }
    // Counts every change of a text, open or on disk, and every text opened or closed.
    std::uint64_t changes() const { return changes_; }

    // The reading of the pair a document belongs to, read again when a text of it changed; none
    // for a document that is no line or train text.
    const Analysis* analysis(const OpenDocument& document);

    // The text of a side as positions are counted in it: the open document, or the bytes read
    // from disk.
    const TextDocument* text_of(const TextSide& side) const;

    // Drops the readings no open document needs.
    void forget_unused();

    // The scenario.ini of a folder, read again when it changed on disk.
    const FolderProject& project_in(const std::filesystem::path& folder);

  private:
    struct Plan {
        std::string key;
        TextSide line;
        TextSide train;
        std::string signature;
        running_time::RunSettings run;  // the project's, for a pair it names
    };
    Plan plan_for(const OpenDocument& document);
    std::optional<TextSide> partner(const OpenDocument& document);
    // The kind the document's project gives it, else its name's or its language's.
    void set_kind(OpenDocument& document);
    // The open document of a file, by its normalised path.
    const OpenDocument* open_at(const std::filesystem::path& normal) const;
    // The state of a file on disk, to know when to read it again.
    std::string file_stamp(const std::filesystem::path& path);
    void read(Analysis& analysis, const Plan& plan);
    void log(const std::string& line) const {
        if (log_) {
            log_(line);
        }
    }

    Log log_;
    std::map<std::string, OpenDocument> documents_;
    std::map<std::string, Analysis> analyses_;  // by pair; a reading stays where it was made
    std::map<std::filesystem::path, std::uint64_t> file_events_;
    std::map<std::filesystem::path, FolderProject> projects_;  // by folder
    std::uint64_t changes_ = 0;
    std::uint64_t readings_ = 0;
};

}  // namespace scenario::tool::lsp
