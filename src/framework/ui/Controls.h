#pragma once

#include <QString>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QWidget;

// The named controls the dialogs are built of: each gets its name as its object
// name, so that tests and the window styling find it.
namespace Controls {

// A heading takes the colour set's title colour.
QLabel *label(QWidget *parent, const QString &name, const QString &caption, bool heading = false);
// Buttons are not pressed by Enter unless a window makes one its default.
QPushButton *button(QWidget *parent, const QString &name, const QString &caption);
QRadioButton *radio(QWidget *parent, const QString &name, const QString &caption);
QCheckBox *check(QWidget *parent, const QString &name, const QString &caption);
// An edit of at most `maxLength` characters (no limit for 0).
QLineEdit *edit(QWidget *parent, const QString &name, int maxLength = 0);
// A menu item with its shortcut (none when `keys` is empty).
QAction *menuItem(QMenu *menu, const QString &name, const QString &caption, const QString &keys = {});

} // namespace Controls
