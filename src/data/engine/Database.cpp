#include "data/engine/Database.h"

#include "data/base/Error.h"
#include "data/base/FileAccess.h"
#include "data/base/FileName.h"
#include "data/engine/Collation.h"
#include "data/engine/Dataset.h"
#include "data/engine/Index.h"
#include "data/paradox/ParadoxFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace zel::data {

Session& Session::instance()
{
    static Session session;
    return session;
}

void Session::addPassword(const QString& password)
{
    if (!m_passwords.contains(password))
        m_passwords << password;
}

void Session::addPassword(const QString& password, quint32 checksum)
{
    paradox::rememberPasswordChecksum(password, checksum);
    addPassword(password);
}

void Session::removeAllPasswords()
{
    m_passwords.clear();
}

Database::Database(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

Database::~Database()
{
    for (Dataset* ds : m_datasets)
        ds->m_database = nullptr;
}

void Database::setLayouts(std::vector<const TableDef*> layouts)
{
    m_layouts = std::move(layouts);
}

const TableDef* Database::layoutOf(const QString& fileName) const
{
    for (const TableDef* def : m_layouts)
        if (def->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return def;
    return nullptr;
}

void Database::setParams(const QStringList& params)
{
    disconnect();
    m_path.clear();
    m_source.reset();
    for (const QString& line : params)
        if (line.startsWith(QStringLiteral("Path="), Qt::CaseInsensitive))
            m_path = line.mid(5);
}

void Database::setPath(const QString& path)
{
    setParams({QStringLiteral("Path=") + path});
}

void Database::setSource(std::shared_ptr<TableSource> source)
{
    // The same data named again keep the tables that are loaded or still loading.
    if (m_source && source && m_source->sameAs(*source))
        return;
    disconnect();
    m_path.clear();
    m_source = std::move(source);
    if (m_source)
        connect(m_source.get(), &TableSource::changed, this, &Database::sourceChanged);
}

void Database::disconnect()
{
    const std::vector<Dataset*> all = m_datasets;
    for (Dataset* ds : all)
        ds->close();
    m_tables.clear();
    m_loading.clear(); // waits for loads still running
    m_reloaded.clear();
    m_parts.clear();
    m_sourceTables.clear();
    if (m_sourceLoad.valid())
        m_sourceLoad.wait();
    m_sourceLoad = {};
    if (m_source)
        m_source->close();
}

bool Database::loadedFromLocalCopy() const
{
    return m_source && m_source->loadedFromLocalCopy();
}

void Database::waitUntilKept()
{
    if (m_source)
        m_source->settle();
}

void Database::adopt(std::unique_ptr<TableSource::Load> load)
{
    m_sourceTables = load->tables;
    m_source->adopt(*load);
}

void Database::takeSourceLoad()
{
    if (!m_sourceTables.empty())
        return;
    if (m_sourceLoad.valid()) {
        std::future<std::unique_ptr<TableSource::Load>> loading = std::move(m_sourceLoad);
        adopt(loading.get());
    } else {
        adopt(m_source->load(true));
    }
}

void Database::reload()
{
    if (m_source) {
        std::unique_ptr<TableSource::Load> load = m_source->load(false);
        const std::vector<Dataset*> all = m_datasets;
        for (Dataset* ds : all)
            ds->close();
        adopt(std::move(load));
        return;
    }
    // Every table is read before any dataset lets its old copy go: the tables of the layouts
    // the program expects, and any other table that is open.
    QStringList names;
    for (const TableDef* def : m_layouts)
        names << def->fileName;
    for (const auto& [path, table] : m_tables)
        if (const auto open = table.lock();
            open && !names.contains(open->displayName(), Qt::CaseInsensitive))
            names << open->displayName();
    std::vector<std::shared_ptr<Table>> fresh;
    for (const QString& name : names) {
        const QString path = findFile(name);
        if (path.isEmpty())
            throw DatabaseError(
                QStringLiteral("Table %1 not found in %2").arg(name, shownPath(m_path)));
        fresh.push_back(Table::open(path, layoutOf(name), Table::Access::Shared,
                                    Session::instance().passwords()));
    }
    const std::vector<Dataset*> all = m_datasets;
    for (Dataset* ds : all)
        ds->close();
    m_tables.clear();
    m_loading.clear();
    for (const std::shared_ptr<Table>& table : fresh)
        m_tables[table->path()] = table;
    m_reloaded = std::move(fresh);
}

QString Database::findFileIn(const QString& dir, const QString& fileName)
{
    return findFileIgnoringCase(dir, fileName);
}

QString Database::missingTableReason(const QString& dir, const QString& fileName)
{
    const QString shown = shownPath(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QString listed = dir.isEmpty() ? QStringLiteral(".") : dir;
    const QByteArray d = fileNameBytes(listed);
    struct stat st
    {
    };
    if (::stat(d.constData(), &st) != 0) {
        const int error = errno;
        return error == ENOENT ? QStringLiteral("The data directory %1 does not exist").arg(shown)
                               : QStringLiteral("Cannot reach the data directory %1: %2")
                                     .arg(shown, systemError(error));
    }
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("The data directory %1 is %2, not a directory")
            .arg(shown, fileKindText(st.st_mode));
    if (::access(d.constData(), R_OK | X_OK) != 0) {
        const int error = errno;
        return QStringLiteral("Cannot read the data directory %1: %2")
            .arg(shown, systemError(error));
    }
    // Something of that name that is no file: a pipe, a device, a directory.
    QStringList entries;
    listMatching(listed, QStringLiteral("*"), entries);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0 &&
            ::stat(fileNameBytes(listed + QLatin1Char('/') + entry).constData(), &st) == 0)
            return QStringLiteral("%1 in %2 is %3, not a table file")
                .arg(entry, shown, fileKindText(st.st_mode));
    return QStringLiteral("Table %1 not found in %2").arg(fileName, shown);
}

bool Database::indexFileCurrent(const QString& fileName, const QString& indexName) const
{
    const QString zix = findFile(QFileInfo(fileName).completeBaseName() + QLatin1Char('.') +
                                 indexName + QStringLiteral(".zix"));
    return !zix.isEmpty() && Index::fileCollation(zix) == collation::name();
}

QString Database::findFile(const QString& fileName) const
{
    return findFileIn(m_path, fileName);
}

std::shared_ptr<Table> Database::table(const QString& fileName)
{
    if (m_source) {
        takeSourceLoad();
        for (const auto& [name, table] : m_sourceTables)
            if (name.compare(fileName, Qt::CaseInsensitive) == 0)
                return table;
        throw DatabaseError(
            QStringLiteral("%1 holds no table %2").arg(m_source->description(), fileName));
    }
    const QString path = findFile(fileName);
    if (path.isEmpty())
        throw DatabaseError(missingTableReason(m_path, fileName));
    if (auto existing = m_tables[path].lock())
        return existing;
    std::shared_ptr<Table> table;
    if (auto loading = m_loading.find(path); loading != m_loading.end()) {
        std::future<std::shared_ptr<Table>> result = std::move(loading->second);
        m_loading.erase(loading);
        table = result.get();
    } else {
        table = Table::open(path, layoutOf(fileName), Table::Access::Shared,
                            Session::instance().passwords());
    }
    m_tables[path] = table;
    return table;
}

std::shared_ptr<Table> Database::tableMatching(const QString& fileName, const QString& indexName,
                                               const std::vector<KeyValues>& keys)
{
    const TableDef* def = layoutOf(fileName);
    const QString path = m_source || !def ? QString() : findFile(fileName);
    if (path.isEmpty())
        return nullptr;
    std::shared_ptr<Table> table =
        Table::openMatching(path, *def, Session::instance().passwords(), indexName, keys);
    if (table) {
        m_tables[path] = table;
        m_parts.push_back(table);
    }
    return table;
}

void Database::preload(const QStringList& fileNames, Preload what)
{
    if (m_source) {
        // A source's tables come in one state, all at once.
        if (m_sourceTables.empty() && !m_sourceLoad.valid())
            m_sourceLoad =
                std::async(std::launch::async, [source = m_source] { return source->load(true); });
        return;
    }
    for (const QString& fileName : fileNames) {
        const QString path = findFile(fileName);
        if (path.isEmpty() || m_loading.count(path) || m_tables[path].lock())
            continue; // a missing table fails when it is opened
        const TableDef* def = layoutOf(fileName);
        m_loading[path] = std::async(
            std::launch::async, [path, def, what, passwords = Session::instance().passwords()] {
                std::shared_ptr<Table> table =
                    Table::open(path, def, Table::Access::Shared, passwords);
                for (const IndexDef& index : table->indexDefs()) {
                    const Index& order = table->index(index);
                    if (what == Preload::TablesAndKeys)
                        order.prepare();
                }
                return table;
            });
    }
}

void Database::attach(Dataset* ds)
{
    if (std::find(m_datasets.begin(), m_datasets.end(), ds) == m_datasets.end())
        m_datasets.push_back(ds);
}

void Database::detach(Dataset* ds)
{
    std::erase(m_datasets, ds);
}

} // namespace zel::data
