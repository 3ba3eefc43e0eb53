// Writes the seed corpus of the fuzz targets: the built-in texts, the dense line of a short
// route, and small texts in the shapes the tests use, each at a record kind's edge.
//   fuzz-seeds COMPILE_DIR COMPILE_PLAN_DIR FIELD_READER_DIR LSP_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "limits/dense_line.h"
#include "sources/content_table.h"
#include "sources/writers.h"

namespace {

namespace fs = std::filesystem;

std::string crlf(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const std::string kGeneral = crlf({
    "[generale]",
    "lunghezza percorso,    3000",
    "progressiva chilometrica uno,    0,    3000,    1",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    90000",
    "sfondo due,    0",
    "sfondo tre,    1",
    "ripetizione segnali 4 codici,    1000,    2000",
});

const std::string kTrainGeneral = crlf({
    "[generale]",
    "numero vetture,    5",
    "percentuale massa frenata,    100",
    "sabbia,    150",
    "orologio,    6               36            30 ",
});

struct Seed {
    std::string line;
    std::string train;
};

std::vector<Seed> compile_seeds() {
    using namespace scenario;
    const auto dense = testing::dense_line(30000);
    std::vector<Seed> seeds{
        {sources::render(sources::content_table(sources::line_description_lines())),
         sources::render(sources::content_table(sources::train_service_lines()))},
        {dense.line_text, dense.train_text},
        {kGeneral + crlf({"[curve]", "curvas4,  850,  500", "curvad12,  1500,  100", "[pendenze]",
                          "pendenza,  0,   0", "pendenza,  1075,   -16", "[montagne]",
                          "montagna,   600,  800,  12", "montagna,   900,  1000,  11", "[cartelli]",
                          "indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0", "[indicazioni]",
                          "cartello_indicatore,  2200,   (INIZIO VIADOTTO)", "[fine]"}),
         kTrainGeneral +
             crlf({"[aderenze]", "aderenza,   0,    100", "aderenza,   1100,    80", "[vel_limite]",
                   "velocita,       0,    60", "velocita,    1100,    63", "[stazioni]",
                   "stazione,     400,  4,  800,  1, 0, 0,  4,1,1,  2,1,1,    1,   6,37, 0, A",
                   "stazione,    2000,  5,  300,  0, 0, 1,  1,1,0,  4,1,1,   90,   6,48, 0, B - C",
                   "[rallentamenti]", "rallentamento,   1550,    40,  300, 1,  1,  1", "[segnali]",
                   "segnale,    350,   2, 4, 1,  0, 0,    0,  0,0,0, 50", "[codici]",
                   "abbattimento,   2500,   120", "abbattimento,   2600,   0", "[fine]"})},
        {crlf({"[generale]", "lunghezza percorso,    1000000", "[curve]", "curvad6,  998000,  1999",
               "[indicazioni]", "cartello_indicatore,  1006900,   (FINE)", "[fine]"}),
         kTrainGeneral +
             crlf({"[stazioni]",
                   "stazione, 1006200,  4,  600,  0, 0, 0,  1,1,0,  2,1,1,    0,   8,34, 0, Z",
                   "[fine]"})},
        {crlf({"[generale]", "lunghezza percorso,    1000001", "[fine]"}), kTrainGeneral},
        {crlf({"[generale]", "LUNGHEZZA PERCORSO,    50", "Progressiva uno, 1, 2, 3", "- - -", "-",
               "-", "[x]", "pendenza,  -50,   300", "[fine]"}),
         crlf({"[generale]", "velocita, 0, 1275", "sabbia, 70000", "stazione, 0", "[fine]"})},
    };
    return seeds;
}

// Sessions of an editor with the language server, after the texts of the example route are
// open (fuzz/lsp_fuzz.cpp): requests at the places of its records, edits, and broken messages.
std::string framed(const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string request(int id, const std::string& method, const std::string& params) {
    return framed(R"({"jsonrpc":"2.0","id":)" + std::to_string(id) + R"(,"method":")" + method +
                  R"(","params":)" + params + "}");
}

std::string notification(const std::string& method, const std::string& params) {
    return framed(R"({"jsonrpc":"2.0","method":")" + method + R"(","params":)" + params + "}");
}

std::string at(const char* uri, int line, int character) {
    return R"({"textDocument":{"uri":")" + std::string(uri) + R"("},"position":{"line":)" +
           std::to_string(line) + R"(,"character":)" + std::to_string(character) + "}}";
}

std::string range(int l1, int c1, int l2, int c2) {
    return R"({"start":{"line":)" + std::to_string(l1) + R"(,"character":)" + std::to_string(c1) +
           R"(},"end":{"line":)" + std::to_string(l2) + R"(,"character":)" + std::to_string(c2) +
           "}}";
}

std::string edit(const char* uri, int version, const std::string& where, const std::string& text) {
    return notification("textDocument/didChange", R"({"textDocument":{"uri":")" + std::string(uri) +
                                                      R"(","version":)" + std::to_string(version) +
                                                      R"(},"contentChanges":[{"range":)" + where +
                                                      R"(,"text":")" + text + R"("}]})");
}

