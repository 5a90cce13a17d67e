#pragma once

#include <QString>

class QWidget;

// Opens the program's user guide: at its contents, or at the topic a window's
// keyword names ("Viewer Configuration Names", ...).
namespace HelpService {

void showContents(QWidget *parent);
void showTopic(QWidget *parent, const QString &keyword);

// F1 in any window asks for that window's help: its "HelpButton" is clicked,
// or its help command ("MenuHelp", "MenuContents") triggered. Installed once
// for the application.
void installHelpKey();

// The anchor in the guide for a keyword: lower case, runs of other characters
// than letters and digits turned into single dashes.
QString anchorFor(const QString &keyword);

} // namespace HelpService
