#pragma once

#include <QString>
#include <array>
#include <utility>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

// The controls that the backup and the restore window are built of, each
// named for tests and automation.
namespace BackupControls {

QFrame *panel(const QString &objectName, QWidget *parent);
// A bold heading that takes the major-titles colour.
QLabel *heading(const QString &objectName, const QString &caption, QWidget *parent);

// "Panel1": the heading "Label1" over the four radio buttons of what to copy,
// each given by its object name and caption; the buttons are put in `radios`.
using Choice = std::pair<QString, QString>;
QFrame *choices(const QString &caption, const std::array<Choice, 4> &choices, std::array<QRadioButton *, 4> &radios,
                QWidget *parent);

// "StartButton" (the default button), "CancelButton" and "HelpButton" in a
// row at the right.
struct Commands
{
    QHBoxLayout *row;
    QPushButton *start;
    QPushButton *cancel;
    QPushButton *help;
};
Commands commands(const QString &startCaption, QWidget *parent);

} // namespace BackupControls
