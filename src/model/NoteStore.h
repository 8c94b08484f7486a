#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

struct sqlite3;

namespace zel::model {

// What a user keeps of their own beside the shared, read-only database: a note and a favourite
// flag for each material, and named shortlists of materials. Everything is keyed by CAS number,
// so it survives re-imports, reloads and either data source. One SQLite file per user,
// $XDG_DATA_HOME/zel/notes.sqlite (~/.local/share/zel/notes.sqlite), with a write-ahead log and
// one transaction per change: two copies of the program writing at once lose nothing, and a
// copy reads the other's change the next time it asks.
//
// The file is made with the first change, so an empty store costs a start nothing. A store
// that is damaged, locked for longer than a moment or cannot be written is reported once
// (problem()) and the store goes on read-only, or empty when it cannot be read at all.
class NoteStore
{
public:
    struct Entry
    {
        QString note;
        bool favourite = false;
        bool operator==(const Entry&) const = default;
    };

    // The store at path; nothing is opened yet.
    explicit NoteStore(QString path = standardPath());
    ~NoteStore();
    NoteStore(const NoteStore&) = delete;
    NoteStore& operator=(const NoteStore&) = delete;

    static QString standardPath();
    const QString& path() const { return m_path; }

    // Empty while all is well; otherwise what went wrong, in words for the user. Reported by
    // the first operation that meets it; takeProblem() hands it over once.
    const QString& problem() const { return m_problem; }
    QString takeProblem();
    // Told the first problem as it is met, once for the life of the store.
    void setProblemHandler(std::function<void(const QString&)> handler)
    {
        m_problemHandler = std::move(handler);
    }
    bool writable() const { return !m_readOnly; }
    // False once the file turned out damaged or unreadable: everything then reads as empty.
    bool readable() const { return !m_failed; }

    Entry entry(const QString& cas) const;
    // Every material with a note or the favourite flag, by CAS number.
    std::map<QString, Entry> entries() const;
    // Each returns false, changing nothing, when the store cannot be written, or when the
    // change cannot be made (a shortlist renamed to a name another one has).
    bool setNote(const QString& cas, const QString& note);
    bool setFavourite(const QString& cas, bool favourite);

    // Shortlists by name, sorted as a person reads them; their materials in the order added.
    QStringList shortlists() const;
    QStringList shortlist(const QString& name) const;
    bool createShortlist(const QString& name);
    bool renameShortlist(const QString& from, const QString& to);
    bool deleteShortlist(const QString& name);
    bool addToShortlist(const QString& name, const QString& cas);
    bool removeFromShortlist(const QString& name, const QString& cas);

private:
    // The open database; opened on first use, made when create is true.
    sqlite3* database(bool create) const;
    void reportProblem(const QString& what) const;
    bool change(const char* sql, const QStringList& values);
    std::vector<QStringList> select(const char* sql, const QStringList& values) const;

    QString m_path;
    mutable sqlite3* m_db = nullptr;
    mutable QString m_problem;
    std::function<void(const QString&)> m_problemHandler;
    mutable bool m_told = false;
    mutable bool m_readOnly = false;
    mutable bool m_failed = false; // cannot be read at all: behaves as empty
};

} // namespace zel::model
