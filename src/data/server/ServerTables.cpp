#include "data/server/ServerTables.h"

#include "data/base/Error.h"
#include "data/engine/Table.h"
#include "data/paradox/ParadoxFile.h"
#include "data/server/PgConnection.h"

#include <QtEndian>
#include <cstring>
#include <future>

namespace zel::data::server {

namespace {

const char kSignature[] = "PGCOPY\n\377\r\n";
constexpr size_t kSignatureSize = 11;

QString quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

bool isText(FieldType type)
{
    return type == FieldType::Text || type == FieldType::Memo;
}

QString columnType(const FieldDef& field)
{
    if (field.type == FieldType::Integer)
        return field.width == 2 ? QStringLiteral("smallint") : QStringLiteral("integer");
    if (field.type == FieldType::Memo)
        return QStringLiteral("text");
    return QStringLiteral("varchar(%1)").arg(field.width);
}

const QString kRevisionTable = QStringLiteral("zel_revision");
const QString kRevisionTrigger = QStringLiteral("zel_revision");

QStringList tableNames(const Catalog& catalog)
{
    QStringList names;
    for (const TableDef* def : catalog.tables)
        names << tableName(*def);
    return names;
}

// "$first, $first + 1, ...": one parameter for each table of the catalog.
QString tableParameters(const Catalog& catalog, int first)
{
    QStringList list;
    for (size_t i = 0; i < catalog.tables.size(); ++i)
        list << QStringLiteral("to_regclass($%1)").arg(first + static_cast<int>(i));
    return list.join(QStringLiteral(", "));
}

// The revision table, the function that gives it a new value and a trigger on each table.
// Statement triggers fire for a statement that changes no row too: a needless new revision
// costs one reload, a missed one would show stale data.
QStringList revisionStatements(const Catalog& catalog)
{
    QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (one boolean PRIMARY KEY DEFAULT true "
                       "CHECK (one), revision uuid NOT NULL DEFAULT gen_random_uuid())")
            .arg(kRevisionTable),
        QStringLiteral("INSERT INTO %1 DEFAULT VALUES ON CONFLICT DO NOTHING").arg(kRevisionTable),
        // Whoever may change the tables may change their revision, through this function only.
        QStringLiteral("CREATE OR REPLACE FUNCTION zel_new_revision() RETURNS trigger "
                       "LANGUAGE plpgsql SECURITY DEFINER SET search_path FROM CURRENT AS "
                       "$$BEGIN UPDATE %1 SET revision = gen_random_uuid(); RETURN NULL; END$$")
            .arg(kRevisionTable)};
    for (const QString& table : tableNames(catalog))
        statements << QStringLiteral("CREATE OR REPLACE TRIGGER %1 AFTER INSERT OR UPDATE OR "
                                     "DELETE OR TRUNCATE ON %2 FOR EACH STATEMENT EXECUTE "
                                     "FUNCTION zel_new_revision()")
                          .arg(kRevisionTrigger, table);
    // Made again over tables that may have been made again: whatever was kept of them goes.
    statements << QStringLiteral("UPDATE %1 SET revision = gen_random_uuid()").arg(kRevisionTable);
    return statements;
}

QString indexName(const TableDef& table, const IndexDef& index)
{
    return tableName(table) + QLatin1Char('_') + index.name.toLower();
}

// The server's type of every field the program reads, by field name; a memo field may be
// missing. Throws when the table or a field is missing or of another kind.
std::map<QString, QString> checkColumns(PgConnection& connection, const TableDef& def)
{
    const QString table = tableName(def);
    const auto exists =
        connection.query(QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {table});
    if (exists.empty() || exists.front().value(0) != QLatin1String("t"))
        throw DatabaseError(QStringLiteral("The server has no table %1").arg(table));
    const auto rows = connection.query(
        QStringLiteral("SELECT a.attname, t.typname, t.typcategory FROM pg_attribute a "
                       "JOIN pg_type t ON t.oid = a.atttypid "
                       "WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 "
                       "AND NOT a.attisdropped"),
        {table});
    std::map<QString, QString> types;
    for (const FieldDef& field : def.fields) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const QStringList& r) {
            return r.value(0) == field.name;
        });
        if (row == rows.end()) {
            if (field.type == FieldType::Memo)
                continue;
            throw DatabaseError(
                QStringLiteral("The server's table %1 has no field %2").arg(table, field.name));
        }
        const QString type = row->value(1);
        const bool fits = isText(field.type)
                              ? row->value(2) == QLatin1String("S")
                              : type == QLatin1String("int2") || type == QLatin1String("int4") ||
                                    type == QLatin1String("int8");
        if (!fits)
            throw DatabaseError(
                QStringLiteral("The server's field %1.%2 is of type %3, which "
                               "does not hold %4")
                    .arg(table, field.name, type,
                         isText(field.type) ? QStringLiteral("text") : QStringLiteral("integers")));
        types[field.name] = type;
    }
    return types;
}