std::vector<std::string> lsp_seeds() {
    const char* line = "file:///route/T_linea.txt";
    const char* train = "file:///route/T_R1-.txt";
    const std::string document = R"({"textDocument":{"uri":")";
    std::string queries;
    int id = 1;
    for (const auto& [uri, l, c] : {std::tuple{train, 9, 22},
                                    {train, 9, 3},
                                    {train, 11, 75},
                                    {train, 17, 12},
                                    {line, 10, 10},
                                    {line, 17, 18},
                                    {line, 0, 0},
                                    {train, 12, 19}}) {
        for (const char* method : {"textDocument/hover", "textDocument/completion",
                                   "textDocument/definition", "textDocument/references"}) {
            queries += request(id++, method, at(uri, l, c));
        }
    }
    for (const char* uri : {line, train}) {
        for (const char* method : {"textDocument/documentSymbol", "textDocument/foldingRange",
                                   "textDocument/formatting"}) {
            queries += request(id++, method, document + uri + R"("}})");
        }
        queries += request(id++, "textDocument/codeAction",
                           document + uri + R"("},"range":)" + range(0, 0, 30, 0) +
                               R"(,"context":{"diagnostics":[]}})");
    }
    const std::string end = request(999, "shutdown", "null") + notification("exit", "null");
    const std::string edits =
        edit(line, 2, range(13, 0, 13, 8), "pendneza") +
        edit(train, 2, range(12, 70, 12, 75), "VALL\\u00c8\\ud83d\\ude00") +
        edit(train, 3, range(9, 0, 9, 24), "velocita;1.100;72.5") +
        edit(line, 3, range(2, 0, 5, 0), "") + edit(train, 4, range(40, 0, 40, 0), "\\r\\n[x]") +
        notification("workspace/didChangeWatchedFiles",
                     R"({"changes":[{"uri":"file:///route/T_linea.txt","type":2}]})") +
        notification("textDocument/didSave", document + line + R"("}})") +
        notification("textDocument/didClose", document + line + R"("}})");
    const std::string broken =
        "Content-Length: 12\r\n\r\n{\"jsonrpc\":[" + std::string("hello\r\n\r\n") +
        framed(std::string(80, '[') + std::string(80, ']')) + framed("[1,2]") +
        framed(R"({"jsonrpc":"2.0","id":{},"method":"x"})") +
        "Content-Length: 99999999999\r\n\r\n" + framed("{}");
    return {std::string(1, '\xfc') + queries + end, std::string(1, '\x03') + edits + queries + end,
            std::string(1, '\x00') + broken + queries, std::string(1, '\x01') + edits + end};
}

bool write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: fuzz-seeds COMPILE_DIR COMPILE_PLAN_DIR FIELD_READER_DIR LSP_DIR\n",
                   stderr);
        return 64;
    }
    const fs::path lsp_dir = argv[4];
    fs::create_directories(lsp_dir);
    const fs::path compile_dir = argv[1];
    const fs::path plan_dir = argv[2];
    const fs::path field_dir = argv[3];
    fs::create_directories(compile_dir);
    fs::create_directories(plan_dir);
    fs::create_directories(field_dir);
    int n = 0;
    bool ok = true;
    for (const auto& seed : compile_seeds()) {
        const std::string both = seed.line + std::string(1, '\0') + seed.train;
        ok = ok && write(compile_dir / ("seed-" + std::to_string(n)), both);
        ok = ok && write(plan_dir / ("seed-" + std::to_string(n)), both);
        // The field reader's first byte picks the kinds of field read in turn (two bits each).
        ok = ok && write(field_dir / ("seed-" + std::to_string(n) + "-line"),
                         std::string(1, '\x54') + seed.line);
        ok = ok && write(field_dir / ("seed-" + std::to_string(n) + "-train"),
                         std::string(1, '\xe4') + seed.train);
        ++n;
    }
    n = 0;
    for (const auto& seed : lsp_seeds()) {
        ok = ok && write(lsp_dir / ("seed-" + std::to_string(n++)), seed);
    }
    if (!ok) {
        std::fputs("fuzz-seeds: cannot write the seeds\n", stderr);
        return 1;
    }
    return 0;
}
