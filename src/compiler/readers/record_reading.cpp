#include "compiler/readers/record_reading.h"

#include <algorithm>
#include <string>

#include "files/utf8.h"
#include "files/windows_1252.h"

namespace scenario::compiler {

namespace {

bool has_letter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto byte = static_cast<unsigned char>(ch);
        return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte >= 0xC0;
    });
}

bool is_blank_text(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

bool matches(const KeywordField& field, const RecordDescription& record) {
    for (const auto word : record.words) {
        if (word.empty()) {
            continue;
        }
        const bool found =
            record.match == KeywordMatch::exact ? field.has_exact(word) : field.has(word);
        if (!found) {
            return false;
        }
    }
    return true;
}

std::string metres(std::int64_t m) {
    return std::to_string(m);
}

// What the cells before a profile's first record take.
std::string_view default_of(std::string_view kind) {
    if (kind == "gradient") {
        return "a level track (0 per mille)";
    }
    if (kind == "speed limit") {
        return "a speed limit of 0 km/h";
    }
    return "an adhesion of 0";
}

}  // namespace

std::vector<const RecordDescription*> kinds_named_by(const KeywordField& field,
                                                     SourceTextKind text) {
    std::vector<const RecordDescription*> kinds;
    for (const auto& record : kRecordDescriptions) {
        if (record.text == text && matches(field, record)) {
            kinds.push_back(&record);
        }
    }
    return kinds;
}

void tell_text_bytes(ReadingObserver& observer, ErrorSource text, std::string_view bytes) {
    const auto tell = [&](Diag id, std::size_t offset, std::size_t length, std::int32_t line,
                          std::size_t line_start, std::vector<Argument> arguments = {}) {
        Occurrence occurrence;
        occurrence.id = id;
        occurrence.text = text;
        occurrence.at = {static_cast<std::uint32_t>(offset),
                         static_cast<std::uint32_t>(length),
                         {line, static_cast<std::int32_t>(offset - line_start + 1)}};
        occurrence.arguments = std::move(arguments);
        observer.occurred(occurrence);
    };
    std::size_t from = 0;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        tell(Diag::byte_order_mark, 0, 3, 1, 0);
        from = 3;
    }
    std::int32_t line = 1;
    std::size_t line_start = 0;
    bool utf8_told = false;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\n') {
            ++line;
            line_start = i + 1;
        } else if (byte == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
            tell(Diag::lone_cr, i, 1, line, line_start);
        } else if (!utf8_told && byte >= 0x80) {
            const auto sequence = files::decode_utf8(bytes.substr(i));
            if (sequence && sequence->length > 1) {
                // Told once per text: that is enough to tell the text's encoding.
                const std::string_view seen = bytes.substr(i, sequence->length);
                tell(Diag::utf8_text, i, sequence->length, line, line_start,
                     {{"as_1252", files::utf8_from_1252(seen)}, {"as_utf8", std::string(seen)}});
                utf8_told = true;
            }
        }
    }
}

bool RecordReading::next_keyword() {
    if (in_.at_end()) {
        return false;
    }
    state_.fieldBuffer = in_.read_keyword();
    if (in_.at_end()) {
        return false;
    }
    for (int skipped = 0; skipped < 2 && KeywordField(state_.fieldBuffer).has("-"); ++skipped) {
        if (observing()) {
            separator_skipped(in_.span());
        }
        state_.fieldBuffer = in_.read_keyword();
        if (in_.at_end()) {
            return false;
        }
    }
    in_.begin_record(state_.fieldBuffer);
    matched_ = 0;
    return true;
}

std::int64_t RecordReading::last_cell_or_fail() const {
    if (!state_.has_cells()) {
        throw FieldFailure(in_.place(),
                           "a record needs the cells before any route length was read");
    }
    return state_.last_cell();
}

bool RecordReading::refused_near_end(std::int32_t p, TextPlace where, std::int64_t margin) {
    if (p + margin <= 50 * last_cell_or_fail()) {
        return false;
    }
    record_fault<Fault::record_near_route_end>(state_, p, site(where), occurrence_at(where));
    return true;
}

