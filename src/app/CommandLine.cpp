#include "CommandLine.h"

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    bool optionsEnd = false;
    for (const QString &argument : arguments) {
        if (!optionsEnd && argument == QLatin1String("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && argument.compare(QLatin1String("/BROWSE"), Qt::CaseInsensitive) == 0) {
            line.browse = true;
        } else if (!optionsEnd && (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            line.help = true;
        } else if (!optionsEnd && (argument == QLatin1String("--version") || argument == QLatin1String("-v"))) {
            line.version = true;
        } else if (!optionsEnd && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (line.unknownOption.isEmpty())
                line.unknownOption = argument;
        } else if (line.catalog.isEmpty()) {
            line.catalog = argument;
        }
    }
    return line;
}

QString CommandLine::usage()
{
    return QStringLiteral("Usage: shelfmark [/BROWSE] [CATALOG.DBF]\n"
                          "Keeps a catalog of a personal book collection.\n"
                          "\n"
                          "  CATALOG.DBF    open this catalog, as File > Open Database would\n"
                          "  /BROWSE        browse mode: books, lists and files cannot be changed\n"
                          "  -h, --help     show this summary and end\n"
                          "  -v, --version  show the program's version and end\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Shelfmark Books " SHELFMARK_VERSION);
}
