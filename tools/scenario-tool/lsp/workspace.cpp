#include "lsp/workspace.h"

#include <algorithm>
#include <system_error>

#include "cli/exit_status.h"
#include "diagnostics/reading_diagnostics.h"
#include "io/author_texts.h"
#include "io/project_file.h"
#include "io/text_encoding.h"

namespace scenario::tool::lsp {

namespace fs = std::filesystem;
using compiler::Diag;
using compiler::ErrorSource;

namespace {

// More diagnostics than this in one reading are folded as check folds them.
constexpr std::size_t kUnfoldedMost = 5000;

// A path as two names of one file compare equal: absolute, without "." or "..", links
// resolved where the file exists.
fs::path normalised(const fs::path& path) {
    std::error_code ec;
    auto normal = fs::weakly_canonical(path, ec);
    if (ec) {
        normal = fs::absolute(path, ec).lexically_normal();
    }
    return ec ? path.lexically_normal() : normal;
}

bool same_folder(const OpenDocument& a, const OpenDocument& b) {
    return a.path && b.path && a.path->parent_path() == b.path->parent_path();
}

// What a lone text's reading says only because its partner is missing or stood in.
bool follows_from_missing_line(const Diagnostic& d) {
    switch (d.id) {
        case Diag::position_outside_route:
        case Diag::record_near_route_end:
        case Diag::kilometre_not_printable:
        case Diag::kilometric_ranges_dropped:
        case Diag::missing_profile:
        // The signalling pass needs the line's repetition and boards.
        case Diag::no_code_point_cell_before_signal:
        case Diag::no_code_point_cell_before_slowdown:
        case Diag::no_code_point_cell_along_slowdown:
        case Diag::code_point_lowered:
        case Diag::format_markers_in_use:
        case Diag::scenario_codes_in_use:
            return true;
        default:
            return false;
    }
}

bool follows_from_missing_train(const Diagnostic& d) {
    return d.id == Diag::missing_profile || d.id == Diag::missing_stations;
}

std::string source_key(const TextSide& side) {
    switch (side.origin) {
        case Origin::editor:
            return "editor:" + side.uri;
        case Origin::disk:
            return "disk:" + side.path.string();
        case Origin::absent:
            return "absent";
        case Origin::stand_in:
            break;
    }
    return "stand-in";
}

}  // namespace

std::string_view stand_in_line_text() {
    return "[generale]\r\nlunghezza percorso,    1000000\r\n[curve]\r\n[fine]\r\n";
}

OpenDocument& Workspace::open(const std::string& uri, const std::string& language,
                              std::int64_t version, std::string_view utf8) {
    OpenDocument& document = documents_[uri];
    document.uri = uri;
    document.language = language;
    document.version = version;
    const auto file_name = uri_file_name(uri);
    document.name = text_name(file_name);
    document.kind = text_kind(file_name, language);
    document.path = path_of_uri(uri);
    document.normal = document.path ? std::optional(normalised(*document.path)) : std::nullopt;
    set_kind(document);
    document.text.replace_all(utf8);
    document.opened = ++changes_;
    touch(document);
    return document;
}

void Workspace::close(const std::string& uri) {
    documents_.erase(uri);
    ++changes_;
    forget_unused();
}

OpenDocument* Workspace::document(const std::string& uri) {
    const auto it = documents_.find(uri);
    return it == documents_.end() ? nullptr : &it->second;
}

void Workspace::touch(OpenDocument& document) {
    document.changed = ++changes_;
}

void Workspace::file_changed(const fs::path& path) {
    file_events_[path] = ++changes_;
    if (path.filename() == kProjectFileName) {
        // A project is looked up by its folder's normalised path.
        file_events_[normalised(path)] = changes_;
        // It may name other texts: each open text's kind is asked again.
        for (auto& [uri, document] : documents_) {
            set_kind(document);
        }
    }
}

const FolderProject& Workspace::project_in(const fs::path& folder) {
    auto& project = projects_[folder];
    const auto file = folder / kProjectFileName;
    const auto stamp = file_stamp(file);
    if (project.file == file && project.stamp == stamp) {
        return project;
    }
    project = FolderProject{};
    project.file = file;
    project.stamp = stamp;
    if (stamp == "gone") {
        return project;
    }
    try {
        const auto read = read_project(file);
        project.line = normalised(read.path_of(read.line));
        project.train = normalised(read.path_of(read.train));
        // A fault of [run] leaves the pair: the timetable is then judged by the defaults.
        running_time::apply_project_settings(project.run, read);
    } catch (const ProjectError& fault) {
        project.run = {};
        project.fault = FolderProject::Fault{fault.line(), fault.column(), fault.message()};
    } catch (const EnvironmentError& fault) {
        project.fault = FolderProject::Fault{0, 0, fault.what()};
    }
    if (project.fault) {
        log("the project " + shown(file) + " " +
            (project.pairs() ? "pairs its texts, its [run] set aside: "
                             : "is set aside for the builder's names: ") +
            std::to_string(project.fault->line) + ":" + std::to_string(project.fault->column) +
            ": " + project.fault->message);
    }
    return project;
}

void Workspace::set_kind(OpenDocument& document) {
    document.kind = text_kind(uri_file_name(document.uri), document.language);
    if (!document.normal) {
        return;
    }
    const auto& project = project_in(document.normal->parent_path());
    if (project.pairs() && *document.normal == *project.line) {
        document.kind = TextKind::line;
    } else if (project.pairs() && *document.normal == *project.train) {
        document.kind = TextKind::train;
    }
}

const OpenDocument* Workspace::open_at(const fs::path& normal) const {
    const OpenDocument* found = nullptr;
    for (const auto& [uri, document] : documents_) {
        if (document.normal == normal && (found == nullptr || document.opened > found->opened)) {
            found = &document;
        }
    }
    return found;
}

std::string Workspace::file_stamp(const fs::path& path) {
    std::error_code ec;
    const auto time = fs::last_write_time(path, ec);
    const auto size = ec ? 0 : fs::file_size(path, ec);
    if (ec) {
        return "gone";
    }
    const auto event = file_events_.find(path);
    return std::to_string(size) + "@" + std::to_string(time.time_since_epoch().count()) + "#" +
           std::to_string(event == file_events_.end() ? 0 : event->second);
}

std::optional<TextSide> Workspace::partner(const OpenDocument& document) {
    const FolderProject* project =
        document.normal ? &project_in(document.normal->parent_path()) : nullptr;
    if (project != nullptr && project->pairs() &&
        (*document.normal == *project->line || *document.normal == *project->train)) {
        // The project's pair: its other text, open or on disk, whatever its name.
        const auto& other = *document.normal == *project->line ? *project->train : *project->line;
        TextSide side;
        if (const auto* open = open_at(other); open != nullptr && open != &document) {
            side.origin = Origin::editor;
            side.uri = open->uri;
            side.path = open->path.value_or(fs::path());
        } else {
            side.origin = Origin::disk;
            side.path = other;
            side.uri = uri_of_path(other);
        }
        return side;
    }
    // By the builder's names, leaving out the texts the project pairs otherwise.
    const auto named_by_project = [&](const fs::path& normal) {
        return project != nullptr && project->pairs() &&
               (normal == *project->line || normal == *project->train);
    };
    const OpenDocument* open_partner = nullptr;
    for (const auto& [uri, other] : documents_) {
        if (&other != &document && pairs_with(document.name, other.name) &&
            same_folder(document, other) && !(other.normal && named_by_project(*other.normal)) &&
            (open_partner == nullptr || other.opened > open_partner->opened)) {
            open_partner = &other;
        }
    }
    if (open_partner != nullptr) {
        TextSide side;
        side.origin = Origin::editor;
        side.uri = open_partner->uri;
        side.path = open_partner->path.value_or(fs::path());
        return side;
    }
    if (!document.path) {
        return std::nullopt;
    }
    auto found = partners_on_disk(*document.path, document.name);
    std::erase_if(found, [&](const fs::path& path) { return named_by_project(normalised(path)); });
    if (found.size() > 1) {
        log("several texts pair with " + document.uri + ": none is taken");
    }
    if (found.size() != 1) {
        return std::nullopt;
    }
    TextSide side;
    side.origin = Origin::disk;
    side.path = found.front();
    side.uri = uri_of_path(found.front());
    return side;
}

Workspace::Plan Workspace::plan_for(const OpenDocument& document) {
    Plan plan;
    TextSide self;
    self.origin = Origin::editor;
    self.uri = document.uri;
    self.path = document.path.value_or(fs::path());
    auto other = partner(document);
    if (document.kind == TextKind::line) {
        plan.line = self;
        if (other) {
            plan.train = std::move(*other);
        }
    } else {
        plan.train = self;
        if (other) {
            plan.line = std::move(*other);
        } else {
            plan.line.origin = Origin::stand_in;
        }
    }
    plan.key = source_key(plan.line) + "\n" + source_key(plan.train);
    if (document.normal) {
        // The pair the project names is judged by its [run]: a change of it reads it again.
        const auto& project = project_in(document.normal->parent_path());
        const auto is = [&](const TextSide& side, const std::optional<fs::path>& named) {
            return side.given() && named && normalised(side.path) == *named;
        };
        if (project.pairs() && is(plan.line, project.line) && is(plan.train, project.train)) {
            plan.run = project.run;
            plan.signature += "project#" + project.stamp + "\n";
        }
    }
    for (const auto* side : {&plan.line, &plan.train}) {
        plan.signature += source_key(*side) + "#";
        if (side->origin == Origin::editor) {
            plan.signature += std::to_string(documents_.at(side->uri).changed);
        } else if (side->origin == Origin::disk) {
            plan.signature += file_stamp(side->path);
        }
        plan.signature += "\n";
    }
    return plan;
}

void Workspace::read(Analysis& analysis, const Plan& plan) {
    analysis.line = plan.line;
    analysis.train = plan.train;
    analysis.signature = plan.signature;
    analysis.number = ++readings_;
    const auto bytes_of = [&](TextSide& side) -> std::string {
        switch (side.origin) {
            case Origin::editor:
                return documents_.at(side.uri).text.bytes();
            case Origin::disk:
                try {
                    side.disk_text.assign_bytes(read_input(side.path, "partner text"));
                    return side.disk_text.bytes();
                } catch (const EnvironmentError& failure) {
                    log(std::string("read alone: ") + failure.what());
                    side.origin = &side == &analysis.line ? Origin::stand_in : Origin::absent;
                    side.uri.clear();
                    return side.origin == Origin::stand_in ? std::string(stand_in_line_text())
                                                           : std::string();
                }
            case Origin::stand_in:
                return std::string(stand_in_line_text());
            case Origin::absent:
                break;
        }
        return {};
    };
    SourceFile line(analysis.line.uri, bytes_of(analysis.line));
    SourceFile train(analysis.train.uri, bytes_of(analysis.train));
    ReadRequest request;
    request.reading.plans = false;  // the plan's points: nothing a text's problems need
    analysis.scenario = ReadScenario{};
    read_scenario(analysis.scenario, std::move(line), std::move(train), request);
    DiagnoseOptions options;
    // Each problem at its own place in the editor; a text with very many folds its repeats
    // into counts, as check does.
    options.all = analysis.scenario.reading.occurrences().size() <= kUnfoldedMost;
    options.error_limit = 0;
    options.run = plan.run;
    auto all = diagnose(analysis.scenario, options);
    analysis.diagnostics.clear();
    for (auto& d : all) {
        const bool in_line = d.place.file == analysis.line.uri && !analysis.line.uri.empty();
        const bool in_train = d.place.file == analysis.train.uri && !analysis.train.uri.empty();
        if (!analysis.line.given() && (!in_train || follows_from_missing_line(d))) {
            continue;
        }
        if (!analysis.train.given() &&
            (in_train || d.text == ErrorSource::train_text || follows_from_missing_train(d))) {
            continue;
        }
        if (!in_line && !in_train && d.place.file.empty() && !analysis.line.given()) {
            continue;
        }
        analysis.diagnostics.push_back(std::move(d));
    }
}

const Analysis* Workspace::analysis(const OpenDocument& document) {
    if (document.kind != TextKind::line && document.kind != TextKind::train) {
        return nullptr;
    }
    const Plan plan = plan_for(document);
    auto& slot = analyses_[plan.key];
    if (slot.signature != plan.signature) {
        read(slot, plan);
    }
    return &slot;
}

const TextDocument* Workspace::text_of(const TextSide& side) const {
    if (side.origin == Origin::editor) {
        const auto it = documents_.find(side.uri);
        return it == documents_.end() ? nullptr : &it->second.text;
    }
    if (side.origin == Origin::disk) {
        return &side.disk_text;
    }
    return nullptr;
}

void Workspace::forget_unused() {
    std::vector<std::string> used;
    for (const auto& [uri, document] : documents_) {
        if (document.kind == TextKind::line || document.kind == TextKind::train) {
            used.push_back(plan_for(document).key);
        }
    }
    for (auto it = analyses_.begin(); it != analyses_.end();) {
        if (std::find(used.begin(), used.end(), it->first) == used.end()) {
            it = analyses_.erase(it);
        } else {
            ++it;
        }
    }
    // Events of files no reading takes any more are of no use.
    for (auto it = file_events_.begin(); it != file_events_.end();) {
        const bool needed = std::any_of(analyses_.begin(), analyses_.end(), [&](const auto& a) {
            return a.second.line.path == it->first || a.second.train.path == it->first;
        });
        const bool project = it->first.filename() == kProjectFileName;
        it = needed || project ? std::next(it) : file_events_.erase(it);
    }
}

}  // namespace scenario::tool::lsp
