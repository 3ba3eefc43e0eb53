#include "cli/usage_text.h"

#include <string>

#include "compiler/model/diagnostic_catalogue.h"

namespace scenario::tool {

std::string_view tool_help() {
    return "usage: scenario-tool COMMAND [ARGUMENTS]\n"
           "\n"
           "The authors' command line of scenario-builder: start from the built-in scenario,\n"
           "compile your own line and train texts, look into the compact files, draw the line,\n"
           "make the train card and the slowdown order.\n"
           "\n"
           "commands:\n"
           "  sources DIR          write the built-in texts into DIR\n"
           "  check ...            report every problem of a line and a train text\n"
           "  compile ...          compile a line description and a train service text\n"
           "  dump FILE            decode a compact file (.sim, .dat, _linea.dat)\n"
           "  plot DIR --out SVG   draw a compiled scenario as one SVG picture\n"
           "  view ...             write the route page: plan, profile, records, problems\n"
           "  explain N|NAME       explain an error or a warning (--list: all of them)\n"
           "  documents ...        make the train card and the slowdown order from the texts\n"
           "  help [COMMAND]       show this text, or the help of a command\n"
           "  help format          the format of the line and train texts (--markdown)\n"
           "\n"
           "options: --help on every command, --version\n"
           "exit status: 0 success, 1 the texts have a fault, 2 wrong usage or unusable files\n";
}

std::string_view sources_help() {
    return "usage: scenario-tool sources DIR [--force]\n"
           "\n"
           "Writes the five built-in texts into DIR (made if absent) under the names the builder\n"
           "gives them, byte for byte what scenario-builder writes: the line description\n"
           "(<title>_linea.txt), the train service text (<title>_<code>-.txt), the train card,\n"
           "the slowdown order and the notes. Deletes nothing. A file of the same name that is\n"
           "already there is left alone and the command fails, unless --force replaces it.\n";
}

std::string_view compile_help() {
    using compiler::Fault;
    static const std::string text =
        "usage: scenario-tool compile --line FILE --train FILE --title TITLE --code CODE\n"
        "                            --out DIR [--no-plan] [--json]\n"
        "\n"
        "Compiles the two texts exactly as scenario-builder does and writes into DIR\n"
        "<TITLE>_<CODE>.sim, <TITLE>_<CODE>.dat and, unless --no-plan, <TITLE>_linea.dat.\n"
        "The texts are only read: the compile works on copies.\n"
        "\n"
        "  --line FILE     the line description (format of <title>_linea.txt)\n"
        "  --train FILE    the train service text (format of <title>_<code>-.txt)\n"
        "  --title TITLE   the line title, which names the files and enters the codes\n"
        "  --code CODE     the train code\n"
        "  --out DIR       an existing directory for the compact files\n"
        "  --no-plan       no track plan: <TITLE>_linea.dat is neither written nor removed\n"
        "  --json          report as one JSON object on standard output\n"
        "\n"
        "A fault is reported as FILE:LINE: error N: meaning (position P m); the compact files\n"
        "are written all the same, except for " +
        std::to_string(number_of(Fault::format_markers_in_use)) + " and " +
        std::to_string(number_of(Fault::scenario_codes_in_use)) +
        ", which write none.\n"
        "exit status: 0 clean, 1 the texts have a fault, 2 wrong usage or unusable files\n";
    return text;
}

std::string_view check_help() {
    return "usage: scenario-tool check --line FILE --train FILE [--json] [--strict]\n"
           "                          [-Wno-NAME ...] [--color=auto|always|never]\n"
           "\n"
           "Reads both texts and reports every problem, in source order, writing nothing:\n"
           "  errors    every fault the build records, and those past the record where the\n"
           "            build stops reading; a reading failure by its record and value\n"
           "  warnings  what the readers accept without a fault but an author seldom means\n"
           "Each is FILE:LINE:COL: error N: ... or FILE:LINE:COL: warning: ... [-WNAME],\n"
           "with the line, a caret under the value, notes and a hint, as compilers print\n"
           "them; an editor that reads such lines can jump to each.\n"
           "\n"
           "  --json        one JSON object with a \"diagnostics\" array on standard output\n"
           "  --strict      warnings count as errors\n"
           "  -Wno-NAME     no warnings of that name ('scenario-tool explain --list')\n"
           "  --color=WHEN  colour on a terminal (auto), always or never\n"
           "exit status: 0 no error, 1 errors (or warnings with --strict), 2 wrong usage\n";
}

std::string_view dump_help() {
    return "usage: scenario-tool dump FILE [--json] [--cells A..B] [--every N]\n"
           "                              [--as scenario|cells|plan]\n"
           "\n"
           "Decodes a compact file by its layout, chosen from the name (.sim the scenario table,\n"
           "_linea.dat the track plan, any other .dat the cells) or by --as:\n"
           "  scenario table  every entry with its field names\n"
           "  cells           the non-zero fields of each cell, or of the cells A to B\n"
           "  track plan      length, bounding box and a point every N metres (default 1000)\n"
           "A file whose size does not fit its layout is reported as such.\n";
}

std::string_view plot_help() {
    return "usage: scenario-tool plot DIR --out FILE.svg [--title TITLE --code CODE]\n"
           "                         [--line FILE --train FILE]\n"
           "\n"
           "Draws the compiled scenario in DIR as one SVG picture: the track plan from\n"
           "<title>_linea.dat with the stations, the signals and the slowdown marked on it,\n"
           "and below it the profile along the route: gradient, height, speed limit,\n"
           "adhesion, mountain spans and station zones. DIR must hold one scenario (.sim);\n"
           "--title and --code choose one when it holds several. With --line FILE and\n"
           "--train FILE the problems 'check' finds in those texts are marked on the profile\n"
           "at their positions (red errors, orange warnings; the message as a tooltip).\n";
}

std::string_view view_help() {
    return "usage: scenario-tool view --line FILE --train FILE --out PAGE.html\n"
           "                          [--title TITLE] [--code CODE]\n"
           "\n"
           "Compiles the two texts in memory, as compile does, and writes one HTML page that\n"
           "shows the line and the run: the track plan, north up, to pan and zoom, and under\n"
           "it the profile along the route (height, gradient, curves, speed limit and\n"
           "slowdowns, adhesion) on one axis of metres, with a cursor that tells what applies\n"
           "at each metre. Every station, signal, board and span links back to the line of the\n"
           "text that made it, and the problems 'check' finds are listed and marked where they\n"
           "lie. The page is one file and loads nothing: open it in any browser, or send it.\n"
           "PAGE.html#m=37500 opens it at that metre, PAGE.html#find=NAME at that station.\n"
           "\n"
           "  --line FILE     the line description (format of <title>_linea.txt)\n"
           "  --train FILE    the train service text (format of <title>_<code>-.txt)\n"
           "  --out PAGE      the page to write (replaced when it exists)\n"
           "  --title TITLE   the line title, when the text's name does not give it\n"
           "  --code CODE     the train code, likewise\n"
           "\n"
           "The page is written even when the texts have faults: it shows them.\n"
           "exit status: 0 written, 1 written and the texts have a fault, 2 wrong usage or\n"
           "unusable files (nothing written)\n";
}

std::string_view explain_help() {
    return "usage: scenario-tool explain N|NAME\n"
           "       scenario-tool explain --list\n"
           "\n"
           "Explains an error the compile reports, by its number N (as in 'error 16') or its\n"
           "name (signal_cell_taken): what it means, whether a position goes with it, what\n"
           "causes it, a line that raises it and how to mend it. --list gives the number, name\n"
           "and meaning of every one; warnings are explained by their names\n"
           "(out-of-order), as check prints them after -W.\n";
}

std::string_view documents_help() {
    return "usage: scenario-tool documents --line FILE --train FILE --title TITLE\n"
           "                              --code CODE --out DIR [--leave-off NAME]...\n"
           "                              [--category TEXT] [--classification TEXT]\n"
           "                              [--locked-mass TONNES]\n"
           "\n"
           "Compiles the two texts as scenario-builder does and, when they compile without a\n"
           "fault, writes into DIR the train card <TITLE>_<CODE>_scheda_treno.txt and the\n"
           "slowdown order <TITLE>_<CODE>_rallentamenti.txt (Windows-1252, CR LF), both or\n"
           "neither. The card has a row for every station line, with its kilometre on the\n"
           "line's chainage and its times, and a row wherever the speed limit or the running\n"
           "speed changes; the order a row for every slowdown line.\n"
           "\n"
           "  --line FILE            the line description (format of <title>_linea.txt)\n"
           "  --train FILE           the train service text (format of <title>_<code>-.txt)\n"
           "  --title TITLE          the line title, which names the files\n"
           "  --code CODE            the train code\n"
           "  --out DIR              an existing directory for the two documents\n"
           "  --leave-off NAME       leave this location off both documents (repeatable)\n"
           "  --category TEXT        the train's category on the card (default \"V140 B\")\n"
           "  --classification TEXT  its classification (default REGIONALE)\n"
           "  --locked-mass TONNES   its locked mass (default 330)\n"
           "\n"
           "The built-in texts with --leave-off \"LIDO DI SERENA\" give the builder's "
           "documents\n"
           "byte for byte. A value the documents cannot print (a name longer than its column,\n"
           "a time off the half minute, more than 99 slowdowns) is refused, naming the line.\n"
           "exit status: 0 written, 1 the texts have a fault, 2 wrong usage, a value that\n"
           "cannot be printed or unusable files; with 1 and 2 nothing is written\n";
}

}  // namespace scenario::tool
