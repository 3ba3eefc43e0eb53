#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <span>
#include <string_view>

#include "compiler/model/build_state.h"
#include "compiler/model/numbers.h"
#include "compiler/model/reading_observer.h"
#include "compiler/model/record_fault.h"
#include "compiler/readers/field_reader.h"
#include "compiler/readers/record_descriptions.h"

namespace scenario::compiler {

// What the record loop does after a record.
enum class Flow {
    go_on,           // read the next record
    end_of_records,  // leave the loop as at the end of the text (a record past the cells)
    stop,            // a fault that ends the reading of this text at once
};

// Metres past a record's position that must still lie on the cells; a station needs room for
// its zone and stop cell.
inline constexpr std::int64_t kRecordMargin = 100;
inline constexpr std::int64_t kStationMargin = 800;

// The frame both text readers share: the model, the field reader and which text it reads, the
// keyword loop, the bound check and the ways a record stops the reading. With an observer it
// also tells every keyword, record and diagnostic of the reading, and in check mode it goes on
// after a fault at the next line.
class RecordReading {
  protected:
    RecordReading(BuildState& state, FieldReader& in, ErrorSource source)
        : state_(state), in_(in), source_(source), observer_(state.observer) {
        in_.observe(observer_, source);
    }

    // Reads the keyword field of the next record into fieldBuffer, skipping at most two
    // separator fields (fields holding "-"). False at the end of the text: the field that
    // reaches the end is dropped, so the last field of a text ("[fine]") is never acted upon.
    bool next_keyword();

    // The site of a fault raised by the field at `where` of this text.
    ErrorSite site(TextPlace where) const {
        return ErrorSite::in_text(source_, where.line, where.column);
    }

    // N, the highest cell index. Throws when no route length has been read yet, since then
    // there are no cells to place anything on.
    std::int64_t last_cell_or_fail() const;

    // Whether a record at p lies too near the end of the route: (p + margin) / 50 is beyond the
    // last cell. If so, records fault 15 at p; the records then end as at the end of the text.
    bool refused_near_end(std::int32_t p, TextPlace where, std::int64_t margin = kRecordMargin);

    // A record of a property filled along the route (gradient, adhesion): its position, past
    // the bound check, then its value, which is in force from its cell on.
    template <class Fill, class Write>
    Flow profile_record(Fill& fill, std::span<const ValueDescription> values, Write&& write) {
        const std::int32_t p = in_.read_int32(values[0].name);
        const FieldSpan at = in_.span();
        if (refused_near_end(p, at.place)) {
            return Flow::end_of_records;
        }
        const std::int32_t value = in_.read_int32(values[1].name);
        profile_value_ = value;
        profile_value_at_ = in_.span();
        if (observing()) {
            profile_checks(p, at, fill.records_seen() == 0, fill.last_position());
        }
        fill.record(p, value, state_.last_cell(), write, current_);
        if (observing()) {
            fill.tell(observer_);
        }
        return Flow::go_on;
    }

    // A fault that stops the reading of this text.
    template <Fault F>
    Flow stop(TextPlace where) {
        record_fault<F>(state_, site(where), occurrence_at(where));
        return Flow::stop;
    }
    template <Fault F>
    Flow stop(std::int32_t position, TextPlace where) {
        record_fault<F>(state_, position, site(where), occurrence_at(where));
        return Flow::stop;
    }
    template <Fault F>
    Flow stop(std::int32_t position, const FieldSpan& where) {
        record_fault<F>(state_, position, site(where.place), occurrence_at(where));
        return Flow::stop;
    }

    // After a placement helper: a fault it recorded stops the reading, with the record's first
    // value as the position. `before` is the count of faults before the call: a fault that was
    // already standing (a code 15 of the line text stops the train text's first signal or
    // slowdown) takes this record's position but keeps its own site.
    Flow stop_if_fault_stands(std::int32_t before, std::int32_t position, const FieldSpan& where);

    // --- what the author's tools hear -------------------------------------------------------

    bool observing() const { return observer_ != nullptr; }
    bool recovering() const { return observer_ != nullptr && observer_->recovers(); }