Occurrence RecordReading::occurrence_at(TextPlace where) const {
    Occurrence occurrence;
    occurrence.text = source_;
    occurrence.at = in_.span().place == where ? in_.span() : FieldSpan{0, 0, where};
    occurrence.record = current_;
    return occurrence;
}

Occurrence RecordReading::occurrence_at(const FieldSpan& where) const {
    Occurrence occurrence;
    occurrence.text = source_;
    occurrence.at = where;
    occurrence.record = current_;
    return occurrence;
}

Flow RecordReading::stop_if_fault_stands(std::int32_t before, std::int32_t position,
                                         const FieldSpan& where) {
    if (state_.errorNumber <= 0) {
        return Flow::go_on;
    }
    const bool raised_now = state_.faultsRecorded != before;
    if (!raised_now && recovering()) {
        // Check mode reads on past a fault recorded before; the build stops here only when that
        // fault still stood as this text began (a code 15 of the line text).
        if (standing_ != 0 && !standing_told_) {
            standing_told_ = true;
            Occurrence occurrence;
            occurrence.id = static_cast<Diag>(standing_);
            occurrence.text = source_;
            occurrence.at = where;
            occurrence.position = position;
            occurrence.record = current_;
            occurrence.standing = true;
            observer_->occurred(occurrence);
        }
        return Flow::go_on;
    }
    // Every fault a helper records carries a position; one left standing is a code 15.
    state_.errorPosition = position;
    if (raised_now) {
        state_.errorSite = site(where.place);
    }
    state_.faultLog.push_back({state_.errorNumber, position, site(where.place), !raised_now});
    if (observing()) {
        Occurrence occurrence;
        occurrence.id = static_cast<Diag>(state_.errorNumber);
        occurrence.text = source_;
        occurrence.at = where;
        occurrence.position = position;
        occurrence.record = current_;
        occurrence.standing = !raised_now;
        if (raised_now && state_.helperFaultCell >= 0) {
            occurrence.cell = state_.helperFaultCell;
            occurrence.involved = {state_.helperFaultCell};
        }
        observer_->occurred(occurrence);
    }
    return Flow::stop;
}

void RecordReading::begin_record(const RecordDescription& kind, const FieldSpan& keyword) {
    ++matched_;
    if (observing()) {
        if (matched_ == 2 && last_kind_ != nullptr) {
            warn(Diag::several_kinds, keyword, std::nullopt,
                 {{"keyword", files::utf8_from_1252(state_.fieldBuffer)},
                  {"kind", std::string(last_kind_->kind)},
                  {"other", std::string(kind.kind)}});
        }
        current_ = observer_->record_begins(source_, kind, keyword);
    }
    last_kind_ = &kind;
    in_.values_of(current_);
    state_.currentRecord = current_;
    state_.currentText = source_;
    state_.currentRecordAt = keyword;
}

void RecordReading::end_record(RecordEnd how) {
    if (observing()) {
        observer_->record_ends(current_, how);
    }
    if (how == RecordEnd::skipped) {
        skipped_line_ = in_.span().place.line;
    } else {
        record_end_line_ = in_.span().place.line;
    }
    in_.values_of(kNoRecord);
    current_ = kNoRecord;
    state_.currentRecord = kNoRecord;
}

void RecordReading::separator_skipped(const FieldSpan& field) {
    observer_->keyword(source_, field, KeywordUse::separator);
    const std::int32_t line = field.place.line;
    const std::string_view text = in_.bytes().substr(field.offset, field.length);
    if (line == record_end_line_ && last_kind_ != nullptr) {
        if (extra_told_line_ != line) {
            extra_told_line_ = line;
            warn(Diag::extra_values, field, std::nullopt,
                 {{"kind", std::string(last_kind_->kind)},
                  {"values", value_list(last_kind_->values)},
                  {"extra", files::utf8_from_1252(text)}});
        }
    } else if (line != skipped_line_ && has_letter(text)) {
        skipped_line_ = line;
        warn(Diag::dash_in_keyword, field, std::nullopt,
             {{"keyword", files::utf8_from_1252(text)}});
    }
}

