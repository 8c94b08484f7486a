#include "common/SampleDatabase.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/paradox/CodePage.h"
#include "data/paradox/ParadoxFile.h"
#include "model/Schema.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <random>
#include <set>
#include <tuple>

namespace zel::data {

namespace schema = model::schema;
using model::sortForm;

namespace {

QVariant textOrNull(const QString& s)
{
    return s.isEmpty() ? QVariant() : QVariant(s);
}

void checkWidth(const QString& table, const FieldDef& f, const QString& value)
{
    if (f.type == FieldType::Text && value.size() > f.width)
        throw DatabaseError(QStringLiteral("%1: value of %2 longer than %3 characters: %4")
                                .arg(table, f.name)
                                .arg(f.width)
                                .arg(value));
}

TableData makeTable(const TableDef& def, bool withMemo, int codePage, int keyFields)
{
    TableData t;
    for (const FieldDef& f : def.fields)
        if (withMemo || f.type != FieldType::Memo)
            t.fields.push_back(f);
    t.codePage = codePage;
    t.primaryKeyFields = keyFields;
    return t;
}

// A character the table's code page cannot hold would be written as "?" or a look-alike:
// the database would not say what its source said.
void checkHeld(const QString& table, const FieldDef& f, const QString& value,
               paradox::TextEncoder& encoder)
{
    const QString unheld = encoder.unheld(value);
    if (!unheld.isEmpty())
        throw DatabaseError(
            QStringLiteral("%1: value of %2 has characters its code page cannot hold (%3): %4")
                .arg(table, f.name, unheld, value));
}

void addRow(TableData& t, const QString& table,
            const std::vector<std::pair<QString, QVariant>>& values, paradox::TextEncoder& encoder)
{
    std::vector<QVariant> row(t.fields.size());
    for (const auto& [name, v] : values) {
        for (size_t i = 0; i < t.fields.size(); ++i) {
            if (t.fields[i].name == name) {
                if (v.typeId() == QMetaType::QString) {
                    checkWidth(table, t.fields[i], v.toString());
                    checkHeld(table, t.fields[i], v.toString(), encoder);
                }
                row[i] = v;
            }
        }
    }
    t.rows.push_back(std::move(row));
}

QString fileName(const TableDef& def, bool upper)
{
    return upper ? def.fileName : def.fileName.toLower();
}

} // namespace

void writeDatabase(const QString& dir, DatabaseContent c, const WriteOptions& o)
{
    if (!makeDirectories(dir))
        throw DatabaseError(QStringLiteral("Cannot create directory %1").arg(dir));

    for (MaterialRow& m : c.materials)
        if (m.sf.isEmpty())
            m.sf = sortForm(m.name);
    // The same exact comparison as the primary index, so ids rise in primary order.
    std::stable_sort(c.materials.begin(), c.materials.end(),
                     [](const MaterialRow& a, const MaterialRow& b) {
                         return std::tie(a.sf, a.cas) < std::tie(b.sf, b.cas);
                     });
    if (o.assignIds)
        for (size_t i = 0; i < c.materials.size(); ++i)
            c.materials[i].id = static_cast<int>(i) * std::max(o.idStep, 1) + 1;
    std::stable_sort(c.synonyms.begin(), c.synonyms.end(),
                     [](const SynonymRow& a, const SynonymRow& b) {
                         return std::tie(a.cas, a.name, a.supnr) < std::tie(b.cas, b.name, b.supnr);
                     });
    std::stable_sort(c.suppliers.begin(), c.suppliers.end(),
                     [](const SupplierRow& a, const SupplierRow& b) { return a.supnr < b.supnr; });

    paradox::TextEncoder encoder(o.codePage);
    const TableDef& md = schema::material();
    TableData mt = makeTable(md, o.withMemo, o.codePage, 2);
    for (const MaterialRow& m : c.materials)
        addRow(mt, md.fileName,
               {{QStringLiteral("name"), textOrNull(m.name)},
                {QStringLiteral("sf"), textOrNull(m.sf)},
                {QStringLiteral("cas"), textOrNull(m.cas)},
                {QStringLiteral("name1"), textOrNull(m.name1)},
                {QStringLiteral("name2"), textOrNull(m.name2)},
                {QStringLiteral("odour"), textOrNull(m.odour)},
                {QStringLiteral("performance"), textOrNull(m.performance)},
                {QStringLiteral("application"), textOrNull(m.application)},
                {QStringLiteral("literature"), textOrNull(m.literature)},
                {QStringLiteral("stabil"), textOrNull(m.stabil)},
                {QStringLiteral("notes"), textOrNull(m.notes)},
                {QStringLiteral("id"), QVariant(static_cast<qlonglong>(m.id))}},
               encoder);

    const TableDef& yd = schema::synonyms();
    TableData yt = makeTable(yd, true, o.codePage, 3);
    for (const SynonymRow& s : c.synonyms)
        addRow(yt, yd.fileName,
               {{QStringLiteral("cas"), textOrNull(s.cas)},
                {QStringLiteral("name"), textOrNull(s.name)},
                {QStringLiteral("supnr"), textOrNull(s.supnr)},
                {QStringLiteral("price"), textOrNull(s.price)}},
               encoder);

    const TableDef& sd = schema::supplier();
    TableData st = makeTable(sd, true, o.codePage, 1);
    for (const SupplierRow& s : c.suppliers)
        addRow(st, sd.fileName,
               {{QStringLiteral("supnr"), textOrNull(s.supnr)},
                {QStringLiteral("supname"), textOrNull(s.supname)},
                {QStringLiteral("address"), textOrNull(s.address)},
                {QStringLiteral("city"), textOrNull(s.city)},
                {QStringLiteral("country"), textOrNull(s.country)},
                {QStringLiteral("phone"), textOrNull(s.phone)}},
               encoder);

    const QDir d(dir);
    paradox::writeTableFile(d.filePath(fileName(md, o.upperCaseNames)), mt, o.password);
    paradox::writeTableFile(d.filePath(fileName(yd, o.upperCaseNames)), yt, o.password);
    paradox::writeTableFile(d.filePath(fileName(sd, o.upperCaseNames)), st, o.password);
}

void blankCommercialNames(DatabaseContent& content, int count)
{
    const size_t n = content.synonyms.size();
    const size_t want = std::min(static_cast<size_t>(std::max(count, 0)), n);
    // A material and supplier can have one empty name only: it is part of the unique key.
    std::set<std::pair<QString, QString>> blanked;
    for (const SynonymRow& r : content.synonyms)
        if (r.name.isEmpty())
            blanked.insert({r.cas, r.supnr});
    size_t done = 0;
    for (size_t k = 0; k < n && done < want; ++k) {
        SynonymRow& r = content.synonyms[(k * 7919) % n];
        if (!r.name.isEmpty() && blanked.insert({r.cas, r.supnr}).second) {
            r.name.clear();
            ++done;
        }
    }
}

std::vector<std::vector<QString>> parseCsv(const QString& text)
{
    std::vector<std::vector<QString>> rows;
    std::vector<QString> row;
    QString field;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            any = true;
        } else if (c == QLatin1Char(',')) {
            row.push_back(field);
            field.clear();
            any = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (any || !field.isEmpty()) {
                row.push_back(field);
                rows.push_back(row);
            }
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

namespace {

std::vector<std::vector<QString>> readCsvFile(const QString& path, const QStringList& columns)
{
    QByteArray text;
    try {
        text = readWholeFile(path, QStringLiteral("source file"), qint64(256) << 20);
    } catch (const FileAccessError& e) {
        throw DatabaseError(e.message());
    }
    auto rows = parseCsv(QString::fromUtf8(text));
    if (rows.empty())
        throw DatabaseError(QStringLiteral("%1 is empty").arg(path));
    QStringList header;
    for (const QString& h : rows.front())
        header << h.trimmed();
    std::vector<int> map;
    for (const QString& col : columns) {
        const int at = static_cast<int>(header.indexOf(col));
        if (at < 0)
            throw DatabaseError(QStringLiteral("%1 has no column %2").arg(path, col));
        map.push_back(at);
    }
    std::vector<std::vector<QString>> out;
    for (size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].size() != static_cast<size_t>(header.size()))
            throw DatabaseError(QStringLiteral("%1, record %2: %3 fields instead of %4")
                                    .arg(path)
                                    .arg(r + 1)
                                    .arg(rows[r].size())
                                    .arg(header.size()));
        std::vector<QString> picked;
        for (int at : map)
            picked.push_back(rows[r][static_cast<size_t>(at)]);
        out.push_back(picked);
    }
    return out;
}

} // namespace

