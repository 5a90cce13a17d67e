#pragma once

#include <QString>

class QButtonGroup;
class QFrame;
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
QRadioButton *radio(const QString &objectName, const QString &caption, QButtonGroup *group, QWidget *parent);
QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent);

} // namespace BackupControls
