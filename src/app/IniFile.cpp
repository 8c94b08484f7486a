#include "app/IniFile.h"

#include "data/base/FileAccess.h"
#include "data/base/FileName.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>
#include <cerrno>
#include <sys/stat.h>

namespace zel::app {

namespace {

QString decode(const QByteArray& text)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString s = utf8.decode(text);
    if (utf8.hasError())
        s = QString::fromLatin1(text);
    if (s.startsWith(QChar(0xFEFF)))
        s.remove(0, 1);
    return s;
}

// A path with blanks may be written in quotes; the quotes are not part of it.
QStringView unquote(QStringView value)
{
    if (value.size() >= 2 &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

void IniFile::load(const QString& path)
{
    m_values.clear();
    m_found = false;
    // A missing file reads as an empty one; anything else that cannot be read whole is an
    // error with its reason, never a silently empty or cut configuration.
    struct stat st
    {
    };
    if (::lstat(data::fileNameBytes(path).constData(), &st) != 0 && errno == ENOENT)
        return;
    const QByteArray text =
        data::readWholeFile(path, QStringLiteral("configuration file"), MaxBytes);
    m_found = true;
    parse(text);
}

void IniFile::parse(const QByteArray& text)
{
    m_values.clear();
    QString section;
    const QString all = decode(text);
    const QList<QStringView> lines = QStringView(all).split(QLatin1Char('\n'));
    for (QStringView raw : lines) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
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
            m_values.emplace(key, unquote(line.mid(eq + 1).trimmed()).toString());
    }
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const
{
    const auto it = m_values.find({section.toLower(), key.toLower()});
    return it == m_values.end() ? fallback : it->second;
}

} // namespace zel::app
