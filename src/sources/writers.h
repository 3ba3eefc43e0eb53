#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace scenario::sources {

// The built-in texts, line by line, without line ends.
std::span<const std::string_view> line_description_lines();
std::span<const std::string_view> train_service_lines();
std::span<const std::string_view> notes_lines();
std::span<const std::string_view> slowdown_order_lines();
std::span<const std::string_view> train_card_lines();

// The five writers: each replaces its file in the directory with its built-in text.
void dati_linea(const std::filesystem::path& directory, std::string_view LineTitle);
void dati_treno(const std::filesystem::path& directory, std::string_view LineTitle,
                std::string_view TrainCode);
void dati_note(const std::filesystem::path& directory, std::string_view LineTitle,
               std::string_view TrainCode);
void dati_rallentamenti(const std::filesystem::path& directory, std::string_view LineTitle,
                        std::string_view TrainCode);
void dati_scheda(const std::filesystem::path& directory, std::string_view LineTitle,
                 std::string_view TrainCode);

}  // namespace scenario::sources
