#include "model/NoteStore.h"

#include "data/engine/Collation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

namespace zel::model {

namespace {

// A change waits this long for another copy's change to end before the store counts as locked.
constexpr int kBusyMs = 3000;

const char* const kSchema =
    "PRAGMA journal_mode = WAL;"
    "CREATE TABLE IF NOT EXISTS notes (cas TEXT PRIMARY KEY, note TEXT NOT NULL DEFAULT '', "
    "favourite INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS shortlists (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE IF NOT EXISTS shortlist_items (list INTEGER NOT NULL REFERENCES shortlists(id) "
    "ON DELETE CASCADE, cas TEXT NOT NULL, position INTEGER NOT NULL, PRIMARY KEY (list, cas));";

struct Statement
{
    sqlite3_stmt* s = nullptr;
    ~Statement() { sqlite3_finalize(s); }
};

QString text(sqlite3_stmt* s, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, column)),
                             sqlite3_column_bytes(s, column));
}

// The two things the user is told, naming the file and SQLite's reason; what the program does
// then is for the one who tells it to say.
QString cannotChange(const QString& path, const QString& why)
{
    return QCoreApplication::translate("zel::model::NoteStore",
                                       "Your notes in %1 cannot be changed (%2).")
        .arg(QDir::toNativeSeparators(path), why);
}

QString cannotRead(const QString& path, const QString& why)
{
    return QCoreApplication::translate("zel::model::NoteStore",
                                       "Your notes in %1 cannot be read (%2).")
        .arg(QDir::toNativeSeparators(path), why);
}

} // namespace

NoteStore::NoteStore(QString path) : m_path(std::move(path)) {}

NoteStore::~NoteStore()
{
    sqlite3_close(m_db);
}

QString NoteStore::standardPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/zel/notes.sqlite");
}

QString NoteStore::takeProblem()
{
    QString problem = m_problem;
    m_problem.clear();
    return problem;
}

void NoteStore::reportProblem(const QString& what) const
{
    if (m_problem.isEmpty())
        m_problem = what;
    if (m_told)
        return;
    m_told = true;
    if (m_problemHandler)
        m_problemHandler(what);
}

sqlite3* NoteStore::database(bool create) const
{
    if (m_db || m_failed)
        return m_db;
    const QByteArray file = QFile::encodeName(m_path);
    if (!QFileInfo::exists(m_path)) {
        if (!create)
            return nullptr; // nothing kept yet: an empty store
        // The user's own notes: the folder made for them is the user's alone.
        const QString dir = QFileInfo(m_path).absolutePath();
        if (!QFileInfo::exists(dir) && QDir().mkpath(dir))
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    int rc = sqlite3_open_v2(file.constData(), &m_db,
                             SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        m_readOnly = true;
        const QString why = QString::fromUtf8(sqlite3_errstr(rc));
        rc = sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        // A store that cannot even be made has nothing to read, only nowhere to keep changes.
        const bool readable = rc == SQLITE_OK || !QFileInfo::exists(m_path);
        reportProblem(readable ? cannotChange(m_path, why) : cannotRead(m_path, why));
        if (rc != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
            m_failed = true;
            return nullptr;
        }
    }
    sqlite3_busy_timeout(m_db, kBusyMs);
    // With the write-ahead log a commit need not wait for the disk: a program that ends, or is
    // killed, loses no change that returned; only the last changes before a power cut can go,
    // and the file stays whole. Waiting for the disk cost a note typed more than 5 ms.
    sqlite3_exec(m_db, "PRAGMA foreign_keys = ON; PRAGMA synchronous = NORMAL", nullptr, nullptr,
                 nullptr);
    char* error = nullptr;
    if (!m_readOnly && sqlite3_exec(m_db, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString why = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        const int code = sqlite3_errcode(m_db) & 0xFF;
        if (code == SQLITE_READONLY || code == SQLITE_BUSY || code == SQLITE_LOCKED) {
            m_readOnly = true;
            reportProblem(cannotChange(m_path, why));
        } else {
            sqlite3_close(m_db);
            m_db = nullptr;
            m_failed = m_readOnly = true;
            reportProblem(cannotRead(m_path, why));
        }
    } else if (!m_readOnly && sqlite3_db_readonly(m_db, "main") == 1) {
        // A file the user may read but not write opens all the same, read-only; said at once
        // rather than at the first note typed.
        m_readOnly = true;
        reportProblem(cannotChange(m_path, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY))));
    }
    return m_db;
}

std::vector<QStringList> NoteStore::select(const char* sql, const QStringList& values) const
{
    std::vector<QStringList> rows;
    sqlite3* db = database(false);
    if (!db)
        return rows;
    Statement st;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st.s, nullptr);
    for (int i = 0; rc == SQLITE_OK && i < values.size(); ++i) {
        const QByteArray v = values[i].toUtf8();
        rc = sqlite3_bind_text(st.s, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    }
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(st.s);
        if (rc != SQLITE_ROW)
            break;
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(st.s); ++c)
            row << text(st.s, c);
        rows.push_back(row);
    }
    if (rc != SQLITE_DONE) {
        // A store of another program's making, or damaged: nothing of it is shown.
        reportProblem(cannotRead(m_path, QString::fromUtf8(sqlite3_errmsg(db))));
        rows.clear();
    }
    return rows;
}