    // A record of this kind recognised in the keyword field `keyword`; its values follow.
    void begin_record(const RecordDescription& kind, const FieldSpan& keyword);
    void end_record(RecordEnd how);
    // The keyword field read last named nothing this text reads here; `general` tells whether
    // the line text's general section was being read.
    void nothing_recognised(const FieldSpan& keyword, bool general);

    // A warning at a field of the record being read.
    void warn(Diag id, const FieldSpan& at, std::optional<std::int32_t> position,
              std::vector<Argument> arguments, std::vector<std::int32_t> involved = {});
    Occurrence occurrence_at(TextPlace where) const;
    Occurrence occurrence_at(const FieldSpan& where) const;

    // Check mode: after a fault (or a record past the end, or a value that could not be read)
    // the reading goes on with the next line, or for a record cut short, with the line after
    // the record's own. Returns false when it cannot go on (not in check mode, or there are no
    // cells to place anything on); the reading then ends as the build's does.
    bool recover_after(Flow flow, bool unreadable_record);
    // Runs one record's tests; in check mode a reading failure of the record is recorded as
    // the build would record it, and the reading goes on.
    template <class Read>
    Flow guarded(Read&& read) {
        if (!recovering()) {
            return read();
        }
        try {
            return read();
        } catch (const FieldFailure& failure) {
            unreadable(failure);
            return Flow::stop;
        } catch (const std::exception& failure) {
            unreadable(FieldFailure(in_.place(), failure.what()));
            return Flow::stop;
        }
    }
    void unreadable(const FieldFailure& failure);

    // The records of a text, keyword field by keyword field, each given to `tests` (the
    // reader's tests of its record kinds) until one stops the reading or the text ends; in
    // check mode the reading goes on after a fault as `recover_after` allows.
    template <class Tests>
    Flow read_records(Tests&& tests) {
        while (next_keyword()) {
            const KeywordField field(state_.fieldBuffer);
            const FieldSpan keyword = in_.span();
            unreadable_ = false;
            const Flow flow = guarded([&] { return tests(field, keyword); });
            if (flow == Flow::go_on) {
                if (matched_ == 0) {
                    nothing_recognised(keyword, false);
                }
                continue;
            }
            if (recover_after(flow, unreadable_)) {
                continue;
            }
            if (recovering() && state_.has_cells()) {
                return Flow::go_on;  // check mode reached the end of the text
            }
            return flow;
        }
        return Flow::go_on;
    }

    // Positions of the records of one kind as they come: out of order, off the grid, before
    // the start or past the end of the route.
    void position_checks(std::string_view kind, std::int32_t p, const FieldSpan& at,
                         bool on_grid_matters = true, bool order_matters = true);
    // A name or board text kept byte for byte: a control character in it reaches the files.
    void control_characters(std::string_view what, std::string_view text, const FieldSpan& at);
    void separator_skipped(const FieldSpan& field);

    BuildState& state_;
    FieldReader& in_;
    ErrorSource source_;
    ReadingObserver* observer_;
    RecordId current_ = kNoRecord;
    std::int32_t matched_ = 0;  // records recognised in the keyword field read last
    // The fault that stood as this text began (a code 15 of the line text), and whether check
    // mode has told where the build stops for it.
    std::int32_t standing_ = 0;
    bool standing_told_ = false;
    bool unreadable_ = false;         // check mode: the record read last could not be read
    bool build_stopped_ = false;      // the build itself would have stopped reading this text
    std::int32_t profile_value_ = 0;  // the value of the last profile record, and its field
    FieldSpan profile_value_at_;

  private:
    void profile_checks(std::int32_t p, const FieldSpan& at, bool first, std::int32_t previous);

    // The line where the last record's values ended, and the last line skipped whole: fields
    // of nothing on them are extra values or the values of a skipped line.
    std::int32_t record_end_line_ = 0;
    std::int32_t skipped_line_ = 0;
    std::int32_t extra_told_line_ = 0;
    const RecordDescription* last_kind_ = nullptr;
    struct LastOfKind {
        std::string_view kind;
        std::int32_t position;
        std::int32_t line;
    };
    std::vector<LastOfKind> last_of_kind_;
};

// A line property filled cell by cell along the route (gradient, adhesion): each record writes
// the value in force before it from the fill index up to its own cell, at least one cell, and
// never past the last cell; its own value is then in force.
class ProfileFill {
  public:
    explicit ProfileFill(CellUse use = CellUse::gradient) : use_(use) {}

