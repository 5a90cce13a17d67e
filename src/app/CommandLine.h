#pragma once

#include <QString>
#include <QStringList>

// What the program was started with: "/BROWSE" (any case) for browse mode, the
// path of a catalog table to open, or a question answered without a window
// (--help, --version). Anything else that starts with "-" is an unknown option.
struct CommandLine
{
    bool browse = false;
    QString catalog; // as given; empty when none
    bool help = false;
    bool version = false;
    QString unknownOption;

    // `arguments` without the program name.
    static CommandLine parse(const QStringList &arguments);
    static QString usage();
    static QString versionText();
};
