#include "commands/lsp_command.h"

#include <cerrno>
#include <chrono>
#include <fstream>

#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "lsp/reference_page.h"
#include "lsp/server.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace scenario::tool {

namespace {

constexpr std::string_view kSynopsis[] = {"[--log FILE]"};
constexpr OptionDescription kOptions[] = {
    {.name = "log",
     .placeholder = "FILE",
     .kind = ValueKind::file,
     .help = "append the messages and what the server did with them to FILE"},
};
constexpr ListItem kFeatures[] = {
    {"diagnostics",
     "every error and warning of check, on opening and on every change,\n"
     "with the other party of a cell fault and a link to the format"},
    {"hover", "the record and value under the cursor, as stored, and what applies there"},
    {"completion", "keywords of the section, headers, station names, few-valued fields"},
    {"outline", "sections, stations, signals, slowdowns, boards; folding by section"},
    {"definition", "from a position to the records of both texts on its cells"},
    {"quick fixes", "the mend of each diagnostic that has one"},
    {"formatting", "each record set with the blanks the builder writes"},
};
constexpr Paragraph kParagraphs[] = {
    {.text = "The Language Server Protocol for an editor, on standard input and output (JSON-RPC\n"
             "with Content-Length headers): the editor starts it and talks to it, a person does\n"
             "not. It reads the line and train texts as they stand in the editor, with the\n"
             "build's own reading, and gives:"},
    {.kind = ParagraphKind::list, .items = kFeatures, .follows = true},
    {.text = "A text pairs with the other text its folder's scenario.ini names, whose [run]\n"
             "then judges the timetable, or else with the other text of its title in its\n"
             "folder, by the builder's names (<title>_linea.txt, <title>_<code>-.txt), open or\n"
             "on disk; a scenario.ini is read again when saved. A line text alone\n"
             "is read with an empty train text, a train text alone against a bare route, and\n"
             "what follows only from the missing text is not told. The editor's characters are\n"
             "taken as Windows-1252, the texts' encoding; one it cannot hold is read as '?' and\n"
             "told. The codes link to the format reference, which it keeps in the user's cache\n"
             "folder. Standard output carries nothing but the protocol's messages."},
    {.kind = ParagraphKind::options},
    {.kind = ParagraphKind::exit_status,
     .text = "0 after shutdown and exit, 1 when the editor left without shutdown,\n"
             "2 wrong usage",
     .follows = true},
};

constexpr CommandDescription kDescription{
    .name = "lsp",
    .summary = "serve an editor: diagnostics, hover, completion, fixes, formatting",
    .synopsis = kSynopsis,
    .options = kOptions,
    .paragraphs = kParagraphs,
};

// The longest the diagnostics wait for a pause in the editor's messages.
constexpr auto kLongestWait = std::chrono::milliseconds(100);

// Whether more input is waiting, so that the diagnostics wait for the last of a burst of
// changes. Where it cannot be known, none is.
bool input_waiting() {
#ifdef _WIN32
    return false;
#else
    pollfd input{0, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0;
#endif
}

}  // namespace

const CommandDescription& lsp_description() {
    return kDescription;
}

int lsp_command(std::span<const std::string> args, std::ostream& out, std::ostream&) {
    const auto parsed = parse_arguments(args, kDescription);
    if (parsed.flag("help")) {
        out << help_text(kDescription);
        return kExitClean;
    }
    expect_positionals(parsed, 0, "");
    std::ofstream log_file;
    if (const auto log = parsed.value("log")) {
        log_file.open(*log, std::ios::app);
        if (!log_file) {
            throw EnvironmentError("the log '" + *log + "' cannot be written");
        }
    }
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#else
    // An editor that goes away closes the pipe: the write fails, the server ends.
    ::signal(SIGPIPE, SIG_IGN);
#endif
    const auto started = std::chrono::steady_clock::now();
    const auto log = [&](const std::string& line) {
        if (log_file) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started);
            log_file << ms.count() << " ms " << line << '\n' << std::flush;
        }
    };
    bool gone = false;
    lsp::Server::Options options;
    options.reference_page = lsp::reference_page_uri(lsp::user_cache_folder());
    lsp::Server server(
        [&](std::string_view framed) {
            if (gone) {
                return;
            }
            out.write(framed.data(), static_cast<std::streamsize>(framed.size()));
            out.flush();
            if (!out) {
                gone = true;
                log("the editor has gone: output closed");
            }
        },
        log_file ? lsp::Server::Log(log) : lsp::Server::Log(), options);
    static char buffer[1 << 16];
    auto last_idle = std::chrono::steady_clock::now();
    while (!server.finished() && !gone) {
#ifdef _WIN32
        const int got = _read(0, buffer, sizeof buffer);
#else
        const ssize_t got = ::read(0, buffer, sizeof buffer);
#endif
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            log("the editor has gone: end of input");
            break;
        }
        server.receive(std::string_view(buffer, static_cast<std::size_t>(got)));
        // The diagnostics wait for the end of a burst, but not for ever: an editor that asks
        // without pause still gets them.
        const auto now = std::chrono::steady_clock::now();
        if (!input_waiting() || now - last_idle > kLongestWait) {
            server.idle();
            last_idle = now;
        }
    }
    return server.exit_code();
}

}  // namespace scenario::tool
