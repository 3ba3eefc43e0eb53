#include <array>
#include <string_view>

#include "files/file_names.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace scenario::sources {

namespace {

// The notes: six paragraphs, a blank line and the signature. Accented letters are single
// Windows-1252 bytes.
constexpr std::array<std::string_view, 9> kLines{
    "La linea da Morena Lago a Pian di Valso costituisce il primo tratto della lunga "
    "ferrovia che risale tutta la Val Valso.",
    "Si tratta di una linea a semplice binario, non elettrificata, che non consente velocit\xE0 "
    "elevate a causa del tracciato tortuoso, delle forti pendenze e dell'armamento leggero: "
    "lungo il lago e nella gola si viaggia a 60 o a 70 km/h e solamente nell'alta valle si "
    "arriva a 90. Il tracciato e il profilo altimetrico sono riprodotti con buona fedelt\xE0, "
    "mentre il segnalamento \xE8 stato progettato ex novo per adattare la linea a un simulatore "
    "di linee elettrificate con la ripetizione dei segnali a bordo.",
    "Il treno regionale 10537 \xE8 composto da una locomotiva diesel D.445 e da cinque carrozze "
    "a piano ribassato; a Pian di Valso la sua corsa non termina: dopo una breve sosta "
    "prosegue per Sondalto e l'alta valle. Gli altri treni viaggiatori della linea sono "
    "effettuati quasi tutti con automotrici ALn 668.",
    "A Castelletto Lago, Ponte Orsera, Valso di Sotto, Rocca Alta e Pieve di Valso la sosta "
    "\xE8 lunga, perch\xE9 il treno attende l'incrocio con i treni che vanno in senso opposto.",
    "Lungo il percorso non mancano gli imprevisti. L'ingresso a Ponte Orsera \xE8 rallentato "
    "dalla manovra dei carri del raccordo della cementeria. Prima di Fontanelle un carrello "
    "di manutenzione, che sta liberando la tratta, ostacola l'avvicinamento alla fermata e "
    "tiene chiuso il segnale di blocco. Tra Rocca Alta e Fornace un rallentamento a 40 km/h "
    "protegge i lavori di consolidamento della parete rocciosa sopra la galleria. A Fornace, "
    "infine, un treno viaggiatori in sosta sul primo binario costringe il nostro treno "
    "all'ingresso sul binario deviato.",
    "L'aderenza \xE8 in genere buona, ma si riduce nelle gallerie, nelle strette gole della "
    "valle dove il sole del primo mattino arriva tardi e lungo il lago, tra Lido di Serena e "
    "Porto Ascenso, dove le rotaie sono ancora bagnate dalla condensa della notte: \xE8 quindi "
    "consigliabile dosare con cura la trazione e la frenatura, soprattutto in partenza dalle "
    "stazioni in salita.",
    "",
    "Luca Ferrandi",
    "Novara ",
};

}  // namespace

std::span<const std::string_view> notes_lines() {
    return kLines;
}

void dati_note(const std::filesystem::path& directory, std::string_view LineTitle,
               std::string_view TrainCode) {
    write_content(files::full_path(directory, files::notes_name(LineTitle, TrainCode)),
                  content_table(kLines));
}

void dati_note(files::OutputSet& set, const std::filesystem::path& directory,
               std::string_view LineTitle, std::string_view TrainCode) {
    add_content(set, files::full_path(directory, files::notes_name(LineTitle, TrainCode)),
                content_table(kLines));
}

}  // namespace scenario::sources
