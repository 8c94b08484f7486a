#pragma once

#include <QString>
#include <QStringList>

namespace zel::test {

// The cells of one field as pxlib, the second reader, reads them, in the notation of the dump;
// "?" for a cell it cannot read. It runs in a child process: it aborts on some files (blob files
// of whole 4 KB blocks, as other software writes them), which gives {"pxlib crashed"}.
QStringList pxlibColumn(const QString& dbPath, const QString& mbPath, int field,
                        const QStringList& passwords = {});

// A copy of a blob file without the zero bytes that pad its last block: pxlib 0.6.8 aborts on
// a blob file of whole 4 KB blocks but reads one whose last block is cut short, as it writes
// them itself. Returns copyPath, or an empty string.
QString trimmedCopy(const QString& mbPath, const QString& copyPath);

// pxlib writes BCD numbers with a sign and all their digits; the same number, compared as text.
QString plainDecimal(QString s);

} // namespace zel::test
