#include "app/IniFile.h"

#include <QFile>
#include <QList>

namespace zel::app {

void IniFile::load(const QString& path)
{
    m_values.clear();
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        parse(f.read(1 << 20)); // a configuration file is small; refuse to slurp a huge one
}

void IniFile::parse(const QByteArray& text)
{
    m_values.clear();
    QString section;
    const QString all = QString::fromUtf8(text);
    const QList<QStringView> lines = QStringView(all).split(QLatin1Char('\n'));
    for (QStringView raw : lines) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            if (close > 0)
                section = line.mid(1, close - 1).trimmed().toString().toLower();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const auto key = std::make_pair(section, line.left(eq).trimmed().toString().toLower());
        if (m_values.find(key) == m_values.end())
            m_values.emplace(key, line.mid(eq + 1).trimmed().toString());
    }
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    const auto it = m_values.find({section.toLower(), key.toLower()});
    return it == m_values.end() ? fallback : it->second;
}

} // namespace zel::app
