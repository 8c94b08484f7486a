#include "app/ConfigReader.h"

#include "app/ConfigLocation.h"
#include "app/IniFile.h"
#include "data/server/PgConnection.h"
#include "data/server/ServerSource.h"

#include <QDir>
#include <QTextStream>

namespace zel::app {

namespace {

constexpr int kHelpFileNameLength = 80;

QString withSeparator(QString dir)
{
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

} // namespace

QString NoConfiguration::placesText() const
{
    QString text = QStringLiteral("looked for zel.ini in:");
    for (const QString& place : m_places)
        text += QStringLiteral("\n  ") + QDir::toNativeSeparators(place);
    return text;
}

void NoConfiguration::writePlaces() const
{
    QTextStream err(stderr);
    for (const QString& line : placesText().split(QLatin1Char('\n')))
        err << "zel: " << line << '\n';
    err.flush();
}

model::Configuration readConfiguration(const QString& programDirectory, const QString& configFile,
                                       const QString& dataDirectory)
{
    model::Configuration configuration;
    const QString installedHelp = ConfigLocation::installedHelpFile(programDirectory);
    if (!dataDirectory.isEmpty()) {
        configuration.dataDirectory = withSeparator(dataDirectory);
        configuration.helpFile = installedHelp;
        return configuration;
    }

    const QStringList places =
        configFile.isEmpty()
            ? ConfigLocation::places(programDirectory, ConfigLocation::Environment::ofProcess())
            : QStringList{configFile};
    configuration.file = ConfigLocation::firstExisting(places);
    if (configuration.file.isEmpty())
        throw NoConfiguration(places);
    const IniFile ini(configuration.file);
    const QString help = ini.value(QStringLiteral("Help"), QStringLiteral("File Name"));

    const QString driver = ini.value(QStringLiteral("Database"), QStringLiteral("Driver"));
    if (driver.compare(data::server::ServerSource::driverName(), Qt::CaseInsensitive) == 0) {
        const QString connection =
            ini.value(QStringLiteral("Database"), QStringLiteral("Connection"));
        if (connection.isEmpty())
            throw std::runtime_error(
                "zel.ini names no server: [Database] Connection is missing or empty");
        if (!data::PgConnection::isValid(connection))
            throw std::runtime_error(
                "zel.ini's [Database] Connection is not a connection string or URI");
        // A password in a file every user may read is a password given away.
        if (data::PgConnection::hasPassword(connection))
            throw std::runtime_error(
                "zel.ini's [Database] Connection holds a password; keep it in ~/.pgpass, "
                "PGPASSWORD or a service file instead");
        configuration.connection = connection;
        const QString timeout = ini.value(QStringLiteral("Database"), QStringLiteral("Timeout"));
        if (!timeout.isEmpty()) {
            bool ok = false;
            configuration.timeout = timeout.toInt(&ok);
            if (!ok || configuration.timeout < 1 || configuration.timeout > 86400)
                throw std::runtime_error(
                    QStringLiteral("zel.ini's [Database] Timeout=%1 is not a number of seconds "
                                   "from 1 to 86400")
                        .arg(timeout)
                        .toStdString());
        }
        configuration.helpFile = help.isEmpty() ? installedHelp : help.left(kHelpFileNameLength);
        return configuration;
    }
    if (!driver.isEmpty() && driver.compare(QStringLiteral("STANDARD"), Qt::CaseInsensitive) != 0)
        throw std::runtime_error(
            QStringLiteral("zel.ini names an unknown database driver: [Database] Driver=%1")
                .arg(driver)
                .toStdString());

    // A relative path stays relative: it means the working directory, not the program's.
    const QString path = ini.value(QStringLiteral("Database"), QStringLiteral("Path"));
    if (path.isEmpty())
        throw std::runtime_error(
            QStringLiteral("%1 names no database: [Database] Path is missing or empty")
                .arg(QDir::toNativeSeparators(configuration.file))
                .toStdString());
    configuration.dataDirectory = withSeparator(path);
    configuration.helpFile = help.isEmpty() ? installedHelp : help.left(kHelpFileNameLength);
    return configuration;
}

} // namespace zel::app
