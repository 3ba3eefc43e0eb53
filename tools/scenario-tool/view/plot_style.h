#pragma once

namespace scenario::tool::style {

// The colours of the picture, shared by the plan, the profile and the legend.
inline constexpr const char* kTrack = "#1f3b5c";
inline constexpr const char* kRunOut = "#9aa5b1";
inline constexpr const char* kMountain = "#8b5a2b";
inline constexpr const char* kSlowdown = "#f28c28";
inline constexpr const char* kSignal = "#d62728";
inline constexpr const char* kCodePoint = "#7b4fa0";
inline constexpr const char* kClimb = "#c8553d";
inline constexpr const char* kDescent = "#3d7cc8";
inline constexpr const char* kHeightFill = "#e9e1cf";
inline constexpr const char* kHeightLine = "#7a6a4f";
inline constexpr const char* kSpeed = "#2b6cb0";
inline constexpr const char* kSpeedFill = "#dde9f6";
inline constexpr const char* kAdhesion = "#4f8a2b";
inline constexpr const char* kGrid = "#e3e6ea";
inline constexpr const char* kInk = "#1d232b";
inline constexpr const char* kMuted = "#6b7580";
inline constexpr const char* kPanel = "#f6f7f3";

}  // namespace scenario::tool::style
