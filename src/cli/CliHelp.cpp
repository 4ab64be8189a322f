#include "cli/CliHelp.h"

#include "platform/Paths.h"

namespace {

struct THelp
{
    const char* command;
    const char* summary; // one line of the overview
    const char* text;    // the command's own help, after its usage lines
};

const THelp kHelp[] = {
    {"config", "read and change the settings",
     "Usage: brelmont-cli config list\n"
     "  or:  brelmont-cli config get NAME\n"
     "  or:  brelmont-cli config set NAME VALUE\n"
     "  or:  brelmont-cli config unset NAME\n"
     "Read and change the program's settings, with the same rules as the settings dialog.\n"
     "\n"
     "NAME is a registry value name (UserName, Sender, ProxyAddress, ...) or Endpoints\\NAME\n"
     "(Endpoints/NAME also works). 'set' checks the value, saves, and says on standard error when\n"
     "a rule changed it; 'get UserName' and 'get Password' print the plain text.\n"
     "\n"
     "Exit status: 0 done, 1 the settings file cannot be read or written, 2 an unknown name or a\n"
     "value of the wrong type (the file is left as it was).\n"},
    {"count", "count the characters and SMS parts of a text",
     "Usage: brelmont-cli count [--text TEXT] [--recipients N [--duplicates N]]\n"
     "                          [--to NUMBER]... [--list NAME]... [--language ITA|ENG|POR]\n"
     "Show what the message box would show for TEXT: the counter, the parts, the total SMS, the\n"
     "Unicode and too-long flags, the recipients label and the send caption.\n"
     "\n"
     "  --text TEXT          the message (default: standard input, less its final line break);\n"
     "                       line breaks count as CR LF\n"
     "  --recipients N       the number of recipients\n"
     "  --duplicates N       of which N were left out as duplicates\n"
     "  --to NUMBER          a recipient (repeatable); cleaned and de-duplicated as in the window\n"
     "  --list NAME          the members of a list of the local phone book (repeatable)\n"
     "  --language CODE      the language of the texts (default: the configured one)\n"
     "\n"
     "Exit status: 0 counted, 2 bad arguments.\n"},
    {"send", "send an SMS through the provider's gateway",
     "Usage: brelmont-cli send --to NUMBERS [--to ...] [--list NAME ...] --text TEXT\n"
     "                         [--quality high|medium] [--anonymous] [--at \"YYYY-MM-DD HH:MM\"]\n"
     "Send TEXT with the stored account, sender, language, proxy and endpoints, and print the\n"
     "outcome in the configured language. A text outside the GSM alphabet is sent as Unicode.\n"
     "\n"
     "  --to NUMBERS         recipients, separated by ';' (repeatable)\n"
     "  --list NAME          the members of a list of the local phone book (repeatable)\n"
     "  --text TEXT          the message\n"
     "  --quality LEVEL      high (the default) or medium\n"
     "  --anonymous          send without the sender's name\n"
     "  --at DATE-TIME       deliver later; local time, converted with the TimeZone setting\n"
     "\n"
     "Exit status: 0 accepted, 1 refused or unreachable, 2 bad arguments.\n"},
    {"credit", "show the account's credit",
     "Usage: brelmont-cli credit\n"
     "Log in to the gateway with the stored account and print the remaining credit.\n"
     "\n"
     "Exit status: 0 shown, 1 refused or unreachable, 2 bad arguments.\n"},
    {"phonebook", "show and change the phone book, import address books",
     "Usage: brelmont-cli phonebook dump [--remote]\n"
     "  or:  brelmont-cli phonebook add NAME NUMBER\n"
     "  or:  brelmont-cli phonebook add --remote NICK NUMBER\n"
     "  or:  brelmont-cli phonebook delete --remote ID\n"
     "  or:  brelmont-cli phonebook import-legacy FILE [--replace]\n"
     "  or:  brelmont-cli phonebook import-contacts FILE [--prefix +NN] [--mobile-only]\n"
     "Work on the local phone book (pbook.qpb), or with --remote on the provider's phone book at\n"
     "Endpoints\\PhoneBookServiceUrl with the stored account.\n"
     "\n"
     "  dump                 kind, ID, caption and number of every entry; list members indented\n"
     "  add                  add one contact (with --remote: print the new contact's ID)\n"
     "  delete --remote      delete the remote contact ID\n"
     "  import-legacy        read the previous version's XML phone book and its list files;\n"
     "                       --replace empties the phone book first\n"
     "  import-contacts      add one contact per number of a vCard file (2.1, 3.0, 4.0) or an\n"
     "                       Outlook CSV export; --prefix is given to numbers without an\n"
     "                       international prefix, --mobile-only takes the mobile numbers only\n"
     "\n"
     "Exit status: 0 done, 1 a file, the phone book or the service failed, 2 bad arguments.\n"},
    {"list", "show, import, export, rename and delete lists",
     "Usage: brelmont-cli list show [NAME] [--remote]\n"
     "  or:  brelmont-cli list import NAME FILE [--prefix +NN]\n"
     "  or:  brelmont-cli list export NAME FILE\n"
     "  or:  brelmont-cli list rename OLD NEW\n"
     "  or:  brelmont-cli list delete NAME\n"
     "Work on the lists of the local phone book (with --remote, show the provider's lists).\n"
     "\n"
     "  show                 every list and its size, or one list's members: number TAB name\n"
     "  import               create the list, or replace its members, from FILE: .csv or .txt\n"
     "                       ('number', 'name;number' or 'last;first;number' per line), .xls or\n"
     "                       .xlsx; --prefix is given to numbers without an international prefix\n"
     "  export               write the members as 'name;number' lines in Windows-1252 with CR LF\n"
     "                       (\".csv\" is added when FILE has no extension)\n"
     "\n"
     "Exit status: 0 done, 1 a file or the phone book could not be read or written, 2 bad\n"
     "arguments (an unknown option, a name no list can have, a missing prefix, a file type other\n"
     "than those above). Nothing is written when a command fails.\n"},
    {"lookup", "ask the operator and reachability of a number",
     "Usage: brelmont-cli lookup NUMBER\n"
     "Ask the provider's service host for the operator, location and reachability of NUMBER (the\n"
     "service charges one SMS) and print one 'Name: value' line each, in the configured language.\n"
     "\n"
     "Exit status: 0 the service answered \"+OK\", 1 otherwise (its message on standard error),\n"
     "2 bad arguments.\n"},
    {"suggest", "send a suggestion to the provider",
     "Usage: brelmont-cli suggest [--text TEXT]\n"
     "Post a suggestion to the provider: TEXT, or standard input less its final line break.\n"
     "\n"
     "Exit status: 0 the reply holds \"+OK\", 1 otherwise, 2 bad arguments.\n"},
    {"update", "look for a newer version and download it",
     "Usage: brelmont-cli update check [--manual]\n"
     "  or:  brelmont-cli update download [--no-run] [--output FILE]\n"
     "Look for a newer version in the update description, or download its setup program (with a\n"
     "progress bar on a terminal), check its digest and start it.\n"
     "\n"
     "  --manual             compare all four version numbers, as the menu's check does\n"
     "  --no-run             download only\n"
     "  --output FILE        where the setup program goes (default: the program's data folder)\n"
     "\n"
     "Exit status: check: 0 a newer version is published, 1 not, or unreachable;\n"
     "download: 0 done, 1 failed; 2 bad arguments.\n"},
};

const THelp* HelpOf(const QString& command)
{
    for (const THelp& help : kHelp)
        if (command == QLatin1StringView(help.command))
            return &help;
    return nullptr;
}

bool IsHelpOption(const QString& arg)
{
    return arg == u"--help" || arg == u"-h";
}

void PrintOverview(QTextStream& out)
{
    out << "Usage: brelmont-cli COMMAND [ARGS]...\n"
           "  or:  brelmont-cli COMMAND --help\n"
           "  or:  brelmont-cli --version\n"
           "The TarvoTelecom SMS service from a shell, with the settings, phone book and lists of\n"
           "the Brelmont program.\n"
           "\n"
           "Commands:\n";
    for (const THelp& help : kHelp)
        out << "  " << QString::fromLatin1(help.command).leftJustified(11) << help.summary << '\n';
    out << "\n"
           "  -h, --help     display this help and exit\n"
           "      --version  output version information and exit\n"
           "\n"
           "Settings are read from $BRELMONT_REGISTRY, else $XDG_CONFIG_HOME/Brelmont/registry.reg;\n"
           "the phone book is $XDG_DATA_HOME/Brelmont/pbook.qpb.\n"
           "Run 'brelmont-cli COMMAND --help' for the arguments of one command.\n";
}

} // namespace

std::optional<int> RunHelpOrVersion(const QString& command, const QStringList& args, CliIo io)
{
    if (command == u"--version" && args.isEmpty()) {
        io.out << "brelmont-cli (Brelmont) " << GetProgramVersion() << '\n';
        return CliOk;
    }
    if ((IsHelpOption(command) && args.isEmpty()) || (command == u"help" && args.isEmpty())) {
        PrintOverview(io.out);
        return CliOk;
    }
    // "help COMMAND" and "COMMAND --help"; an option after a command's own arguments is the
    // command's business, as before.
    QString asked;
    if (command == u"help" && args.size() == 1)
        asked = args.first();
    else if (args.size() == 1 && IsHelpOption(args.first()))
        asked = command;
    else
        return std::nullopt;
    const THelp* help = HelpOf(asked);
    if (!help) {
        io.err << "brelmont-cli: no command '" << asked << "'; see 'brelmont-cli --help'\n";
        return CliBadArguments;
    }
    io.out << help->text;
    return CliOk;
}
