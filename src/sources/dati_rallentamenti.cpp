#include <array>
#include <string_view>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::sources {

namespace {

// The slowdown order: the one restriction of the run, past ROCCA ALTA (position 71200).
constexpr std::array<std::string_view, 45> kLines{
    "",
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  MORENA LAGO-PIAN DI VALSO",
    "  Si ordina al macchinista del treno R10537 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |   |                            |            |          |         |            |",
    " | 1 |  Rocca Alta - Fornace      |   27+000   |    40    |   300   |     A      |      "
    "           ",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
};

}  // namespace

std::span<const std::string_view> slowdown_order_lines() {
    return kLines;
}

void dati_rallentamenti(const std::filesystem::path& directory, std::string_view LineTitle,
                        std::string_view TrainCode) {
    write_content(files::full_path(directory, files::slowdown_order_name(LineTitle, TrainCode)),
                  content_table(kLines));
}

void dati_rallentamenti(files::OutputSet& set, const std::filesystem::path& directory,
                        std::string_view LineTitle, std::string_view TrainCode) {
    add_content(set, files::full_path(directory, files::slowdown_order_name(LineTitle, TrainCode)),
                content_table(kLines));
}

}  // namespace scenario::sources
