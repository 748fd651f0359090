// skedra-vcs: read, inspect and rewrite .vcs files with Skedra's own reader
// and writer. main() only picks the subcommand from the table below; a new
// subcommand is a file of its own plus one row here.
#include "commands.h"
#include "vcslist.h"

#include <QCoreApplication>

#include <cstring>
#include <iterator>

using namespace skedra::tool;

namespace {

const Command Commands[] = {
    {"dump", "FILE.vcs", "print every entry's non-empty slots as entry<TAB>slot<TAB>text", runDump},
    {"copy", "IN.vcs OUT.vcs", "read IN as File, Open, New does and write all entries to OUT as Save as does",
     runCopy},
    {"list", "FILE.vcs", "print every entry as the main list shows it: columns 1 to 10, tab-separated",
     skedra::runListCommand},
    {"month", "FILE.vcs YYYY-MM",
     "print the entries of each day of the month as the calendar shows them: date<TAB>entry<TAB>summary",
     runMonth},
    {"vcard", "FILE.vcf", "print the records the telephone book's vCard import would add: number,name per line",
     runVCard},
    {"to-ics", "IN.vcs OUT.ics",
     "read IN as File, Open, New does and write all entries to OUT as iCalendar (UTF-8), as the File menu's "
     "iCalendar export does",
     runToIcs},
    {"from-ics", "IN.ics OUT.vcs",
     "read the events and to-dos of the iCalendar file IN as the File menu's iCalendar import does and write "
     "them to OUT as Save as does",
     runFromIcs},
};

void printHelp(std::FILE *to)
{
    std::fprintf(to, "usage: skedra-vcs COMMAND ARGS...\n\ncommands:\n");
    for (const Command &c : Commands)
        std::fprintf(to, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::fprintf(to,
                 "\n"
                 "dump prints entries from 0 and slots 0-89 (0-29 names, 30-59 parameters,\n"
                 "60-89 values) as UTF-8; backslash, tab, CR and LF in a text (and in a\n"
                 "summary that month prints) are written as \\\\, \\t, \\r and \\n.\n"
                 "month prints one line per day and entry, days in order, each day's entries\n"
                 "in list order. vcard prints the records in file order, before the book\n"
                 "sorts them. from-ics gives new entries the model and entry defaults\n"
                 "stored by Skedra, as its add command does. Messages of the reader and\n"
                 "writer go to stderr.\n"
                 "Exit status: 0 on success (warnings included), 1 when the file could not\n"
                 "be read or written, or is not a vCard or iCalendar file.\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help") {
        printHelp(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 1 : 0;
    }
    for (const Command &c : Commands) {
        if (args[0] == QLatin1String(c.name))
            return c.run(args.mid(1));
    }
    std::fprintf(stderr, "skedra-vcs: unknown command \"%s\"\n\n", qPrintable(args[0]));
    printHelp(stderr);
    return 1;
}
