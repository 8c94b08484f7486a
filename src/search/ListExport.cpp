#include "search/ListExport.h"

#include "data/base/FileAccess.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "model/StabilityMedia.h"
#include "search/TSearchClass.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <limits>

namespace zel::search {

namespace {

// The material's own columns, as the header names them and the table holds them.
const std::vector<std::pair<QString, const QString*>>& fieldColumns()
{
    static const std::vector<std::pair<QString, const QString*>> columns{
        {QStringLiteral("CAS"), &model::fields::cas},
        {QStringLiteral("name"), &model::fields::name},
        {QStringLiteral("name1"), &model::fields::name1},
        {QStringLiteral("name2"), &model::fields::name2},
        {QStringLiteral("odour"), &model::fields::odour},
        {QStringLiteral("performance"), &model::fields::performance},
        {QStringLiteral("application"), &model::fields::application},
        {QStringLiteral("literature"), &model::fields::literature},
    };
    return columns;
}

// Every text is quoted, not only those that must be: a spreadsheet told to take quoted fields
// as text then keeps a CAS number such as "140-11-4" as it is instead of reading a date or a
// number into it. An empty field stays empty.
QString quoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// What a spreadsheet's default import takes for a formula, quoted or not: a name such as
// =HYPERLINK(...) would become a live link. Signs alone (the ratings "+", "++", "-") are no
// formula and stay as they are.
bool formulaLike(const QString& text)
{
    switch (text.front().unicode()) {
    case '=':
    case '@':
    case '\t':
    case '\r':
        return true;
    case '+':
    case '-':
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c != QLatin1Char('+') && c != QLatin1Char('-'); });
    default:
        return false;
    }
}

QString cell(const QString& text)
{
    if (text.isEmpty())
        return text;
    if (!formulaLike(text))
        return quoted(text);
    // A blank before it makes the import read text. Unquoted, that blank is one an import
    // told to trim the blanks of unquoted fields takes away again, so the name comes back
    // exactly; a text that must be quoted, or that ends in blanks of its own, keeps it.
    const QString guarded = QLatin1Char(' ') + text;
    const bool plain =
        !text.endsWith(QLatin1Char(' ')) && std::none_of(text.begin(), text.end(), [](QChar c) {
            return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
                   c == QLatin1Char('\r') || c == QLatin1Char('\t');
        });
    return plain ? guarded : quoted(guarded);
}

QString fieldText(const data::Table& table, int record, int field)
{
    return field < 0 ? QString() : table.text(record, field).toString();
}

} // namespace

QStringList ListExport::header(bool withNotes)
{
    QStringList cells;
    for (const auto& column : fieldColumns())
        cells << column.first;
    cells << model::StabilityMedia();
    if (withNotes)
        cells << QStringLiteral("favourite") << QStringLiteral("note");
    return cells;
}

QStringList ListExport::row(const data::Table& materials, int record)
{
    QStringList cells;
    for (const auto& column : fieldColumns())
        cells << fieldText(materials, record, materials.fieldIndex(*column.second));
    const QString stabil =
        fieldText(materials, record, materials.fieldIndex(model::fields::stabil));
    for (int medium = 1; medium <= model::MediaCount; ++medium)
        cells << model::ratingText(model::ratingChar(stabil, medium));
    return cells;
}

QByteArray ListExport::csvLine(const QStringList& cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += cell(cells[i]);
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

std::vector<int> ListExport::listedIds(const TSearchClass& list)
{
    std::vector<int> ids;
    ids.reserve(static_cast<size_t>(std::max(list.count(), 0)));
    for (int row = 1; row <= list.count(); ++row)
        ids.push_back(list.IdAtRow(row));
    return ids;
}

QString ListExport::writeCsv(const QString& path, const data::Table& materials,
                             const std::vector<int>& ids, const Progress& progress,
                             const Notes* notes)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir())
        return QStringLiteral("Cannot write %1: it is a folder").arg(shown);

    // Records by id, once, so that the order of the list costs nothing to follow.
    // Ids may have gaps and run past the number of materials.
    QHash<int, int> recordOf;
    const int idField = materials.fieldIndex(model::fields::id);
    if (idField >= 0) {
        recordOf.reserve(materials.recordCount());
        for (int record = 0; record < materials.recordCount(); ++record) {
            const qint64 id = materials.integer(record, idField);
            if (id >= 1 && id <= std::numeric_limits<int>::max())
                recordOf.insert(static_cast<int>(id), record);
        }
    }

    // A regular file is replaced only once every byte is written; a pipe or a device is
    // written straight into, and anything else is refused, never replaced.
    data::OutputFile output(path);
    try {
        output.open();
    } catch (const data::FileAccessError& e) {
        return e.message();
    }
    QFile& file = output.device();
    file.write("\xEF\xBB\xBF");
    file.write(csvLine(header(notes != nullptr)));
    const int casField = materials.fieldIndex(model::fields::cas);
    const int total = static_cast<int>(ids.size());
    for (int i = 0; i < total; ++i) {
        if (progress)
            progress(i, total);
        const auto record = recordOf.constFind(ids[static_cast<size_t>(i)]);
        if (record == recordOf.constEnd())
            continue;
        QStringList cells = row(materials, *record);
        if (notes) {
            const auto kept = notes->find(fieldText(materials, *record, casField));
            const bool found = kept != notes->end();
            cells << (found && kept->second.favourite ? QStringLiteral("yes") : QString())
                  << (found ? kept->second.note : QString());
        }
        file.write(csvLine(cells));
    }
    if (progress)
        progress(total, total);
    // Nothing replaces the old file unless every byte was written.
    try {
        output.commit();
    } catch (const data::FileAccessError& e) {
        return e.message();
    }
    return QString();
}

} // namespace zel::search
