#pragma once

#include <QString>
#include <map>
#include <utility>

namespace zel::app {

// A read-only INI file with the usual desktop rules: section and key names compared
// without regard to case, values trimmed and freed of one pair of enclosing quotes, the
// first occurrence of a key wins, lines starting with ';' or '#' are comments. A missing file
// reads as empty; one that cannot be read (no permission, a directory, a pipe or a device of
// that name, more than MaxBytes) throws data::FileAccessError saying why. Text is UTF-8 (with
// or without a byte-order mark) or, when the whole file is not valid UTF-8, Latin-1 as older
// editors write it.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QString& path) { load(path); }
    static constexpr qint64 MaxBytes = 1 << 20;

    void load(const QString& path);
    // False when the file loaded did not exist.
    bool found() const { return m_found; }
    void parse(const QByteArray& text);
    QString value(const QString& section, const QString& key,
                  const QString& fallback = QString()) const;

private:
    bool m_found = false;
    std::map<std::pair<QString, QString>, QString> m_values; // lower-case section and key
};

} // namespace zel::app
