#include "AppPaths.h"

#include <QDir>

namespace AppPaths {

static QString programDir(const char *variable, const QString &fallbackBelowHome)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + fallbackBelowHome;
    return QDir::cleanPath(base + QLatin1String("/Shelfmark"));
}

QString configDir()
{
    return programDir("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString dataDir()
{
    return programDir("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

QString globalSettingsFile()
{
    return configDir() + QLatin1String("/SHMKLIB.INI");
}

} // namespace AppPaths