DatabaseContent readSampleSources(const QString& sourceDir)
{
    const QDir d(sourceDir);
    DatabaseContent c;
    for (const auto& r :
         readCsvFile(d.filePath(QStringLiteral("material.csv")),
                     {QStringLiteral("cas"), QStringLiteral("name"), QStringLiteral("name1"),
                      QStringLiteral("name2"), QStringLiteral("odour"),
                      QStringLiteral("performance"), QStringLiteral("application"),
                      QStringLiteral("literature"), QStringLiteral("stabil")})) {
        MaterialRow m;
        m.cas = r[0];
        m.name = r[1];
        m.name1 = r[2];
        m.name2 = r[3];
        m.odour = r[4];
        m.performance = r[5];
        m.application = r[6];
        m.literature = r[7];
        m.stabil = r[8];
        c.materials.push_back(m);
    }
    for (const auto& r : readCsvFile(d.filePath(QStringLiteral("synonyms.csv")),
                                     {QStringLiteral("cas"), QStringLiteral("name"),
                                      QStringLiteral("supnr"), QStringLiteral("price")}))
        c.synonyms.push_back({r[0], r[1], r[2], r[3]});
    for (const auto& r :
         readCsvFile(d.filePath(QStringLiteral("supplier.csv")),
                     {QStringLiteral("supnr"), QStringLiteral("supname"), QStringLiteral("address"),
                      QStringLiteral("city"), QStringLiteral("country"), QStringLiteral("phone")}))
        c.suppliers.push_back({r[0], r[1], r[2], r[3], r[4], r[5]});
    return c;
}

