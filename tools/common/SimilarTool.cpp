#include "common/SimilarTool.h"

#include "common/TableDump.h"
#include "data/base/Error.h"
#include "data/engine/Database.h"
#include "data/engine/Table.h"
#include "model/Names.h"
#include "model/Schema.h"
#include "search/OdourSimilarity.h"

namespace zel::data {

namespace {

// "3,7,23" into the requirement; false for anything but numbers of media.
bool ask(const QString& list, search::StabilityRequirement::Level level,
         search::StabilityRequirement& required)
{
    for (const QString& item : list.split(QLatin1Char(','))) {
        bool ok = false;
        const int medium = item.trimmed().toInt(&ok);
        if (!ok || medium < 1 || medium > model::MediaCount)
            return false;
        required.media[size_t(medium - 1)] = level;
    }
    return true;
}

} // namespace

int runSimilarTool(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList words = args;
    search::StabilityRequirement required;
    int limit = 20;
    for (qsizetype i = 0; i < words.size();) {
        const QString option = words[i];
        if (!option.startsWith(QLatin1String("--"))) {
            ++i;
            continue;
        }
        bool ok = i + 1 < words.size();
        const QString value = ok ? words[i + 1] : QString();
        if (option == QLatin1String("--stable"))
            ok = ok && ask(value, search::StabilityRequirement::VeryGood, required);
        else if (option == QLatin1String("--good"))
            ok = ok && ask(value, search::StabilityRequirement::GoodOrBetter, required);
        else if (option == QLatin1String("--limit")) {
            limit = ok ? value.toInt(&ok) : 0;
            ok = ok && limit > 0;
        } else
            ok = false;
        if (!ok) {
            err << "zeltool: similar: " << option
                << (option == QLatin1String("--limit")
                        ? " takes a number above 0"
                        : " takes media numbered 1 to 33, separated by commas")
                << '\n';
            return 2;
        }
        words.remove(i, 2);
    }
    if (words.size() != 2 || words[0].isEmpty() || words[1].isEmpty()) {
        err << "zeltool: similar needs a data directory and a CAS number\n";
        return 2;
    }
    try {
        model::schema::addTablePassword();
        Database database;
        model::schema::describe(database);
        database.setPath(words[0]);
        const std::shared_ptr<Table> materials = database.table(model::tables::material);
        const int cas = materials->fieldIndex(model::fields::cas);
        int record = -1;
        for (int r = 0; r < materials->recordCount() && record < 0; ++r)
            if (materials->text(r, cas) == words[1])
                record = r;
        if (record < 0)
            throw DatabaseError(QStringLiteral("No material has the CAS number %1").arg(words[1]));
        const int name = materials->fieldIndex(model::fields::name);
        const int odour = materials->fieldIndex(model::fields::odour);
        const int stabil = materials->fieldIndex(model::fields::stabil);
        out << "rank,cas,name,score,odour";
        for (const int medium : required.asked())
            out << ',' << csvField(model::mediumLabel(medium));
        out << '\n';
        int rank = 0;
        for (const auto& match :
             search::OdourSimilarity::of(*materials)->rank(record, required, limit)) {
            out << ++rank << ',' << csvField(materials->text(match.record, cas).toString()) << ','
                << csvField(materials->text(match.record, name).toString()) << ','
                << QString::number(match.score, 'f', 4) << ','
                << csvField(materials->text(match.record, odour).toString());
            const QString ratings = materials->text(match.record, stabil).toString();
            for (const int medium : required.asked())
                out << ',' << model::ratingText(model::ratingChar(ratings, medium));
            out << '\n';
        }
    } catch (const Error& e) {
        err << "zeltool: " << e.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace zel::data
