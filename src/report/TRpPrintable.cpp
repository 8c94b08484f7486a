#include "report/TRpPrintable.h"

#include "data/engine/Dataset.h"
#include "report/LineBreaker.h"
#include "report/TRpReport.h"

#include <QDateTime>
#include <QLocale>
#include <exception>

namespace zel::report {

QString TRpDBText::text(const TRpReport&) const
{
    if (!dataset || !dataset->isOpen() || dataset->eof())
        return {};
    try {
        if (!dataset->hasField(fieldName))
            return {};
        const QVariant v = dataset->value(fieldName);
        if (!mask.isEmpty()) {
            const QLocale locale;
            switch (v.typeId()) {
            case QMetaType::Double:
            case QMetaType::Int:
            case QMetaType::LongLong: {
                // The mask's digits after its decimal point say how many decimals print.
                const qsizetype point = mask.indexOf(QLatin1Char('.'));
                const int decimals = point < 0 ? 0 : int(mask.size() - point - 1);
                return locale.toString(v.toDouble(), 'f', decimals);
            }
            case QMetaType::QDate:
                return locale.toString(v.toDate(), mask);
            case QMetaType::QDateTime:
                return locale.toString(v.toDateTime(), mask);
            default:
                break;
            }
        }
        // A memo's lines end in CR LF or LF alone; either way each prints as its own line.
        return LineBreaker::storedLines(v.toString());
    } catch (const std::exception&) {
        return {};
    }
}

QString TRpSysData::text(const TRpReport& report) const
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    switch (kind) {
    case rpsTime:
        return prefix + locale.toString(now.time(), QLocale::ShortFormat);
    case rpsDate:
        return prefix + locale.toString(now.date(), QLocale::ShortFormat);
    case rpsDateTime:
        return prefix + locale.toString(now, QLocale::ShortFormat);
    case rpsPageNumber:
        return prefix + QString::number(report.pageCount());
    case rpsReportTitle:
        return prefix + report.title;
    case rpsDetailCount:
        return prefix + QString::number(report.recordCount());
    case rpsDetailNo:
        return prefix + QString::number(report.detailNumber());
    }
    return prefix;
}

} // namespace zel::report