// Decodes the binary form of COPY into a table store, piece by piece as the server sends it.
class CopyDecoder
{
public:
    CopyDecoder(const TableDef& def, const QString& password)
        : m_def(def), m_builder(def.fields, infoFor(def, password))
    {
    }

    static TableInfo infoFor(const TableDef& def, const QString& password)
    {
        TableInfo info;
        for (const IndexDef& index : def.indexes)
            if (index.primary)
                info.primaryKeyFields = static_cast<int>(index.fields.size());
        info.encryption = password.isEmpty() ? 0 : paradox::passwordChecksum(password);
        return info;
    }

    void feed(const char* data, int size)
    {
        if (m_rest.isEmpty()) {
            const size_t used = parse(data, static_cast<size_t>(size));
            m_rest.append(data + used, static_cast<qsizetype>(static_cast<size_t>(size) - used));
        } else {
            m_rest.append(data, size);
            const size_t used = parse(m_rest.constData(), static_cast<size_t>(m_rest.size()));
            m_rest.remove(0, static_cast<qsizetype>(used));
        }
    }

    TableStore finish()
    {
        if (!m_ended || !m_rest.isEmpty())
            broken(QStringLiteral("the data end early"));
        return m_builder.finish();
    }

private:
    [[noreturn]] void broken(const QString& what) const
    {
        throw DatabaseError(
            QStringLiteral("The server's table %1 cannot be read: %2").arg(tableName(m_def), what));
    }

    // Decodes the whole rows in data; returns how many bytes they took.
    size_t parse(const char* data, size_t size)
    {
        size_t at = 0;
        if (!m_headerRead) {
            if (size < kSignatureSize + 8)
                return 0;
            if (std::memcmp(data, kSignature, kSignatureSize) != 0)
                broken(QStringLiteral("not the binary copy format"));
            const quint32 extension = qFromBigEndian<quint32>(data + kSignatureSize + 4);
            if (size < kSignatureSize + 8 + extension)
                return 0;
            at = kSignatureSize + 8 + extension;
            m_headerRead = true;
        }
        const int fieldCount = static_cast<int>(m_def.fields.size());
        while (at + 2 <= size) {
            if (m_ended)
                broken(QStringLiteral("data after their end"));
            const qint16 count = qFromBigEndian<qint16>(data + at);
            if (count == -1) {
                m_ended = true;
                at += 2;
                continue;
            }
            if (count != fieldCount)
                broken(QStringLiteral("a row of %1 fields, not %2").arg(count).arg(fieldCount));
            // Only a whole row is decoded; a part waits for the rest.
            size_t end = at + 2;
            bool whole = true;
            for (int f = 0; f < fieldCount && whole; ++f) {
                if (end + 4 > size) {
                    whole = false;
                    break;
                }
                const qint32 length = qFromBigEndian<qint32>(data + end);
                end += 4;
                if (length > 0) {
                    if (end + static_cast<size_t>(length) > size)
                        whole = false;
                    else
                        end += static_cast<size_t>(length);
                }
            }
            if (!whole)
                break;
            decodeRow(data + at + 2);
            at = end;
        }
        return at;
    }

