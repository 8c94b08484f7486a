#include "data/engine/Table.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/base/FileReplacement.h"
#include "data/engine/Collation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

// Takes the lock without waiting for long: a shared lock only conflicts with a copy that
// is re-indexing, which is brief, so it is retried for a moment; an exclusive one fails
// at once because re-indexing must not wait for a browsing copy to end.
bool takeLock(int fd, Table::Access access)
{
    if (access == Table::Access::Exclusive)
        return flock(fd, LOCK_EX | LOCK_NB) == 0;
    for (int attempt = 0; attempt < 30; ++attempt) {
        if (flock(fd, LOCK_SH | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK)
            return false;
        QThread::msleep(100);
    }
    return false;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

Table::Table(QString path, Access access) : m_path(std::move(path)), m_access(access) {}

Table::~Table()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

QString Table::displayName() const
{
    return QFileInfo(m_path).fileName();
}

std::shared_ptr<Table> Table::open(const QString& path, const TableDef* def, Access access,
                                   const QStringList& passwords)
{
    std::shared_ptr<Table> table(new Table(path, access));
    table->load(def, passwords);
    return table;
}

std::shared_ptr<Table> Table::fromStore(const QString& name, TableStore store, const TableDef* def,
                                        std::vector<std::vector<int>> orders)
{
    std::shared_ptr<Table> table(new Table(name, Access::Shared));
    table->m_inMemory = true;
    table->adopt(std::move(store), def, std::move(orders));
    return table;
}

void Table::load(const TableDef* def, const QStringList& passwords)
{
    m_passwords = passwords;
    lockCurrentFile();
    removeStaleCopies();
    readLocked(def);
}

std::shared_ptr<Table> Table::openMatching(const QString& path, const TableDef& def,
                                           const QStringList& passwords, const QString& indexName,
                                           const std::vector<KeyValues>& keys)
{
    std::shared_ptr<Table> table(new Table(path, Access::Shared));
    table->m_passwords = passwords;
    table->m_part = true;
    table->lockCurrentFile();
    table->removeStaleCopies();
    struct stat st
    {
    };
    if (fstat(table->m_fd, &st) != 0)
        throw DatabaseError(
            QStringLiteral("Cannot read %1: %2").arg(table->displayName(), systemError(errno)));
    table->m_fileSize = st.st_size;
    table->m_fileTimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const IndexDef* index = nullptr;
    for (const IndexDef& d : def.indexes)
        if (sameName(d.name, indexName))
            index = &d;
    if (!index)
        throw DatabaseError(
            QStringLiteral("%1 has no index %2").arg(table->displayName(), indexName));
    paradox::RecordReader reader(table->m_fd, table->displayName(), passwords,
                                 paradox::blobFileFor(path));
    const std::optional<std::vector<int>> order =
        Index::readOrder(table->indexFilePath(index->name), *index, table->m_fileSize,
                         table->m_fileTimeNs, reader.recordCount());
    if (!order)
        return nullptr;
    const std::vector<int> records =
        Index::findInOrder(*index, *order, keys, [&reader, index](int record) {
            return reader.read({record}, index->fields);
        });
    table->adopt(reader.read(records), &def);
    return table;
}

void Table::lockCurrentFile()
{
    // A writer replaces a table by renaming a new file over it, and holds its lock until the
    // new file has the name. A lock taken on the file we opened is then a lock on a file
    // that is no longer the table: whoever gets a lock checks that the name still leads to
    // the file it holds, and opens the name again otherwise.
    for (int attempt = 0;; ++attempt) {
        openLocked();
        struct stat held
        {
        }, named{};
        if (fstat(m_fd, &held) != 0)
            throw DatabaseError(
                QStringLiteral("Cannot read %1: %2").arg(displayName(), systemError(errno)));
        if (::stat(fileNameBytes(m_path).constData(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino)
            break;
        ::close(m_fd);
        m_fd = -1;
        if (attempt == 100)
            throw DatabaseError(
                QStringLiteral("%1 keeps being replaced by another program").arg(displayName()));
    }
}

void Table::openLocked()
{
    // Non-blocking, so that a pipe or device named like a table cannot stall the program.
    const int flags = (m_access == Access::Exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    m_fd = ::open(fileNameBytes(m_path).constData(), flags);
    if (m_fd < 0)
        throw DatabaseError(
            QStringLiteral("Cannot open %1: %2").arg(displayName(), systemError(errno)));
    struct stat st
    {
    };
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("%1 is %2, not a table file")
                                .arg(displayName(), fileKindText(st.st_mode)));
    if (!takeLock(m_fd, m_access))
        throw DatabaseError(QStringLiteral("%1 is in use by another program").arg(displayName()));
}

// A copy of the program killed while it wrote this table leaves its unfinished new file
// behind, named only for the instant before its rename. A writer holds the table's file
// exclusively until the new one has taken its name, so whoever holds a lock on the file the
// name leads to, shared or exclusive, knows that no writer is at work: any such file is a
// leftover. One that cannot be removed (a directory of another user) is left; it harms nothing.
void Table::removeStaleCopies() const
{
    const QFileInfo info(m_path);
    const QString dir = info.absolutePath();
    // The table and its index files, "<table>.<index>.zix", are replaced the same way.
    QStringList names;
    listMatching(dir, FileReplacement::leftoverPattern(info.fileName()), names);
    listMatching(
        dir, FileReplacement::leftoverPattern(info.completeBaseName() + QStringLiteral(".*.zix")),
        names);
    for (const QString& name : names)
        ::unlink(fileNameBytes(dir + QLatin1Char('/') + name).constData());
}

void Table::readLocked(const TableDef* def, TableStore* known)
{
    struct stat st
    {
    };
    if (fstat(m_fd, &st) != 0)
        throw DatabaseError(
            QStringLiteral("Cannot read %1: %2").arg(displayName(), systemError(errno)));
    m_fileSize = st.st_size;
    m_fileTimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    adopt(known
              ? std::move(*known)
              : paradox::readTable(m_fd, displayName(), m_passwords, paradox::blobFileFor(m_path)),
          def);
}

void Table::adopt(TableStore store, const TableDef* def, std::vector<std::vector<int>> orders)
{
    m_store = std::move(store);
    static std::atomic<quint64> loads{0};
    m_loadId = ++loads;
    m_edits.clear();
    m_editsFolded.clear();
    m_folded.clear();
    m_fieldLookups.clear();

    m_indexDefs.clear();
    m_indexes.clear();
    if (def) {
        for (const FieldDef& want : def->fields) {
            const int no = fieldIndex(want.name);
            if (no < 0 && want.type == FieldType::Memo)
                continue;
            if (no < 0 || field(no).type != want.type)
                throw DatabaseError(
                    QStringLiteral("%1 is not a table of the expected layout (field %2)")
                        .arg(displayName(), want.name));
        }
        m_indexDefs = def->indexes;
    } else if (info().primaryKeyFields > 0) {
        IndexDef primary{QStringLiteral("primary"), {}, true};
        for (int i = 0; i < info().primaryKeyFields && i < fieldCount(); ++i)
            primary.fields << field(i).name;
        m_indexDefs.push_back(primary);
    }
    m_indexes.resize(m_indexDefs.size());
    if (!orders.empty()) {
        if (orders.size() != m_indexDefs.size())
            throw DatabaseError(QStringLiteral("%1: %2 index orders for %3 indexes")
                                    .arg(displayName())
                                    .arg(orders.size())
                                    .arg(m_indexDefs.size()));
        for (size_t slot = 0; slot < m_indexDefs.size(); ++slot) {
            auto idx = std::make_unique<Index>(*this, m_indexDefs[slot]);
            if (!idx->adoptOrder(std::move(orders[slot])))
                throw DatabaseError(QStringLiteral("%1: the order of index %2 does not fit")
                                        .arg(displayName(), m_indexDefs[slot].name));
            m_indexes[slot] = std::move(idx);
        }
    }
    // The primary index is checked at once: a table with duplicate keys is corrupt.
    for (const IndexDef& idx : m_indexDefs)
        if (idx.primary)
            index(idx);
}

int Table::fieldIndex(const QString& name) const
{
    // Callers ask for a handful of names over and over; each is looked up once.
    for (const auto& [asked, no] : m_fieldLookups)
        if (asked == name)
            return no;
    int found = -1;
    for (int i = 0; i < fieldCount() && found < 0; ++i)
        if (field(i).name == name)
            found = i;
    for (int i = 0; i < fieldCount() && found < 0; ++i)
        if (sameName(field(i).name, name))
            found = i;
    if (m_fieldLookups.size() < 64)
        m_fieldLookups.emplace_back(name, found);
    return found;
}

const QVariant* Table::editOf(int record, int field) const
{
    const auto it = m_edits.find({record, field});
    return it == m_edits.end() ? nullptr : &it->second;
}

QStringView Table::editedText(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return {};
    return *static_cast<const QString*>(value.constData());
}

bool Table::isNull(int record, int field) const
{
    if (!m_edits.empty())
        if (const QVariant* edited = editOf(record, field))
            return edited->isNull() ||
                   (edited->typeId() == QMetaType::QString && edited->toString().isEmpty());
    return m_store.isNull(record, field);
}

double Table::number(int record, int field) const
{
    if (!m_edits.empty())
        if (const QVariant* edited = editOf(record, field))
            return edited->toDouble();
    return m_store.number(record, field);
}

qint64 Table::integer(int record, int field) const
{
    if (!m_edits.empty())
        if (const QVariant* edited = editOf(record, field))
            return edited->toLongLong();
    return m_store.integer(record, field);
}

QStringView Table::foldedText(int record, int field) const
{
    if (!m_edits.empty()) {
        if (const QVariant* edited = editOf(record, field)) {
            QString& folded = m_editsFolded[{record, field}];
            folded = collation::key(editedText(*edited));
            return folded;
        }
    }
    return foldedColumn(field).at(record);
}

TextColumn Table::foldedColumn(int field) const
{
    const Folded& f = folded(field);
    return {f.text.data(), f.spans.data()};
}

const Table::Folded& Table::folded(int field) const
{
    auto it = m_folded.find(field);
    if (it != m_folded.end())
        return it->second;
    Folded folded;
    const int n = recordCount();
    const TextColumn source = m_store.textColumn(field);
    // One pass over the texts: room for keys as long as the field is wide (a few letters
    // become two, so a little more) is only address space until it is written; a field of
    // no fixed width is measured first.
    const FieldDef& def = m_store.field(field);
    size_t chars = 0;
    if (def.type == FieldType::Text && def.width > 0)
        chars = static_cast<size_t>(n) * static_cast<size_t>(def.width);
    else
        for (int r = 0; r < n && source.text; ++r)
            chars += static_cast<size_t>(source.at(r).size());
    folded.text.reserve(chars + chars / 16 + 16);
    folded.spans.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n && source.text; ++r) {
        const size_t from = folded.text.size();
        collation::appendKey(source.at(r), folded.text);
        folded.spans.push_back(
            {static_cast<quint32>(from), static_cast<quint32>(folded.text.size() - from)});
    }
    folded.spans.resize(static_cast<size_t>(n));
    return m_folded.emplace(field, std::move(folded)).first->second;
}

const IndexDef* Table::indexByName(const QString& name) const
{
    for (const IndexDef& def : m_indexDefs)
        if (name.isEmpty() ? def.primary : sameName(def.name, name))
            return &def;
    return nullptr;
}

const IndexDef* Table::indexByFields(const QStringList& fields) const
{
    const auto leads = [&](const IndexDef& def) {
        if (fields.isEmpty() || fields.size() > def.fields.size())
            return false;
        for (qsizetype i = 0; i < fields.size(); ++i)
            if (!sameName(fields[i], def.fields[i]))
                return false;
        return true;
    };
    for (const IndexDef& def : m_indexDefs)
        if (def.primary && leads(def))
            return &def;
    for (const IndexDef& def : m_indexDefs)
        if (leads(def))
            return &def;
    return nullptr;
}

const Index& Table::index(const IndexDef& def) const
{
    size_t slot = 0;
    while (slot < m_indexDefs.size() && !sameName(m_indexDefs[slot].name, def.name))
        ++slot;
    if (slot == m_indexDefs.size())
        throw DatabaseError(QStringLiteral("%1 has no index %2").arg(displayName(), def.name));
    if (!m_indexes[slot]) {
        auto idx = std::make_unique<Index>(*this, m_indexDefs[slot]);
        if (m_inMemory || m_part || !idx->load(indexFilePath(def.name)))
            idx->build();
        m_indexes[slot] = std::move(idx);
    }
    return *m_indexes[slot];
}

QString Table::indexFilePath(const QString& indexName) const
{
    const QFileInfo info(m_path);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName().toLower() +
           QLatin1Char('.') + indexName.toLower() + QStringLiteral(".zix");
}

void Table::addIndex(const IndexDef& def)
{
    if (m_access != Access::Exclusive)
        throw DatabaseError(
            QStringLiteral("%1 must be opened exclusively to add an index").arg(displayName()));
    auto idx = std::make_unique<Index>(*this, def);
    idx->build();
    idx->save(indexFilePath(def.name));
    for (size_t i = 0; i < m_indexDefs.size(); ++i) {
        if (sameName(m_indexDefs[i].name, def.name)) {
            m_indexDefs[i] = def;
            m_indexes[i] = std::move(idx);
            return;
        }
    }
    m_indexDefs.push_back(def);
    m_indexes.push_back(std::move(idx));
}

void Table::setValue(int record, int fieldNo, const QVariant& value)
{
    if (m_access != Access::Exclusive)
        throw DatabaseError(QStringLiteral("%1 is open for reading only").arg(displayName()));
    m_edits[{record, fieldNo}] = value;
}

TableData Table::emptyCopy() const
{
    TableData out;
    out.fields = m_store.fields();
    out.codePage = info().codePage;
    out.fileVersion = info().fileVersion;
    out.primaryKeyFields = info().primaryKeyFields;
    out.encryption = info().encryption;
    return out;
}

void Table::writeBack(TableData out)
{
    // Values that came from this table's own records go back into it unchanged, so what was
    // written is known without reading it again; values from elsewhere may not survive the
    // code page, and the table is read back to hold what the file holds.
    // Made on another thread while this one writes the file.
    std::future<TableStore> known;
    if (const TableData::FromStore& from = out.fromStore; from.store == &m_store)
        known = std::async(std::launch::async, [this, &from, &out] {
            TableStoreBuilder builder(out.fields, info());
            size_t chars = 0;
            for (int f = 0; f < fieldCount(); ++f)
                if (const TextColumn column = m_store.textColumn(f); column.text)
                    for (int r = 0; r < recordCount(); ++r)
                        chars += static_cast<size_t>(column.at(r).size()) + 1;
            chars += static_cast<size_t>(from.replacement.size()) * from.order.size();
            builder.reserve(static_cast<int>(from.order.size()), chars);
            for (const int r : from.order) {
                builder.addRecord();
                for (int f = 0; f < fieldCount(); ++f) {
                    if (f == from.replacedField && from.replaced[static_cast<size_t>(r)]) {
                        builder.setText(f, from.replacement);
                        continue;
                    }
                    builder.copyValue(f, m_store, r);
                }
            }
            return builder.finish();
        });
    QString password;
    for (const QString& pw : m_passwords)
        if (info().encryption != 0 && paradox::passwordChecksum(pw) == info().encryption)
            password = pw;
    std::vector<IndexDef> defs = m_indexDefs;
    std::vector<bool> hadFile;
    for (const IndexDef& def : defs)
        hadFile.push_back(fileExists(indexFilePath(def.name)));
    // The new file comes back locked, and the old one stays locked until the new one has
    // its name, so the table is never unguarded in between.
    int fd = -1;
    try {
        fd = paradox::writeTableFile(m_path, out, password, true);
    } catch (...) {
        if (known.valid())
            known.wait();
        throw;
    }
    ::close(m_fd);
    m_fd = fd;
    if (known.valid()) {
        TableStore store = known.get();
        readLocked(nullptr, &store);
    } else {
        readLocked(nullptr);
    }
    m_indexDefs = defs;
    m_indexes.clear();
    m_indexes.resize(m_indexDefs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        if (hadFile[i]) {
            // Sorted afresh: from the packed beginnings of the keys that costs less than
            // merging the changed records into the old order would.
            auto idx = std::make_unique<Index>(*this, defs[i]);
            idx->build();
            idx->save(indexFilePath(defs[i].name));
            m_indexes[i] = std::move(idx);
        }
    }
}

int Table::post(int oldRecord)
{
    if (m_access != Access::Exclusive)
        throw DatabaseError(QStringLiteral("%1 is open for reading only").arg(displayName()));
    const auto rowOf = [this](int r) {
        std::vector<QVariant> row(static_cast<size_t>(fieldCount()));
        for (int f = 0; f < fieldCount(); ++f)
            row[static_cast<size_t>(f)] = value(r, f);
        return row;
    };
    const std::vector<QVariant> changed = rowOf(oldRecord);

    // Records are stored in primary-key order, so a changed key field moves its record.
    TableData out = emptyCopy();
    out.rows.reserve(static_cast<size_t>(recordCount()));
    if (const IndexDef* primary = indexByName(QString())) {
        Index sorter(*this, *primary);
        sorter.build();
        for (int pos = 0; pos < sorter.size(); ++pos)
            out.rows.push_back(rowOf(sorter.recordAt(pos)));
    } else {
        for (int r = 0; r < recordCount(); ++r)
            out.rows.push_back(rowOf(r));
    }
    writeBack(std::move(out));
    for (int r = 0; r < recordCount(); ++r)
        if (rowOf(r) == changed)
            return r;
    return 0;
}

Table::FillResult Table::fillEmpty(int fieldNo, const QString& text)
{
    if (m_access != Access::Exclusive)
        throw DatabaseError(QStringLiteral("%1 is open for reading only").arg(displayName()));
    if (hasEdits())
        throw DatabaseError(QStringLiteral("%1 has changes not yet posted").arg(displayName()));
    FillResult result;
    const int n = recordCount();
    std::vector<int> filled;
    for (int r = 0; r < n; ++r)
        if (m_store.text(r, fieldNo).isEmpty())
            filled.push_back(r);
    if (filled.empty())
        return result;

    const IndexDef* primaryDef = indexByName(QString());
    const Index* primary = primaryDef ? &index(*primaryDef) : nullptr;
    const std::vector<int> keyFields = primary ? primary->fieldNumbers() : std::vector<int>{};
    const bool inKey = std::find(keyFields.begin(), keyFields.end(), fieldNo) != keyFields.end();
    // The primary key compares exactly; a filled record's key has text in place of its
    // empty value.
    const auto compare = [&](int a, bool aFilled, int b, bool bFilled) {
        for (const int f : keyFields) {
            if (field(f).type != FieldType::Text && field(f).type != FieldType::Memo) {
                const bool an = m_store.isNull(a, f), bn = m_store.isNull(b, f);
                const double x = m_store.number(a, f), y = m_store.number(b, f);
                if (an != bn)
                    return an ? -1 : 1;
                if (!an && x != y)
                    return x < y ? -1 : 1;
                continue;
            }
            const QStringView x = aFilled && f == fieldNo ? QStringView(text) : m_store.text(a, f);
            const QStringView y = bFilled && f == fieldNo ? QStringView(text) : m_store.text(b, f);
            if (const int c = x.compare(y); c != 0)
                return c < 0 ? -1 : 1;
        }
        return 0;
    };

    std::vector<unsigned char> isFilled(static_cast<size_t>(n), 0);
    if (inKey) {
        // A record whose filled-in key another record already has keeps its empty value:
        // writing it would break the table's unique key, and the record is still listed.
        std::erase_if(filled, [&](int r) {
            int lo = 0, hi = primary->size();
            while (lo < hi) {
                const int mid = lo + (hi - lo) / 2;
                if (compare(primary->recordAt(mid), false, r, true) < 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            const bool clash =
                lo < primary->size() && compare(primary->recordAt(lo), false, r, true) == 0;
            if (clash)
                ++result.keptForDuplicateKey;
            return clash;
        });
    }
    if (filled.empty())
        return result;
    for (const int r : filled)
        isFilled[static_cast<size_t>(r)] = 1;

    // The records in their new primary order: the unchanged ones keep theirs, and the
    // filled ones, sorted among themselves, are merged in where their new keys belong.
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    if (primary && inKey) {
        std::vector<int> base;
        base.reserve(static_cast<size_t>(n));
        for (int pos = 0; pos < primary->size(); ++pos)
            if (!isFilled[static_cast<size_t>(primary->recordAt(pos))])
                base.push_back(primary->recordAt(pos));
        std::vector<int> moved = filled;
        std::sort(moved.begin(), moved.end(),
                  [&](int a, int b) { return compare(a, true, b, true) < 0; });
        std::merge(base.begin(), base.end(), moved.begin(), moved.end(), std::back_inserter(order),
                   [&](int a, int b) {
                       return compare(a, isFilled[static_cast<size_t>(a)] != 0, b,
                                      isFilled[static_cast<size_t>(b)] != 0) < 0;
                   });
    } else if (primary) {
        for (int pos = 0; pos < primary->size(); ++pos)
            order.push_back(primary->recordAt(pos));
    } else {
        for (int r = 0; r < n; ++r)
            order.push_back(r);
    }

    // Written straight from the store: a QVariant for every value of forty thousand records
    // would cost more than the rest of the rewrite.
    TableData out = emptyCopy();
    out.fromStore.store = &m_store;
    out.fromStore.order = std::move(order);
    out.fromStore.replacedField = fieldNo;
    out.fromStore.replacement = text;
    out.fromStore.replaced = std::move(isFilled);
    writeBack(std::move(out));
    result.filled = static_cast<int>(filled.size());
    return result;
}

} // namespace zel::data
