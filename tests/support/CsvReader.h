#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace zel::test {

// Reads CSV as a spreadsheet does under RFC 4180: fields separated by commas, records by
// CRLF (a lone LF too), a quoted field may hold commas, line breaks and doubled quotes.
// Written apart from the program's writer so that a test reading back what the program
// wrote catches a fault in either. ok is false for a quote that is never closed or text
// after a closing quote.
struct CsvTable
{
    QList<QStringList> rows;
    bool ok = true;
};

inline CsvTable readCsv(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    CsvTable t;
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false, any = false;
    const auto endField = [&] {
        row << field;
        field.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        any = true;
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;
        } else if (c == u'\n') {
            endField();
            t.rows << row;
            row.clear();
            any = false;
        } else {
            if (wasQuoted)
                t.ok = false;
            field += c;
        }
    }
    if (quoted)
        t.ok = false;
    if (any) {
        endField();
        t.rows << row;
    }
    return t;
}

} // namespace zel::test
