#include <array>
#include <string_view>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::sources {

namespace {

// The run of R10537: five coaches, clock at 6.36.30, departure 6.37, arrival 8.34. Stops wait
// 90 s where the train crosses (CASTELLETTO LAGO, PONTE ORSERA, VALSO DI SOTTO, ROCCA ALTA,
// PIEVE DI VALSO); kind 27 halts are passed. The signals with a time are the staged events:
// shunting at PONTE ORSERA, a maintenance vehicle before FONTANELLE, a train on the first
// track at FORNACE. The slowdown protects the rock-face works past ROCCA ALTA.
constexpr std::array<std::string_view, 135> kLines{
    "[generale]",
    "numero vetture,    5",
    "percentuale massa frenata,    100",
    "sabbia,    150",
    "orologio,    6               36            30 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "aderenza,   6400,    90",
    "aderenza,   6700,   100",
    "aderenza,   11500,    80",
    "aderenza,   17000,   100",
    "aderenza,   18200,    85",
    "aderenza,   18800,   100",
    "aderenza,   23800,    85",
    "aderenza,   27000,   100",
    "aderenza,   30800,    75",
    "aderenza,   32300,    90",
    "aderenza,   35000,   100",
    "aderenza,   37000,    70",
    "aderenza,   37900,   100",
    "aderenza,   69500,    80",
    "aderenza,   71100,   100",
    "aderenza,   89200,    85",
    "aderenza,   91000,   100",
    "[vel_limite]",
    "velocita,       0,    60",
    "velocita,    1100,    70",
    "velocita,    6200,    60",
    "velocita,   16000,    70",
    "velocita,   21500,    60",
    "velocita,   27000,    70",
    "velocita,   33600,    90",
    "velocita,   36500,    60",
    "velocita,   39500,    90",
    "velocita,   42600,    70",
    "velocita,   45300,    90",
    "[stazioni]",
    "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, MORENA LAGO",
    "stazione,    4900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, RIVA BELLA",
    "stazione,    7500, 11,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, CASTELLETTO LAGO",
    "stazione,   10200, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, LIDO DI SERENA",
    "stazione,   13400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,56,30, SANTA GIULIA",
    "stazione,   16600, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   30,   7, 1,30, PORTO ASCENSO",
    "stazione,   19800, 22,  200,  0, 0, 0,  0,1,0,  4,1,1,   30,   7, 6, 0, ORSERA",
    "stazione,   22600, 11,  500,  0, 0, 1,  1,1,0,  4,1,1,   90,   7,11,30, PONTE ORSERA",
    "stazione,   25400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,16,30, CA' DEI BOSCHI",
    "stazione,   28900, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   60,   7,22,30, S. MARTINO IN "
    "VALLE",
    "stazione,   32900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, VALLE SCURA",
    "stazione,   35000, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   30,   7,30, 0, ROCCHETTA",
    "stazione,   40300, 22,  200,  0, 0, 0,  0,1,0,  4,1,1,   30,   7,37, 0, FONTANELLE",
    "stazione,   44400, 11,  500,  0, 0, 1,  1,1,0,  4,1,1,   90,   7,43, 0, VALSO DI SOTTO",
    "stazione,   48700, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, PRATO ALTO",
    "stazione,   53200, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   60,   7,52, 0, CORTENOVA",
    "stazione,   57800, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, MOLINI",
    "stazione,   62000, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, SAN ROCCO",
    "stazione,   68500, 11,  500,  0, 0, 1,  1,1,0,  4,1,1,   90,   8, 6,30, ROCCA ALTA",
    "stazione,   74400, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,   60,   8,14, 0, FORNACE",
    "stazione,   79000, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, CASTELVECCHIO - "
    "TERME",
    "stazione,   82900, 27,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, SELVA",
    "stazione,   86500, 11,  500,  0, 0, 1,  1,1,0,  4,1,1,   90,   8,26, 0, PIEVE DI VALSO",
    "stazione,   95200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   8,34, 0, PIAN DI VALSO",
    "[rallentamenti]",
    "rallentamento,   71200,    40,  300, 1,  1,  0",
    "[segnali]",
    "segnale,    1850,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    2850,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    4350,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    5900,   2, 2, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,    7100,   2, 3, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,    8050,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,    9700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   11400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   13000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   14400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   14950,   2, 2, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   16150,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   17150,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   18950,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   20300,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   20900,   2, 2, 6,  1, 0,    0,  0,0,0, 0",
    "segnale,   22100,   2, 3, 6,  1, 0,    0,  0,0,0, 240",
    "segnale,   23250,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   24700,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   27250,   2, 2, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   28450,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   29450,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   30200,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   32450,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   33350,   2, 2, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   34550,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   35550,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   38000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   38800,   2, 4, 1,  0, 0,    0,  0,0,0, 250",
    "segnale,   40100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   41300,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   42700,   2, 2, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   43900,   2, 3, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   45050,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   46100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   47600,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   49100,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   50600,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   51550,   2, 2, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   52750,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   53750,   1, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   55400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   56900,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   58400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   59900,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   61400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   62900,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   64400,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   65600,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   66800,   2, 2, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   68000,   2, 3, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   69150,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   71800,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   72750,   2, 2, 6,  1, 0,    0,  0,0,0, 0",
    "segnale,   73950,   2, 3, 6,  1, 0,    0,  0,0,0, 255",
    "segnale,   74950,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   76000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   77500,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   79500,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   81000,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   82500,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   84800,   2, 2, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   86000,   2, 3, 3,  1, 0,    0,  0,0,0, 0",
    "segnale,   87150,   1, 5, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   88600,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   90300,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   91900,   2, 4, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   93500,   2, 2, 0,  0, 0,    0,  0,0,0, 0",
    "segnale,   94700,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "[codici]",
    "[fine]",
};

}  // namespace

std::span<const std::string_view> train_service_lines() {
    return kLines;
}

void dati_treno(const std::filesystem::path& directory, std::string_view LineTitle,
                std::string_view TrainCode, files::Flush flush) {
    write_content(files::full_path(directory, files::train_text_name(LineTitle, TrainCode)),
                  content_table(kLines), flush);
}

void dati_treno(files::OutputSet& set, const std::filesystem::path& directory,
                std::string_view LineTitle, std::string_view TrainCode) {
    add_content(set, files::full_path(directory, files::train_text_name(LineTitle, TrainCode)),
                content_table(kLines));
}

}  // namespace scenario::sources
