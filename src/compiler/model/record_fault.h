#pragma once

#include <cstdint>

#include "compiler/model/build_state.h"
#include "compiler/model/error_catalogue.h"

namespace scenario::compiler {

// Records a fault: its number, its site, and its position exactly when the catalogue says the
// fault carries one; a site that gives one without the other does not compile. A later fault
// overwrites an earlier one.
template <Fault F>
requires(carries_position(F)) void record_fault(BuildState& state, std::int32_t position,
                                                ErrorSite site) {
    state.errorNumber = number_of(F);
    state.errorPosition = position;
    state.faultLog.push_back({number_of(F), position, site, false});
    state.errorSite = std::move(site);
}

template <Fault F>
requires(!carries_position(F)) void record_fault(BuildState& state, ErrorSite site) {
    state.errorNumber = number_of(F);
    state.faultLog.push_back({number_of(F), std::nullopt, site, false});
    state.errorSite = std::move(site);
}

// A placement helper records only its number: the reader that called it stops and adds the
// record's position and site (see the readers' check after each helper).
template <Fault F>
requires(carries_position(F)) void record_helper_fault(BuildState& state) {
    state.errorNumber = number_of(F);
}

}  // namespace scenario::compiler