    void decodeRow(const char* p)
    {
        m_builder.addRecord();
        for (int f = 0; f < static_cast<int>(m_def.fields.size()); ++f) {
            const qint32 length = qFromBigEndian<qint32>(p);
            p += 4;
            if (length < 0)
                continue;
            const FieldDef& field = m_def.fields[static_cast<size_t>(f)];
            if (isText(field.type))
                decodeText(f, p, static_cast<size_t>(length));
            else if (length == 8)
                m_builder.setInteger(f, qFromBigEndian<qint64>(p));
            else if (length == 4)
                m_builder.setInteger(f, qFromBigEndian<qint32>(p));
            else if (length == 2)
                m_builder.setInteger(f, qFromBigEndian<qint16>(p));
            else
                broken(QStringLiteral("field %1 is not an integer").arg(field.name));
            p += length;
        }
    }

    // UTF-8 straight into the store's arena; trailing blanks are not kept, as the engine
    // never keeps them.
    void decodeText(int field, const char* p, size_t length)
    {
        char16_t* out = m_builder.textRoom(length);
        char16_t* const start = out;
        const auto* s = reinterpret_cast<const unsigned char*>(p);
        const auto* const end = s + length;
        while (s < end) {
            const unsigned char c = *s;
            if (c < 0x80) {
                *out++ = c;
                ++s;
                continue;
            }
            int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
            char32_t u = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
            if (extra < 0 || end - s <= extra) {
                *out++ = u'\uFFFD';
                ++s;
                continue;
            }
            ++s;
            for (int i = 0; i < extra; ++i)
                u = (u << 6) | (s[i] & 0x3F);
            s += extra;
            if (u >= 0x10000) {
                *out++ = QChar::highSurrogate(u);
                *out++ = QChar::lowSurrogate(u);
            } else {
                *out++ = static_cast<char16_t>(u);
            }
        }
        while (out > start && out[-1] == u' ')
            --out;
        m_builder.commitText(field, static_cast<size_t>(out - start));
    }

    const TableDef& m_def;
    TableStoreBuilder m_builder;
    QByteArray m_rest;
    bool m_headerRead = false;
    bool m_ended = false;
};

TableStore copyTable(const Catalog& catalog, PgConnection& connection, const TableDef& def,
                     const std::map<QString, QString>& types)
{
    // Straight from the table where it has every field (the server then only sends); a
    // missing memo field is made up by a query.
    bool complete = true;
    QStringList columns, selected;
    for (const FieldDef& field : def.fields) {
        const bool present = types.count(field.name) > 0;
        complete = complete && present;
        columns << quoted(field.name);
        selected << (present ? quoted(field.name) : QStringLiteral("NULL::text"));
    }
    const QString source =
        complete ? QStringLiteral("%1 (%2)").arg(tableName(def), columns.join(QStringLiteral(", ")))
                 : QStringLiteral("(SELECT %1 FROM %2)")
                       .arg(selected.join(QStringLiteral(", ")), tableName(def));
    CopyDecoder decoder(def, catalog.password);
    connection.copyOut(QStringLiteral("COPY %1 TO STDOUT (FORMAT binary)").arg(source),
                       [&](const char* data, int size) { decoder.feed(data, size); });
    return decoder.finish();
}

// Ends a transaction that an exception leaves open.
class Transaction
{
public:
    Transaction(PgConnection& connection, const QString& begin) : m_connection(connection)
    {
        m_connection.exec(begin);
    }
    ~Transaction()
    {
        if (!m_done) {
            try {
                m_connection.exec(QStringLiteral("ROLLBACK"));
            } catch (const DatabaseError&) {
                // The connection is gone; so is the transaction.
            }
        }
    }
    void commit()
    {
        m_connection.exec(QStringLiteral("COMMIT"));
        m_done = true;
    }

private:
    PgConnection& m_connection;
    bool m_done = false;
};