void RecordReading::nothing_recognised(const FieldSpan& keyword, bool general) {
    if (!observing()) {
        return;
    }
    const KeywordField field(state_.fieldBuffer);
    if (field.has("[") && field.has("]")) {
        observer_->keyword(source_, keyword, KeywordUse::header);
        return;
    }
    observer_->keyword(source_, keyword, KeywordUse::nothing);
    if (is_blank_text(state_.fieldBuffer)) {
        return;
    }
    const std::int32_t line = keyword.place.line;
    if (line == record_end_line_ && last_kind_ != nullptr) {
        if (extra_told_line_ != line) {
            extra_told_line_ = line;
            warn(Diag::extra_values, keyword, std::nullopt,
                 {{"kind", std::string(last_kind_->kind)},
                  {"values", value_list(last_kind_->values)},
                  {"extra", files::utf8_from_1252(state_.fieldBuffer)}});
        }
        return;
    }
    if (line == skipped_line_) {
        return;  // a value of a line already skipped
    }
    skipped_line_ = line;
    const bool line_text = source_ == ErrorSource::line_text;
    const auto other =
        kinds_named_by(field, line_text ? SourceTextKind::train_text : SourceTextKind::line_text);
    if (!other.empty()) {
        warn(Diag::other_text_record, keyword, std::nullopt,
             {{"kind", std::string(other.front()->kind)}, {"other", line_text ? "train" : "line"}});
        return;
    }
    if (line_text) {
        const auto own = kinds_named_by(field, SourceTextKind::line_text);
        if (!own.empty()) {
            warn(Diag::out_of_section, keyword, std::nullopt,
                 {{"kind", std::string(own.front()->kind)},
                  {"where", general ? "in the general section" : "after the general section"},
                  {"rule", general ? "the records follow a section header such as [curve]"
                                   : "the general settings go between [generale] and the "
                                     "first section header"}});
            return;
        }
    }
    warn(Diag::unknown_keyword, keyword, std::nullopt,
         {{"keyword", files::utf8_from_1252(state_.fieldBuffer)}});
}

void RecordReading::warn(Diag id, const FieldSpan& at, std::optional<std::int32_t> position,
                         std::vector<Argument> arguments, std::vector<std::int32_t> involved) {
    if (!observing()) {
        return;
    }
    Occurrence occurrence;
    occurrence.id = id;
    occurrence.text = source_;
    occurrence.at = at;
    occurrence.position = position;
    occurrence.record = current_;
    occurrence.arguments = std::move(arguments);
    occurrence.involved = std::move(involved);
    observer_->occurred(occurrence);
}

bool RecordReading::recover_after(Flow flow, bool unreadable_record) {
    if (flow == Flow::stop) {
        build_stopped_ = true;
    }
    if (!recovering() || flow == Flow::go_on || !state_.has_cells()) {
        return false;
    }
    if (unreadable_record) {
        in_.resume_after_record();
    } else {
        in_.skip_to_next_line();
    }
    return !in_.at_end();
}

std::vector<Argument> failure_arguments(const FieldFailure& failure) {
    static constexpr std::string_view kCauses[] = {"other", "cut-short", "not-a-number",
                                                   "out-of-range", "too-long"};
    return {{"reason", failure.reason()},
            {"cause", std::string(kCauses[static_cast<std::size_t>(failure.cause())])},
            {"value", failure.value()},
            {"token", files::utf8_from_1252(failure.token())}};
}

void RecordReading::unreadable(const FieldFailure& failure) {
    const TextPlace at = failure.place();
    Occurrence occurrence = occurrence_at(at);
    occurrence.arguments = failure_arguments(failure);
    record_fault<Fault::reading_failure>(
        state_, ErrorSite::in_text(source_, at.line, at.column, failure.reason()), occurrence);
    if (current_ != kNoRecord || matched_ > 0) {
        end_record(RecordEnd::unreadable);
    }
    unreadable_ = true;
}

