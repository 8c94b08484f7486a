#include "common/TableDump.h"

#include <QStringList>
#include <cstdlib>

namespace zel::data {

namespace {

QString isoDate(QDate d)
{
    // The calendar has no year 0 (1 BC comes before AD 1); ISO 8601 counts one, so the years
    // before AD 1 are one nearer to zero: 1 BC is 0000, 2 BC is -0001.
    const int y = d.year() < 0 ? d.year() + 1 : d.year();
    return QStringLiteral("%1%2-%3-%4")
        .arg(y < 0 ? QStringLiteral("-") : QString())
        .arg(std::abs(y), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'));
}

QString isoTime(QTime t)
{
    QString s = t.toString(QStringLiteral("HH:mm:ss"));
    if (t.msec() != 0)
        s += QStringLiteral(".%1").arg(t.msec(), 3, 10, QLatin1Char('0'));
    return s;
}

} // namespace

QString dumpCell(const TableStore& table, int record, int field)
{
    if (table.isNull(record, field))
        return QString();
    const QVariant v = table.value(record, field);
    switch (table.field(field).type) {
    case FieldType::Date:
        return isoDate(v.toDate());
    case FieldType::Time:
        // A time outside the day comes as its number of milliseconds.
        if (v.typeId() != QMetaType::QTime)
            return v.toString();
        return isoTime(v.toTime());
    case FieldType::Timestamp: {
        if (v.typeId() != QMetaType::QDateTime)
            return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        const QDateTime when = v.toDateTime();
        return isoDate(when.date()) + QLatin1Char('T') + isoTime(when.time());
    }
    case FieldType::Number:
    case FieldType::Currency:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case FieldType::Bytes:
    case FieldType::Binary:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Other: {
        const QByteArrayView bytes = table.bytes(record, field);
        return QString::number(bytes.size()) + QLatin1Char(':') +
               QString::fromLatin1(bytes.toByteArray().toBase64());
    }
    default:
        return v.toString();
    }
}

QString dumpTitle(const FieldDef& field)
{
    if (field.type == FieldType::Other)
        return QStringLiteral("%1 [unknown type %2]").arg(field.name).arg(field.typeCode);
    return field.name;
}

QString csvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) &&
        !s.contains(QLatin1Char('\n')) && !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void writeCsv(const TableStore& table, QTextStream& out)
{
    QStringList cells;
    for (const FieldDef& f : table.fields())
        cells << csvField(dumpTitle(f));
    out << cells.join(QLatin1Char(',')) << '\n';
    for (int r = 0; r < table.recordCount(); ++r) {
        cells.clear();
        for (int f = 0; f < table.fieldCount(); ++f)
            cells << csvField(dumpCell(table, r, f));
        out << cells.join(QLatin1Char(',')) << '\n';
    }
}

} // namespace zel::data