void putInt16(QByteArray& out, qint16 v)
{
    char b[2];
    qToBigEndian(v, b);
    out.append(b, 2);
}

void putInt32(QByteArray& out, qint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void putField(QByteArray& out, const QByteArray& bytes)
{
    putInt32(out, static_cast<qint32>(bytes.size()));
    out.append(bytes);
}

void putInteger(QByteArray& out, const QString& type, qint64 v)
{
    char b[8];
    if (type == QLatin1String("int2")) {
        qToBigEndian(static_cast<qint16>(v), b);
        putField(out, QByteArray(b, 2));
    } else if (type == QLatin1String("int4")) {
        qToBigEndian(static_cast<qint32>(v), b);
        putField(out, QByteArray(b, 4));
    } else {
        qToBigEndian(v, b);
        putField(out, QByteArray(b, 8));
    }
}

void copyIntoTable(const Catalog& catalog, PgConnection& connection, const TableDef& def,
                   const TableStore& store, const std::map<QString, QString>& types)
{
    // Fields the server lacks (only a memo may) are left out; the rest go by name.
    std::vector<std::pair<int, const FieldDef*>> fields;
    QStringList columns;
    for (const FieldDef& field : def.fields) {
        if (!types.count(field.name))
            continue;
        int no = -1;
        for (int f = 0; f < store.fieldCount(); ++f)
            if (store.field(f).name.compare(field.name, Qt::CaseInsensitive) == 0)
                no = f;
        fields.emplace_back(no, &field);
        columns << quoted(field.name);
    }
    const Catalog::Placeholder& placeholder = catalog.placeholder;
    int record = 0;
    bool headerSent = false;
    bool trailerSent = false;
    connection.copyIn(
        QStringLiteral("COPY %1 (%2) FROM STDIN (FORMAT binary)")
            .arg(tableName(def), columns.join(QStringLiteral(", "))),
        [&]() -> QByteArray {
            QByteArray out;
            if (!headerSent) {
                out.append(kSignature, kSignatureSize);
                putInt32(out, 0);
                putInt32(out, 0);
                headerSent = true;
            }
            for (; record < store.recordCount() && out.size() < (1 << 20); ++record) {
                putInt16(out, static_cast<qint16>(fields.size()));
                for (const auto& [no, field] : fields) {
                    if (isText(field->type)) {
                        QString text = no < 0 ? QString() : store.text(record, no).toString();
                        if (placeholder.table == &def && field->name == placeholder.field &&
                            text.isEmpty())
                            text = placeholder.text;
                        putField(out, text.toUtf8());
                    } else if (no < 0 || store.isNull(record, no)) {
                        putInt32(out, -1);
                    } else {
                        putInteger(out, types.at(field->name), store.integer(record, no));
                    }
                }
            }
            if (record == store.recordCount() && !trailerSent) {
                putInt16(out, -1);
                trailerSent = true;
            }
            return out;
        });
}

} // namespace

QString tableName(const TableDef& def)
{
    return def.fileName.section(QLatin1Char('.'), 0, 0).toLower();
}

QString changeChannel()
{
    return QStringLiteral("zel_data_changed");
}

QString defaultReaderRole()
{
    return QStringLiteral("zel_reader");
}

QString collationName()
{
    return QStringLiteral("zel_ci");
}

QString collationStatement()
{
    return QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, "
                          "locale = 'und-u-ks-level2', deterministic = false)")
        .arg(collationName());
}

QString indexStatement(const TableDef& table, const IndexDef& index)
{
    QStringList keys;
    for (const QString& name : index.fields) {
        const auto field = std::find_if(table.fields.begin(), table.fields.end(),
                                        [&](const FieldDef& f) { return f.name == name; });
        keys << (field != table.fields.end() && isText(field->type)
                     ? quoted(name) + QStringLiteral(" COLLATE ") + collationName()
                     : quoted(name));
    }
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
        .arg(indexName(table, index), tableName(table), keys.join(QStringLiteral(", ")));
}

