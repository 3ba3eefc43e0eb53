#pragma once

#include <string_view>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "reading/author_reading.h"
#include "view/route_data.h"

namespace scenario::tool {

// The objects and diagnostics of the route page from the one reading of the two texts (the
// line text is the page's text 0, the train text its text 1): every record of both texts as
// an object with its place in the text, the cells it holds and what the compact files keep for
// it, those it could not place flagged; the code points of the signalling pass; and each
// diagnostic tied to the record at its place and, through its notes, to the other party. Texts
// that gave no cells give the diagnostics alone.
RouteAnnotations annotations_from_reading(const ReadScenario& scenario,
                                          const std::vector<Diagnostic>& diagnostics);

// The objects of a compiled scenario, without its texts: the stations of its table, the
// objects its cells hold (signals, boards, code points, slowdowns) and its mountain spans,
// each with what the compact files store for it and no source.
RouteAnnotations annotations_from_compiled(const compiler::BuildState& state);

}  // namespace scenario::tool