    // Writes the value in force, write(cell, value), from the fill index up to cell n.
    template <class Write>
    void up_to(std::int64_t n, std::int64_t last_cell, Write&& write) {
        written_from_ = next_;
        do {
            if (next_ > last_cell) {
                return;
            }
            write(static_cast<std::size_t>(next_), in_force_);
            ++next_;
        } while (next_ < n);
    }

    // A record of the property at p (already past the bound check) with its value.
    template <class Write>
    void record(std::int32_t p, std::int32_t value, std::int64_t last_cell, Write&& write,
                RecordId record = kNoRecord) {
        const std::int64_t n = round_half_even(p / 50.0);
        written_from_ = next_;
        written_by_ = in_force_by_;
        if (n > 0) {
            up_to(n, last_cell, write);
        }
        in_force_ = value;
        in_force_by_ = record;
        last_position_ = p;
        ++records_;
    }

    // The cells the last call wrote, to the observer, as held by the record in force then.
    void tell(ReadingObserver* observer) const {
        if (observer != nullptr && written_to() >= written_from_) {
            observer->cells(written_by_, use_, static_cast<std::int32_t>(written_from_),
                            static_cast<std::int32_t>(written_to()));
        }
    }
    // Tells the cells of the final fill, held by the last record.
    void tell_finish(ReadingObserver* observer) {
        written_by_ = in_force_by_;
        tell(observer);
    }

    std::int32_t records_seen() const { return records_; }
    std::int32_t last_position() const { return last_position_; }
    RecordId in_force_by() const { return in_force_by_; }

  private:
    std::int64_t written_to() const { return next_ - 1; }

    CellUse use_;
    std::int64_t next_ = 0;
    std::int32_t in_force_ = 0;
    RecordId in_force_by_ = kNoRecord;
    std::int64_t written_from_ = 0;
    RecordId written_by_ = kNoRecord;
    std::int32_t last_position_ = 0;
    std::int32_t records_ = 0;
};

// The speed limit filled cell by cell like a profile, with two differences of its own: a record
// fills only while the fill index is below the last cell, and the speed is stored as its step
// of 5 km/h, which must fit 8 bits. A speed that does not fails where the cells take it, naming
// the place of the speed that was in force.
class SpeedFill {
  public:
    void record(std::int32_t p, std::int32_t v, TextPlace where, std::vector<TrackCell>& cells,
                RecordId record = kNoRecord);
    // The last speed holds up to the run-out: at least one cell, while below N - 2.
    void finish(std::vector<TrackCell>& cells);
    void tell(ReadingObserver* observer) const;

    std::int32_t records_seen() const { return records_; }
    std::int32_t last_position() const { return last_position_; }

  private:
    void write(std::vector<TrackCell>& cells);

    std::int64_t next_ = 0;
    std::int32_t in_force_ = 0;
    TextPlace in_force_at_;
    RecordId in_force_by_ = kNoRecord;
    std::int64_t written_from_ = 0;
    RecordId written_by_ = kNoRecord;
    std::int32_t last_position_ = 0;
    std::int32_t records_ = 0;
};

// Runs a reader over a text; a failure that is not already placed in the text (an allocation,
// say) is placed at the field read last, so that every reading failure names where it arose.
template <class Read>
auto with_failures_placed(const FieldReader& in, Read&& read) {
    try {
        return read();
    } catch (const FieldFailure&) {
        throw;
    } catch (const std::exception& failure) {
        throw FieldFailure(in.place(), failure.what());
    }
}

// A reading failure's cause as named arguments of its diagnostic: "reason", "cause"
// (cut-short, not-a-number, out-of-range, too-long, other), "value" and "token".
std::vector<Argument> failure_arguments(const FieldFailure& failure);

// The record kinds of a text whose keyword words the field holds, in the readers' order.
std::vector<const RecordDescription*> kinds_named_by(const KeywordField& field,
                                                     SourceTextKind text);

// Tells the observer what the bytes of a text do to its fields: a UTF-8 byte-order mark, bytes
// that read as UTF-8, carriage returns that end no line.
void tell_text_bytes(ReadingObserver& observer, ErrorSource text, std::string_view bytes);

}  // namespace scenario::compiler
