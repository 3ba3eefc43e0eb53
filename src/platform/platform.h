#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace scenario::platform {

// The notice window's design, in twips (15 twips = 1 pixel at 96 dpi).
struct NoticeDesign {
    int client_width = 4200;
    int client_height = 2688;
    int label_left = 960;
    int label_top = 960;
    int label_width = 2652;
    int label_height = 792;
    std::string_view caption = "Attendere";
    std::string_view font_face = "MS Sans Serif";
    int font_points = 24;
    bool font_bold = true;
};

inline constexpr int kTwipsPerPixel = 15;

// The program's name: the title of its message box.
inline constexpr std::string_view kProgramName = "scenario-builder";

// The desktop the program runs on: a display with a window and message boxes, or none at all,
// in which case the box's text goes to standard error.
class Desktop {
  public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool has_display() const;

    // Shows the notice window, not modal, and paints it once; nothing happens without a display.
    void show_notice(const NoticeDesign& design);

    // A modal box with the text and one OK button, no icon; returns when it is closed.
    void message_box(std::string_view text);

    // Closes the window, if any.
    void close();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The directory that holds the running executable.
std::filesystem::path executable_directory();

// Ends the program at once with the exit status.
[[noreturn]] void end_program(int status);

}  // namespace scenario::platform