void RecordReading::position_checks(std::string_view kind, std::int32_t p, const FieldSpan& at,
                                    bool on_grid_matters, bool order_matters) {
    const std::int32_t route = state_.locations[entry::train].zoneEnd;
    if (p < 0 || p > route) {
        warn(Diag::position_outside_route, at, p,
             {{"kind", std::string(kind)},
              {"position", metres(p)},
              {"where", p < 0 ? std::string("before the start of the route")
                              : "past the end of the route at " + metres(route) + " m"}});
    }
    auto last = std::find_if(last_of_kind_.begin(), last_of_kind_.end(),
                             [kind](const LastOfKind& l) { return l.kind == kind; });
    if (!order_matters) {
        // nothing to compare
    } else if (last == last_of_kind_.end()) {
        last_of_kind_.push_back({kind, p, at.place.line});
    } else {
        if (p < last->position) {
            warn(Diag::out_of_order, at, p,
                 {{"kind", std::string(kind)},
                  {"position", metres(p)},
                  {"previous", metres(last->position)},
                  {"line", std::to_string(last->line)}});
        }
        *last = {kind, p, at.place.line};
    }
    if (on_grid_matters && p % 50 != 0) {
        warn(Diag::not_on_grid, at, p,
             {{"kind", std::string(kind)},
              {"position", metres(p)},
              {"lands", "is read as at " + metres(round_half_even(p / 50.0) * 50) + " m"}});
    }
}

void RecordReading::profile_checks(std::int32_t p, const FieldSpan& at, bool first,
                                   std::int32_t /*previous*/) {
    const std::string_view kind = last_kind_ != nullptr ? last_kind_->kind : "";
    if (first && round_half_even(p / 50.0) > 0) {
        warn(Diag::before_first_record, at, p,
             {{"kind", std::string(kind)},
              {"position", metres(p)},
              {"value", std::string(default_of(kind))}});
    }
    position_checks(kind, p, at);
}

void RecordReading::control_characters(std::string_view what, std::string_view text,
                                       const FieldSpan& at) {
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        // A carriage return alone is told as such.
        if ((byte < 0x20 && byte != '\r') || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string shown = "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
            std::string printable;
            for (const char c : text) {
                const auto b = static_cast<unsigned char>(c);
                printable += (b < 0x20 || b == 0x7F) ? '?' : c;
            }
            warn(Diag::control_character, at, std::nullopt,
                 {{"value", std::string(what)},
                  {"text", files::utf8_from_1252(printable)},
                  {"character", shown}});
            return;
        }
    }
}

void SpeedFill::write(std::vector<TrackCell>& cells) {
    const std::int64_t step = round_half_even(in_force_ / 5.0);
    if (step < 0 || step > 255) {
        throw FieldFailure(in_force_at_, "the speed " + std::to_string(in_force_) +
                                             " km/h does not fit a cell's speed step");
    }
    cells[static_cast<std::size_t>(next_)].speedStep = static_cast<std::uint8_t>(step);
    ++next_;
}

void SpeedFill::record(std::int32_t p, std::int32_t v, TextPlace where,
                       std::vector<TrackCell>& cells, RecordId record) {
    const std::int64_t n = round_half_even(p / 50.0);
    const auto last = static_cast<std::int64_t>(cells.size()) - 1;
    written_from_ = next_;
    written_by_ = in_force_by_;
    if (n > 0 && next_ < last) {
        do {
            write(cells);
        } while (next_ < n && next_ < last);
    }
    in_force_ = v;
    in_force_at_ = where;
    in_force_by_ = record;
    last_position_ = p;
    ++records_;
}

void SpeedFill::finish(std::vector<TrackCell>& cells) {
    const auto last = static_cast<std::int64_t>(cells.size()) - 1;
    written_from_ = next_;
    written_by_ = in_force_by_;
    do {
        if (next_ > last) {
            break;
        }
        write(cells);
    } while (next_ < last - 2);
}

void SpeedFill::tell(ReadingObserver* observer) const {
    if (observer != nullptr && next_ - 1 >= written_from_) {
        observer->cells(written_by_, CellUse::speed, static_cast<std::int32_t>(written_from_),
                        static_cast<std::int32_t>(next_ - 1));
    }
}

}  // namespace scenario::compiler
