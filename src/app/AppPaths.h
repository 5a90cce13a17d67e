#pragma once

#include <QString>

// Where the program keeps its files, following the XDG base directories: a variable
// that is unset, empty or not an absolute path falls back to the usual place below
// the home directory. Tests point both at temporary directories by setting
// XDG_CONFIG_HOME and XDG_DATA_HOME.
namespace AppPaths {

// $XDG_CONFIG_HOME/Shelfmark (normally ~/.config/Shelfmark): the global settings.
QString configDir();

// $XDG_DATA_HOME/Shelfmark (normally ~/.local/share/Shelfmark): the default database,
// the report definitions and the default lists.
QString dataDir();

// The global settings file SHMKLIB.INI in configDir().
QString globalSettingsFile();

} // namespace AppPaths
