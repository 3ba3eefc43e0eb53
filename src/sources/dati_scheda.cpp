#include <array>
#include <string_view>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::sources {

namespace {

// The train card: every location of the run but the seasonal halt LIDO DI SERENA, and the
// changes of speed limit and running speed. Kilometres are 98 km less the position.
constexpr std::array<std::string_view, 51> kLines{
    "",
    "",
    "  ___________________                                               ______________",
    " |                   |                    SCHEDA                   |              |",
    " |   TRENO n. R10537 |                   da: MORENA LAGO           |    V140 B    |",
    " |___________________|                    a: PIAN DI VALSO         |     100%     |",
    "                                                                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |     REGIONALE     |              |      330T         |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " |     |     |          |     |                            |                |     |",
    " | 70  | 55  |  97+600  |     |  MORENA LAGO               |      6.37      |     |",
    " |     |     |  93+100  |     |  RIVA BELLA                |                |     |",
    " | 60  |     |  91+800  |     |                            |                |     |",
    " |     |     |  90+500  |     |  CASTELLETTO LAGO          |  6.46+ - 6.48  |     |",
    " |     |     |  84+600  |     |  SANTA GIULIA              |  6.56 - 6.56+  |     |",
    " | 70  | 65  |  82+000  |     |                            |                |     |",
    " |     |     |  81+400  |     |  PORTO ASCENSO             |  7.01 - 7.01+  |     |",
    " |     |     |  78+200  |     |  ORSERA                    |  7.05+ - 7.06  |     |",
    " | 60  | 55  |  76+500  |     |                            |                |     |",
    " |     |     |  75+400  |     |  PONTE ORSERA              |  7.10 - 7.11+  |     |",
    " |     |     |  72+600  |     |  CA' DEI BOSCHI            |  7.16 - 7.16+  |     |",
    " | 70  | 65  |  71+000  |     |                            |                |     |",
    " |     |     |  69+100  |     |  S. MARTINO IN VALLE       |  7.21+ - 7.22+ |     |",
    " |     |     |  65+100  |     |  VALLE SCURA               |                |     |",
    " | 90  | 80  |  64+400  |     |                            |                |     |",
    " |     |     |  63+000  |     |  ROCCHETTA                 |  7.29+ - 7.30  |     |",
    " | 60  | 55  |  61+500  |     |                            |                |     |",
    " | 90  | 80  |  58+500  |     |                            |                |     |",
    " |     |     |  57+700  |     |  FONTANELLE                |  7.36+ - 7.37  |     |",
    " | 70  | 65  |  55+400  |     |                            |                |     |",
    " |     |     |  53+600  |     |  VALSO DI SOTTO            |  7.41+ - 7.43  |     |",
    " | 90  | 80  |  52+700  |     |                            |                |     |",
    " |     |     |  49+300  |     |  PRATO ALTO                |                |     |",
    " |     |     |  44+800  |     |  CORTENOVA                 |  7.51 - 7.52   |     |",
    " |     |     |  40+200  |     |  MOLINI                    |                |     |",
    " |     |     |  36+000  |     |  SAN ROCCO                 |                |     |",
    " |     |     |  29+500  |     |  ROCCA ALTA                |  8.05 - 8.06+  |     |",
    " |     |     |  23+600  |     |  FORNACE                   |  8.13 - 8.14   |     |",
    " |     |     |  19+000  |     |  CASTELVECCHIO-TERME       |                |     |",
    " |     |     |  15+100  |     |  SELVA                     |                |     |",
    " |     |     |  11+500  |     |  PIEVE DI VALSO            |  8.24+ - 8.26  |     |",
    " |     |     |   2+800  |     |  PIAN DI VALSO             |      8.34      |     | ",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    "",
};

}  // namespace

std::span<const std::string_view> train_card_lines() {
    return kLines;
}

void dati_scheda(const std::filesystem::path& directory, std::string_view LineTitle,
                 std::string_view TrainCode) {
    write_content(files::full_path(directory, files::train_card_name(LineTitle, TrainCode)),
                  content_table(kLines));
}

void dati_scheda(files::OutputSet& set, const std::filesystem::path& directory,
                 std::string_view LineTitle, std::string_view TrainCode) {
    add_content(set, files::full_path(directory, files::train_card_name(LineTitle, TrainCode)),
                content_table(kLines));
}

}  // namespace scenario::sources