DatabaseContent makeScaleContent(int materials, int synonyms, int suppliers, unsigned seed)
{
    std::mt19937 rng(seed);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    static const char* const syllables[] = {
        "al", "be",  "cy",  "do",  "ef",  "ga",  "hel", "io",  "jas", "ka", "li", "mo", "nol",
        "or", "pin", "qui", "ros", "san", "ter", "ul",  "ver", "wo",  "xy", "yl", "zen"};
    const auto word = [&](int parts) {
        QString w;
        for (int i = 0; i < parts; ++i)
            w += QLatin1String(syllables[pick(25)]);
        w[0] = w[0].toUpper();
        return w;
    };
    DatabaseContent c;
    for (int s = 1; s <= suppliers; ++s) {
        SupplierRow r;
        // The field holds four characters: "S001" to "S999", then four base-36 digits that
        // begin with a digit ("0RS0" ...), which no "S" number can be.
        r.supnr = s < 1000 ? QStringLiteral("S%1").arg(s, 3, 10, QLatin1Char('0'))
                           : QStringLiteral("%1").arg(s, 4, 36, QLatin1Char('0')).toUpper();
        r.supname = QString(word(2) + QStringLiteral(" Aromatics ") + QString::number(s)).left(25);
        r.address = QStringLiteral("%1 %2 Street").arg(1 + pick(200)).arg(word(2));
        r.city = word(3);
        r.country = word(2);
        r.phone = QStringLiteral("+00 %1 %2").arg(100 + pick(900)).arg(100000 + pick(900000));
        c.suppliers.push_back(r);
    }
    for (int m = 0; m < materials; ++m) {
        MaterialRow r;
        r.name = QStringLiteral("%1 %2 %3").arg(word(3), word(2)).arg(m);
        r.cas = QStringLiteral("%1-%2-%3").arg(1000 + m).arg(10 + pick(90)).arg(pick(10));
        r.name1 = word(4);
        r.name2 = pick(3) == 0 ? QString() : word(3);
        r.odour = QStringLiteral("%1, %2 and %3 with a %4 undertone")
                      .arg(word(2), word(2), word(3), word(2))
                      .left(148);
        r.performance = QStringLiteral("Tenacity %1 hours on blotter; %2")
                            .arg(pick(400))
                            .arg(word(5))
                            .left(148);
        r.application = QStringLiteral("%1 and %2 fragrances").arg(word(3), word(3));
        r.literature = QStringLiteral("Occurs in %1 oil").arg(word(3));
        QString stabil;
        for (int i = 0; i < 33; ++i)
            stabil += QLatin1Char(static_cast<char>('0' + pick(3)));
        r.stabil = stabil + QString(7, QLatin1Char(' '));
        c.materials.push_back(r);
    }
    for (int s = 0; s < synonyms; ++s) {
        SynonymRow r;
        const int m = s % materials;
        r.cas = c.materials[static_cast<size_t>(m)].cas;
        r.name = QStringLiteral("%1 %2").arg(word(2)).arg(s);
        r.supnr = c.suppliers[static_cast<size_t>(pick(suppliers))].supnr;
        r.price = QStringLiteral("EUR %1.00/kg").arg(5 + pick(500));
        c.synonyms.push_back(r);
    }
    return c;
}

} // namespace zel::data
