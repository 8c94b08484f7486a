#pragma once

#include <QString>
#include <map>
#include <utility>

namespace zel::app {

// A read-only INI file with the usual desktop rules: section and key names compared
// without regard to case, values trimmed and freed of one pair of enclosing quotes, the
// first occurrence of a key wins, lines starting with ';' or '#' are comments. A missing
// or unreadable file, or anything but a plain file, reads as empty. Text is UTF-8 (with or without
// a byte-order mark) or, when it is not valid UTF-8, Latin-1 as older editors write it.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QString& path) { load(path); }
    void load(const QString& path);
    void parse(const QByteArray& text);
    QString value(const QString& section, const QString& key,
                  const QString& fallback = QString()) const;

private:
    std::map<std::pair<QString, QString>, QString> m_values; // lower-case section and key
};

} // namespace zel::app
