#pragma once

#include <cstdint>
#include <utility>

#include "compiler/model/build_state.h"
#include "compiler/model/diagnostic_catalogue.h"
#include "compiler/model/reading_observer.h"

namespace scenario::compiler {

// Tells the observer, if there is one, of a diagnostic; the build itself records nothing here.
inline void tell(BuildState& state, Occurrence occurrence) {
    if (state.observer != nullptr) {
        state.observer->occurred(occurrence);
    }
}

// A warning of a placement helper, about the record being read: told at its first value.
inline void tell_helper(BuildState& state, Diag id, std::optional<std::int32_t> position,
                        std::vector<Argument> arguments, std::vector<std::int32_t> involved = {}) {
    if (state.observer == nullptr) {
        return;
    }
    Occurrence occurrence;
    occurrence.id = id;
    occurrence.text = state.currentText;
    occurrence.at = state.currentRecordAt;
    occurrence.position = position;
    occurrence.record = state.currentRecord;
    occurrence.arguments = std::move(arguments);
    occurrence.involved = std::move(involved);
    state.observer->occurred(occurrence);
}

// Cells first to last now hold something of the record being read (of the signalling pass
// while no record is).
inline void tell_cells(BuildState& state, CellUse use, std::int64_t first, std::int64_t last) {
    if (state.observer != nullptr && first <= last) {
        state.observer->cells(state.currentRecord, use, static_cast<std::int32_t>(first),
                              static_cast<std::int32_t>(last));
    }
}

namespace detail {
inline void log_fault(BuildState& state, Diag id, std::optional<std::int32_t> position,
                      ErrorSite site, Occurrence context) {
    ++state.faultsRecorded;
    state.faultLog.push_back({number_of(id), position, site, false});
    state.errorSite = std::move(site);
    if (state.observer != nullptr) {
        context.id = id;
        context.position = position;
        if (context.text == ErrorSource::none) {
            context.text = state.errorSite.source;
            context.at.place = {state.errorSite.line, state.errorSite.column};
        }
        if (context.cell < 0) {
            context.cell = state.errorSite.cell;
        }
        state.observer->occurred(context);
    }
}
}  // namespace detail

// Records a fault: its number, its site, and its position exactly when the catalogue says the
// fault carries one; a site that gives one without the other does not compile. A later fault
// overwrites an earlier one. `context` tells the observer where and what it concerns.
template <Fault F>
requires(is_fault(F) &&
         carries_position(F)) void record_fault(BuildState& state, std::int32_t position,
                                                ErrorSite site, Occurrence context = {}) {
    state.errorNumber = number_of(F);
    state.errorPosition = position;
    detail::log_fault(state, F, position, std::move(site), std::move(context));
}

template <Fault F>
requires(is_fault(F) && !carries_position(F)) void record_fault(BuildState& state, ErrorSite site,
                                                                Occurrence context = {}) {
    state.errorNumber = number_of(F);
    detail::log_fault(state, F, std::nullopt, std::move(site), std::move(context));
}

// A placement helper records only its number: the reader that called it stops and adds the
// record's position and site (see the readers' check after each helper). `cell` is the cell
// that was taken, for the author's tools.
template <Fault F>
requires(is_fault(F) && carries_position(F)) void record_helper_fault(BuildState& state,
                                                                      std::int64_t cell = -1) {
    state.errorNumber = number_of(F);
    ++state.faultsRecorded;
    state.helperFaultCell = static_cast<std::int32_t>(cell);
}

}  // namespace scenario::compiler
