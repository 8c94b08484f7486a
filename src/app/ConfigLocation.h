#pragma once

#include <QString>
#include <QStringList>

namespace zel::app {

// Where zel.ini is looked for, first match wins: beside the program, where a copy run from
// its build tree or a folder of its own keeps it; then the user's configuration directory;
// then the system's. An installed program in /usr/bin has nothing beside it, so the last two
// are what a packaged program uses.
class ConfigLocation
{
public:
    static QString fileName() { return QStringLiteral("zel.ini"); }

    // The environment the lookup depends on, as the variables are set (empty when unset).
    struct Environment
    {
        QString home;       // HOME
        QString configHome; // XDG_CONFIG_HOME
        QString configDirs; // XDG_CONFIG_DIRS, separated by ':'
        static Environment ofProcess();
    };

    // Every place looked at, in order. A relative or empty XDG_CONFIG_HOME means
    // $HOME/.config, and an empty XDG_CONFIG_DIRS means /etc/xdg; relative entries are
    // ignored, as the desktop's own programs do. No place is listed twice.
    static QStringList places(const QString& programDirectory, const Environment& env);
    // The first of places where anything of that name exists (the ini reader refuses what is
    // not a readable file, saying why), or an empty text when nothing does.
    static QString firstExisting(const QStringList& places);

    // The help file an installed program brings: share/zel/zel.html beside the bin folder
    // that holds the program. Empty when there is none.
    static QString installedHelpFile(const QString& programDirectory);
};

} // namespace zel::app
