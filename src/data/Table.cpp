#include "data/Table.h"

#include "data/Error.h"
#include "data/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

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

std::shared_ptr<Table> Table::fromStore(const QString& name, TableStore store, const TableDef* def)
{
    std::shared_ptr<Table> table(new Table(name, Access::Shared));
    table->m_inMemory = true;
    table->adopt(std::move(store), def);
    return table;
}

void Table::load(const TableDef* def, const QStringList& passwords)
{
    m_passwords = passwords;
    // Non-blocking, so that a pipe or device named like a table cannot stall the program.
    const int flags = (m_access == Access::Exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    m_fd = ::open(QFile::encodeName(m_path).constData(), flags);
    if (m_fd < 0)
        throw DatabaseError(QStringLiteral("Cannot open %1: %2").arg(displayName(), systemError()));
    struct stat st
    {
    };
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw DatabaseError(QStringLiteral("%1 is %2, not a table file")
                                .arg(displayName(), fileKindText(st.st_mode)));
    if (!takeLock(m_fd, m_access))
        throw DatabaseError(QStringLiteral("%1 is in use by another program").arg(displayName()));
    if (m_access == Access::Exclusive)
        removeStaleCopies();
    readLocked(def);
}

// A copy of the program killed while it wrote this table leaves its unfinished new file
// behind. Whoever holds the table exclusively is the only possible writer, so any such
// file is a leftover.
void Table::removeStaleCopies() const
{
    const QFileInfo info(m_path);
    const QDir dir = info.absoluteDir();
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    const QStringList leftovers =
        dir.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : leftovers)
        QFile::remove(dir.filePath(name));
}

void Table::readLocked(const TableDef* def)
{
    struct stat st
    {
    };
    if (fstat(m_fd, &st) != 0)
        throw DatabaseError(QStringLiteral("Cannot read %1: %2").arg(displayName(), systemError()));
    m_fileSize = st.st_size;
    m_fileTimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    adopt(paradox::readTable(m_fd, displayName(), m_passwords, paradox::blobFileFor(m_path)), def);
}

void Table::adopt(TableStore store, const TableDef* def)
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
            folded = editedText(*edited).toString().toCaseFolded();
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
    size_t chars = 0;
    for (int r = 0; r < n && source.text; ++r)
        chars += static_cast<size_t>(source.at(r).size());
    // Simple case folding never changes the number of UTF-16 units of a character.
    folded.text.resize(chars);
    folded.spans.resize(static_cast<size_t>(n));
    char16_t* out = folded.text.data();
    for (int r = 0; r < n && source.text; ++r) {
        const QStringView t = source.at(r);
        folded.spans[static_cast<size_t>(r)] = {static_cast<quint32>(out - folded.text.data()),
                                                static_cast<quint32>(t.size())};
        for (qsizetype i = 0; i < t.size(); ++i) {
            const char16_t c = t[i].unicode();
            if (c < 0x80) {
                *out++ = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
            } else if (QChar::isHighSurrogate(c) && i + 1 < t.size() && t[i + 1].isLowSurrogate()) {
                const char32_t u =
                    QChar::toCaseFolded(QChar::surrogateToUcs4(c, t[i + 1].unicode()));
                *out++ = QChar::highSurrogate(u);
                *out++ = QChar::lowSurrogate(u);
                ++i;
            } else {
                *out++ = static_cast<char16_t>(QChar::toCaseFolded(char32_t(c)));
            }
        }
    }
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
        if (m_inMemory || !idx->load(indexFilePath(def.name)))
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
    TableData out;
    out.fields = m_store.fields();
    out.codePage = info().codePage;
    out.fileVersion = info().fileVersion;
    out.primaryKeyFields = info().primaryKeyFields;
    out.encryption = info().encryption;
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
    QString password;
    for (const QString& pw : m_passwords)
        if (info().encryption != 0 && paradox::passwordChecksum(pw) == info().encryption)
            password = pw;
    std::vector<IndexDef> defs = m_indexDefs;
    std::vector<bool> hadFile;
    for (const IndexDef& def : defs)
        hadFile.push_back(QFile::exists(indexFilePath(def.name)));
    // The new file comes back locked, so the table is never unguarded in between.
    const int fd = paradox::writeTableFile(m_path, out, password, true);
    ::close(m_fd);
    m_fd = fd;
    readLocked(nullptr);
    m_indexDefs = defs;
    m_indexes.clear();
    m_indexes.resize(m_indexDefs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        if (hadFile[i]) {
            auto idx = std::make_unique<Index>(*this, defs[i]);
            idx->build();
            idx->save(indexFilePath(defs[i].name));
            m_indexes[i] = std::move(idx);
        }
    }
    for (int r = 0; r < recordCount(); ++r)
        if (rowOf(r) == changed)
            return r;
    return 0;
}

} // namespace zel::data