bool NoteStore::change(const char* sql, const QStringList& values)
{
    if (m_readOnly)
        return false;
    sqlite3* db = database(true);
    if (!db || m_readOnly)
        return false;
    // Several statements are one change: all of it is there, or none.
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    const char* next = sql;
    int bound = 0;
    while (rc == SQLITE_OK && next && *next) {
        Statement st;
        rc = sqlite3_prepare_v2(db, next, -1, &st.s, &next);
        if (rc != SQLITE_OK || !st.s)
            break;
        for (int i = 1; rc == SQLITE_OK && i <= sqlite3_bind_parameter_count(st.s); ++i) {
            const QByteArray v = values.value(bound++).toUtf8();
            rc = sqlite3_bind_text(st.s, i, v.constData(), int(v.size()), SQLITE_TRANSIENT);
        }
        if (rc == SQLITE_OK)
            rc = sqlite3_step(st.s) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db);
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return true;
    const QString why = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    // A change the data refuse (a shortlist renamed to a name another copy has just taken)
    // says nothing about the store.
    if ((rc & 0xFF) == SQLITE_CONSTRAINT)
        return false;
    m_readOnly = true;
    reportProblem(cannotChange(m_path, why));
    return false;
}

NoteStore::Entry NoteStore::entry(const QString& cas) const
{
    const auto rows = select("SELECT note, favourite FROM notes WHERE cas = ?", {cas});
    if (rows.empty())
        return {};
    return {rows.front().value(0), rows.front().value(1) == QLatin1String("1")};
}

std::map<QString, NoteStore::Entry> NoteStore::entries() const
{
    std::map<QString, Entry> all;
    for (const QStringList& row : select("SELECT cas, note, favourite FROM notes", {}))
        all[row.value(0)] = {row.value(1), row.value(2) == QLatin1String("1")};
    return all;
}

// A material with neither a note nor the flag keeps no row.
bool NoteStore::setNote(const QString& cas, const QString& note)
{
    return change("INSERT INTO notes (cas, note) VALUES (?, ?) ON CONFLICT (cas) DO UPDATE SET "
                  "note = excluded.note;"
                  "DELETE FROM notes WHERE cas = ? AND note = '' AND favourite = 0;",
                  {cas, note, cas});
}

bool NoteStore::setFavourite(const QString& cas, bool favourite)
{
    const QString flag = favourite ? QStringLiteral("1") : QStringLiteral("0");
    return change("INSERT INTO notes (cas, favourite) VALUES (?, ?) ON CONFLICT (cas) DO UPDATE "
                  "SET favourite = excluded.favourite;"
                  "DELETE FROM notes WHERE cas = ? AND note = '' AND favourite = 0;",
                  {cas, flag, cas});
}

QStringList NoteStore::shortlists() const
{
    QStringList names;
    for (const QStringList& row : select("SELECT name FROM shortlists", {}))
        names << row.value(0);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return data::collation::key(a) < data::collation::key(b);
    });
    return names;
}

QStringList NoteStore::shortlist(const QString& name) const
{
    QStringList cas;
    for (const QStringList& row :
         select("SELECT i.cas FROM shortlist_items i JOIN shortlists s ON s.id = i.list "
                "WHERE s.name = ? ORDER BY i.position",
                {name}))
        cas << row.value(0);
    return cas;
}

bool NoteStore::createShortlist(const QString& name)
{
    return !name.trimmed().isEmpty() &&
           change("INSERT INTO shortlists (name) VALUES (?) ON CONFLICT DO NOTHING", {name});
}

bool NoteStore::renameShortlist(const QString& from, const QString& to)
{
    return !to.trimmed().isEmpty() &&
           change("UPDATE shortlists SET name = ? WHERE name = ?", {to, from});
}

bool NoteStore::deleteShortlist(const QString& name)
{
    return change("DELETE FROM shortlists WHERE name = ?", {name});
}

bool NoteStore::addToShortlist(const QString& name, const QString& cas)
{
    return !name.trimmed().isEmpty() &&
           change("INSERT INTO shortlists (name) VALUES (?) ON CONFLICT DO NOTHING;"
                  "INSERT INTO shortlist_items (list, cas, position) SELECT id, ?, "
                  "(SELECT coalesce(max(position), 0) + 1 FROM shortlist_items WHERE list = id) "
                  "FROM shortlists WHERE name = ? ON CONFLICT DO NOTHING;",
                  {name, cas, name});
}

bool NoteStore::removeFromShortlist(const QString& name, const QString& cas)
{
    return change("DELETE FROM shortlist_items WHERE cas = ? AND list = (SELECT id FROM "
                  "shortlists WHERE name = ?)",
                  {cas, name});
}

} // namespace zel::model
