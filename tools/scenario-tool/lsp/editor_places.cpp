#include "lsp/editor_places.h"

namespace scenario::tool::lsp {

using compiler::ErrorSource;

const TextDocument* EditorPlaces::text(ErrorSource side) const {
    if (side != ErrorSource::line_text && side != ErrorSource::train_text) {
        return nullptr;
    }
    return workspace_.text_of(analysis_.side(side));
}

std::optional<ErrorSource> EditorPlaces::side_of(const std::string& uri) const {
    if (uri.empty()) {
        return std::nullopt;
    }
    if (analysis_.line.given() && uri == analysis_.line.uri) {
        return ErrorSource::line_text;
    }
    if (analysis_.train.given() && uri == analysis_.train.uri) {
        return ErrorSource::train_text;
    }
    return std::nullopt;
}

std::optional<Location> EditorPlaces::of(ErrorSource side, std::size_t offset,
                                         std::size_t length) const {
    const auto* document = text(side);
    if (document == nullptr) {
        return std::nullopt;
    }
    return Location{analysis_.side(side).uri, document->range_of(offset, length, encoding_)};
}

std::optional<std::size_t> EditorPlaces::offset_of(const SourcePlace& place) const {
    const auto side = side_of(place.file);
    if (!side || !place.in_text()) {
        return std::nullopt;
    }
    const auto& file = analysis_.scenario.file(*side);
    const std::size_t start = file.line_start(place.line);
    return start + static_cast<std::size_t>(place.column > 0 ? place.column - 1 : 0);
}

std::optional<Location> EditorPlaces::of(const SourcePlace& place) const {
    const auto side = side_of(place.file);
    const auto offset = offset_of(place);
    if (!side || !offset) {
        return std::nullopt;
    }
    std::size_t length = static_cast<std::size_t>(std::max(place.length, 0));
    if (place.column <= 0) {
        length = analysis_.scenario.file(*side).line(place.line).size();
    }
    return of(*side, *offset, length);
}

}  // namespace scenario::tool::lsp