QStringList schemaStatements(const Catalog& catalog)
{
    QStringList statements{collationStatement()};
    for (const TableDef* def : catalog.tables) {
        QStringList columns;
        for (const FieldDef& field : def->fields) {
            // Text compares exactly in the keys, whatever the database's own collation; the
            // engine's blank is the server's empty text, so that key fields are never null.
            QString column = quoted(field.name) + QLatin1Char(' ') + columnType(field);
            if (isText(field.type))
                column += QStringLiteral(" COLLATE \"C\" NOT NULL DEFAULT ''");
            columns << column;
        }
        for (const IndexDef& index : def->indexes)
            if (index.primary) {
                QStringList keys;
                for (const QString& f : index.fields)
                    keys << quoted(f);
                columns << QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(QStringLiteral(", ")));
            }
        statements << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                          .arg(tableName(*def), columns.join(QStringLiteral(", ")));
        for (const IndexDef& index : def->indexes)
            if (!index.primary)
                statements << indexStatement(*def, index);
    }
    return statements + revisionStatements(catalog);
}

QString revision(const Catalog& catalog, PgConnection& connection)
{
    // The tables' identities too: a table dropped and made again is another table.
    const QString tables = tableParameters(catalog, 3);
    const auto state = connection.query(
        QStringLiteral("SELECT coalesce(has_table_privilege(to_regclass($1)::oid, 'SELECT'), "
                       "false), (SELECT count(*) FROM pg_trigger WHERE tgname = $2 AND "
                       "tgenabled <> 'D' AND tgrelid IN (%1)), concat_ws('/', %2)")
            .arg(tables, QString(tables).replace(QStringLiteral(")"), QStringLiteral(")::oid"))),
        QStringList{kRevisionTable, kRevisionTrigger} << tableNames(catalog));
    if (state.empty() || state.front().value(0) != QLatin1String("t") ||
        state.front().value(1) != QString::number(catalog.tables.size()))
        return QString();
    const auto rows =
        connection.query(QStringLiteral("SELECT revision::text FROM %1").arg(kRevisionTable));
    if (rows.size() != 1 || rows.front().value(0).isEmpty())
        return QString();
    return rows.front().value(0) + QLatin1Char('/') + state.front().value(2);
}

bool mayMaintain(const Catalog& catalog, PgConnection& connection)
{
    const auto rows = connection.query(
        QStringLiteral("SELECT count(*), coalesce(bool_and(pg_has_role(current_user, "
                       "c.relowner, 'USAGE')), false) FROM pg_class c WHERE c.oid IN (%1)")
            .arg(tableParameters(catalog, 1)),
        tableNames(catalog));
    return !rows.empty() && rows.front().value(0) == QString::number(catalog.tables.size()) &&
           rows.front().value(1) == QLatin1String("t");
}

int ensureIndexes(const Catalog& catalog, PgConnection& connection)
{
    int ran = 0;
    const auto collation = connection.query(
        QStringLiteral("SELECT 1 FROM pg_collation WHERE collname = $1"), {collationName()});
    if (collation.empty()) {
        connection.exec(collationStatement());
        ++ran;
    }
    for (const TableDef* def : catalog.tables)
        for (const IndexDef& index : def->indexes) {
            if (index.primary)
                continue;
            const auto exists = connection.query(
                QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {indexName(*def, index)});
            if (!exists.empty() && exists.front().value(0) == QLatin1String("t"))
                continue;
            connection.exec(indexStatement(*def, index));
            ++ran;
        }
    if (revision(catalog, connection).isEmpty())
        for (const QString& statement : revisionStatements(catalog)) {
            connection.exec(statement);
            ++ran;
        }
    return ran;
}

