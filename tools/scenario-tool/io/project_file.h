#pragma once

// The author's project file, scenario.ini: it names the pair of texts of one scenario in a
// folder, with the title, the code and the output directory, so that the commands (and the
// editor's language server) need not be told them. Its format:
//
//   # scenario-tool project: the texts of one scenario
//   line  = Val di Lago - linea.txt
//   train = Val di Lago - R10537.txt
//   title = MORENA LAGO - PIAN DI VALSO
//   code  = R10537
//   out   = build
//   [run]
//   max-acceleration = 0.4
//
// UTF-8 text (a byte order mark is skipped), LF or CR LF. A line is blank, a comment (its first
// character other than a blank is '#' or ';'), a section "[name]" or "key = value". Keys and
// values are trimmed of blanks and tabs; a value runs to the end of the line, '#' and ';'
// included, and takes no quotes. Before any section stand the keys line and train (both
// required), title, code and out (optional); line, train and out are paths relative to the
// file's folder. The only section is [run], whose keys are kept as written for the running-time
// check, which judges them (running_time/run_settings). An unknown key or section, a key or
// section given twice, an empty value and any other line are refused with FILE:LINE:COLUMN
// (columns count characters from 1).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/exit_status.h"

namespace scenario::tool {

inline constexpr std::string_view kProjectFileName = "scenario.ini";

// A value of the project as written (UTF-8, trimmed) and where it stands.
struct ProjectValue {
    std::string text;
    int line = 0;
    int column = 0;  // of its first character
};

// A key of [run], kept for the running-time check to judge.
struct ProjectSetting {
    std::string key;
    ProjectValue value;
    int key_column = 0;  // where the key stands on the value's line
};

struct Project {
    std::filesystem::path file;    // as it was found or given
    std::filesystem::path folder;  // the base of its relative paths; empty for the current one
    ProjectValue line;
    ProjectValue train;
    std::optional<ProjectValue> title;
    std::optional<ProjectValue> code;
    std::optional<ProjectValue> out;
    std::vector<ProjectSetting> run;  // in the order written

    // A path of the project (line, train, out) as a path from the current directory.
    std::filesystem::path path_of(const ProjectValue& value) const;
    // "FILE:LINE:COLUMN: " of a value, for a message about it.
    std::string place_of(const ProjectValue& value) const;
};

// A project file that cannot be used: where and why. Also an EnvironmentError, so that a
// command reports it like an unreadable text and exits with 2.
class ProjectError : public EnvironmentError {
  public:
    ProjectError(std::string file, int line, int column, std::string message);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    int column() const { return column_; }
    const std::string& message() const { return message_; }

  private:
    std::string file_;  // as shown
    int line_;
    int column_;
    std::string message_;
};

// The folder's scenario.ini, when there is anything of that name there.
std::optional<std::filesystem::path> find_project(const std::filesystem::path& folder);

// Reads a project file. Throws ProjectError for a fault of its text (at its line and column)
// and EnvironmentError when it cannot be read.
Project read_project(const std::filesystem::path& file);

// Parses the bytes of a project file; `file` names it in messages and gives its folder.
Project parse_project(const std::filesystem::path& file, std::string_view bytes);

// The pair of texts of a folder and what goes with it.
struct TextPair {
    std::filesystem::path line_text;   // from the current directory, as path_of gives it
    std::filesystem::path train_text;  // likewise
    std::string title;                 // UTF-8; empty when the project names none
    std::string code;                  // likewise
    std::optional<Project> project;    // the project that named them; none for the builder's names
};

// The pair a folder gives: the one its scenario.ini names; or else, by the builder's names,
// the one <title>_linea.txt and the one <title>_<code>-.txt beside it, with the title and the
// code the names give. None when the folder gives no pair. Throws as read_project does, and
// UsageError naming the candidates when the builder's names give more than one pair.
std::optional<TextPair> texts_in(const std::filesystem::path& folder);

// The pair a project gives.
TextPair texts_of(Project project);

}  // namespace scenario::tool
