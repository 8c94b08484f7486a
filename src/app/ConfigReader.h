#pragma once

#include "model/Configuration.h"

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace zel::app {

// No zel.ini was found: the start fails with its usual message, and the places looked at are
// told so that a user knows where to put one.
class NoConfiguration : public std::runtime_error
{
public:
    explicit NoConfiguration(const QStringList& places)
        : std::runtime_error("no zel.ini found"), m_places(places)
    {
    }
    const QStringList& places() const { return m_places; }
    // The places, a line each: as text, and on standard error.
    QString placesText() const;
    void writePlaces() const;

private:
    QStringList m_places;
};

// Reads the configuration of a start once: a data directory given on the command line needs
// no zel.ini; otherwise the zel.ini given, or the first one found (ConfigLocation). Without a
// help file of its own choosing the program shows the one installed with it. Throws
// NoConfiguration, or std::runtime_error saying what is wrong with the zel.ini read.
model::Configuration readConfiguration(const QString& programDirectory, const QString& configFile,
                                       const QString& dataDirectory);

} // namespace zel::app