std::map<QString, TableStore> loadTables(const Catalog& catalog, PgConnection& connection)
{
    // One snapshot for all three, so that an import committed in between is seen whole or
    // not at all.
    Transaction transaction(connection,
                            QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    std::map<QString, TableStore> stores;
    for (const TableDef* def : catalog.tables)
        stores[def->fileName] =
            copyTable(catalog, connection, *def, checkColumns(connection, *def));
    transaction.commit();
    return stores;
}

std::map<QString, std::shared_ptr<Table>> openTables(const Catalog& catalog,
                                                     PgConnection& connection, QString* revision)
{
    // Each table's indexes are sorted on a thread of their own while the server sends the
    // next table, so the client's work overlaps the server's.
    std::vector<std::pair<QString, std::future<std::shared_ptr<Table>>>> sorting;
    const auto waitAll = [&] {
        for (auto& [name, table] : sorting)
            if (table.valid())
                table.wait();
    };
    try {
        Transaction transaction(connection,
                                QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        // The first statement takes the snapshot: the revision is that of the rows read.
        if (revision)
            *revision = server::revision(catalog, connection);
        for (const TableDef* def : catalog.tables) {
            TableStore store = copyTable(catalog, connection, *def, checkColumns(connection, *def));
            sorting.emplace_back(
                def->fileName,
                std::async(std::launch::async, [def, store = std::move(store)]() mutable {
                    std::shared_ptr<Table> table =
                        Table::fromStore(def->fileName, std::move(store), def);
                    for (const IndexDef& index : table->indexDefs())
                        table->index(index).prepare();
                    return table;
                }));
        }
        transaction.commit();
        std::map<QString, std::shared_ptr<Table>> tables;
        for (auto& [name, table] : sorting)
            tables[name] = table.get();
        return tables;
    } catch (...) {
        waitAll();
        throw;
    }
}

void replaceTables(const Catalog& catalog, PgConnection& connection,
                   const std::map<QString, const TableStore*>& stores)
{
    for (const TableDef* def : catalog.tables)
        if (!stores.count(def->fileName) || !stores.at(def->fileName))
            throw DatabaseError(QStringLiteral("No data for the table %1").arg(tableName(*def)));
    Transaction transaction(connection, QStringLiteral("BEGIN"));
    std::map<const TableDef*, std::map<QString, QString>> types;
    QStringList names;
    for (const TableDef* def : catalog.tables) {
        types[def] = checkColumns(connection, *def);
        names << tableName(*def);
    }
    // Readers go on reading the old rows until the commit; a second import waits here.
    connection.exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE")
                        .arg(names.join(QStringLiteral(", "))));
    for (const QString& name : names)
        connection.exec(QStringLiteral("DELETE FROM %1").arg(name));
    for (const TableDef* def : catalog.tables)
        copyIntoTable(catalog, connection, *def, *stores.at(def->fileName), types[def]);
    connection.exec(QStringLiteral("NOTIFY %1").arg(changeChannel()));
    transaction.commit();
}

void createReaderRole(const Catalog& catalog, PgConnection& connection, const QString& role,
                      const QString& password)
{
    const QString name = connection.identifier(role);
    const auto exists =
        connection.query(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = $1"), {role});
    if (exists.empty())
        connection.exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(name));
    connection.exec(
        QStringLiteral("ALTER ROLE %1 SET default_transaction_read_only = on").arg(name));
    const auto schemaName = connection.query(QStringLiteral("SELECT current_schema()"));
    if (!schemaName.empty() && !schemaName.front().value(0).isEmpty())
        connection.exec(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2")
                            .arg(connection.identifier(schemaName.front().value(0)), name));
    QStringList names = tableNames(catalog);
    const auto revisionTable =
        connection.query(QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {kRevisionTable});
    if (!revisionTable.empty() && revisionTable.front().value(0) == QLatin1String("t"))
        names << kRevisionTable;
    connection.exec(
        QStringLiteral("REVOKE ALL ON %1 FROM %2").arg(names.join(QStringLiteral(", ")), name));
    connection.exec(
        QStringLiteral("GRANT SELECT ON %1 TO %2").arg(names.join(QStringLiteral(", ")), name));
    if (!password.isEmpty())
        connection.exec(
            QStringLiteral("ALTER ROLE %1 PASSWORD %2")
                .arg(name, connection.literal(connection.encryptedPassword(password, role))));
}

} // namespace zel::data::server
