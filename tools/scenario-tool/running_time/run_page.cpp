#include "running_time/run_page.h"

#include <cstdio>

#include "files/windows_1252.h"

namespace scenario::running_time {

std::optional<PageRun> page_run(const LineProfile& profile, const RunResult& run) {
    if (!run.computed()) {
        return std::nullopt;
    }
    PageRun page;
    page.points = run.curve;
    for (const auto& timing : run.stations) {
        const auto& station = profile.stations[timing.station];
        PageStation s;
        s.name = files::utf8_from_1252(station.name);
        s.position = station.position;
        s.scheduled = timing.scheduled;
        s.fastest = timing.fastest;
        s.margin = timing.margin;
        if (station.time) {
            s.departure = time_of_day(*station.time);
        }
        s.entry = station.entry;
        page.stations.push_back(std::move(s));
    }
    return page;
}

std::string time_of_day(std::int32_t seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

tool::Json page_run_json(const PageRun& run) {
    using tool::Json;
    const auto tenths = [](const std::optional<double>& value) {
        return value ? tool::json_rounded(*value, 1) : Json(nullptr);
    };
    Json points = Json::array();
    for (const auto& point : run.points) {
        points.push_back(
            Json::array({tool::json_rounded(point.metre, 1), tool::json_rounded(point.kmh, 2)}));
    }
    Json stations = Json::array();
    for (const auto& s : run.stations) {
        stations.push_back(Json{{"name", tool::json_string(s.name)},
                                {"position", s.position},
                                {"scheduled", tool::json_or_null(s.scheduled)},
                                {"fastest", tenths(s.fastest)},
                                {"margin", tenths(s.margin)},
                                {"departure", tool::json_or_null(s.departure)},
                                {"object", tool::json_or_null(s.object)}});
    }
    return Json{{"points", std::move(points)}, {"stations", std::move(stations)}};
}

}  // namespace scenario::running_time
