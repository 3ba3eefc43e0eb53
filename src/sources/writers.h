#pragma once

#include <filesystem>
#include <span>
#include <string_view>

#include "files/output_file.h"
#include "files/output_set.h"

namespace scenario::sources {

// The built-in texts, line by line, without line ends.
std::span<const std::string_view> line_description_lines();
std::span<const std::string_view> train_service_lines();
std::span<const std::string_view> notes_lines();
std::span<const std::string_view> slowdown_order_lines();
std::span<const std::string_view> train_card_lines();

// The five writers: each replaces its file in the directory with its built-in text. The line
// and train texts are flushed to the disk unless the caller reads them back and deletes them
// at once, as the build does.
void dati_linea(const std::filesystem::path& directory, std::string_view LineTitle,
                files::Flush flush = files::Flush::to_disk);
void dati_treno(const std::filesystem::path& directory, std::string_view LineTitle,
                std::string_view TrainCode, files::Flush flush = files::Flush::to_disk);
void dati_note(const std::filesystem::path& directory, std::string_view LineTitle,
               std::string_view TrainCode);
void dati_rallentamenti(const std::filesystem::path& directory, std::string_view LineTitle,
                        std::string_view TrainCode);
void dati_scheda(const std::filesystem::path& directory, std::string_view LineTitle,
                 std::string_view TrainCode);

// The same writers adding their file to a set instead, which replaces the files together when
// it is committed: the builder's three documents, the five texts of scenario-tool sources.
void dati_linea(files::OutputSet& set, const std::filesystem::path& directory,
                std::string_view LineTitle);
void dati_treno(files::OutputSet& set, const std::filesystem::path& directory,
                std::string_view LineTitle, std::string_view TrainCode);
void dati_note(files::OutputSet& set, const std::filesystem::path& directory,
               std::string_view LineTitle, std::string_view TrainCode);
void dati_rallentamenti(files::OutputSet& set, const std::filesystem::path& directory,
                        std::string_view LineTitle, std::string_view TrainCode);
void dati_scheda(files::OutputSet& set, const std::filesystem::path& directory,
                 std::string_view LineTitle, std::string_view TrainCode);

}  // namespace scenario::sources
