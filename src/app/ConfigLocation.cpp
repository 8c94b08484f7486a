#include "app/ConfigLocation.h"

#include <QDir>
#include <QFileInfo>

namespace zel::app {

namespace {

QString inZelFolder(const QString& base)
{
    return QDir::cleanPath(base + QStringLiteral("/zel/") + ConfigLocation::fileName());
}

} // namespace

ConfigLocation::Environment ConfigLocation::Environment::ofProcess()
{
    return {qEnvironmentVariable("HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"),
            qEnvironmentVariable("XDG_CONFIG_DIRS")};
}

QStringList ConfigLocation::places(const QString& programDirectory, const Environment& env)
{
    QStringList result{QDir::cleanPath(programDirectory + QLatin1Char('/') + fileName())};
    const auto add = [&result](const QString& path) {
        if (!result.contains(path))
            result << path;
    };

    if (QDir::isAbsolutePath(env.configHome))
        add(inZelFolder(env.configHome));
    else if (QDir::isAbsolutePath(env.home))
        add(inZelFolder(env.home + QStringLiteral("/.config")));

    QStringList dirs;
    for (const QString& dir : env.configDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            dirs << dir;
    if (dirs.isEmpty())
        dirs << QStringLiteral("/etc/xdg");
    for (const QString& dir : dirs)
        add(inZelFolder(dir));
    return result;
}

QString ConfigLocation::firstExisting(const QStringList& places)
{
    // Anything of that name ends the lookup: a folder, a pipe or an unreadable file there is
    // reported as what it is, rather than passed over for a file the user did not mean.
    for (const QString& place : places) {
        const QFileInfo info(place);
        if (info.exists() || info.isSymLink())
            return place;
    }
    return QString();
}

QString ConfigLocation::installedHelpFile(const QString& programDirectory)
{
    const QString help =
        QDir::cleanPath(programDirectory + QStringLiteral("/../share/zel/zel.html"));
    return QFileInfo(help).isFile() ? help : QString();
}

} // namespace zel::app
