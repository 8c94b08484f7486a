#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zel::model {

// Rebuilds the index files of a data directory: first every old index file goes, then the
// nine indexes are built table by table, and empty commercial names get the placeholder
// "~". Apart from that placeholder this is the only writing the program ever does to the
// database, so it runs before any dataset is open and holds each table exclusively.
class Reindex
{
public:
    // Where the procedure shows what it is doing. Nothing processes events while it runs,
    // so an implementation on screen must paint when told to, not later.
    class Progress
    {
    public:
        virtual ~Progress() = default;
        virtual void setFileName(const QString& text) = 0;
        virtual void setIndexName(const QString& text) = 0;
        virtual void repaintNow() = 0;
        // Tells the user about a failure and returns once it has been acknowledged. cause is
        // the engine's own account, for where there is room to show it.
        virtual void showError(const QString& message, const QString& cause) = 0;
        virtual void hideProgress() = 0;
    };

    enum class Action
    {
        AddIndex,
        Placeholder
    };

    struct Step
    {
        QString table; // file name as the form shows it, e.g. "synonyms.db"
        QString label; // what the form shows while the step runs
        Action action = Action::AddIndex;
        QString index; // AddIndex only
        QString fields;
        bool primary = false;
    };

    // The wildcard patterns of the old index files, in the order they are deleted. Our
    // engine keeps every index in one file of its own type, so there is one pattern.
    static const QStringList& oldIndexPatterns();
    // The ten steps, in the order they run; steps of one table are next to each other.
    static const std::vector<Step>& plan();
    static QString placeholder() { return QStringLiteral("~"); }

    // Messages; "\r" is a line break for the user.
    static QString deleteFailedMessage(const QString& pattern);
    static QString stepFailedMessage(const QString& tableFile);
    // Shown, and re-indexing goes on, when the placeholder could only be written by giving
    // the table to the user who runs the program.
    static QString ownerNotKeptMessage(const QString& tableFile);

    enum class Result
    {
        NotNeeded,
        Done,
        Failed
    };

    // Whether the data directory's indexes are to be built: its materials table has no id
    // index file, the sign that they were built, or one sorted by another collation than
    // the engine's. False when there is no materials table (opening it says why).
    static bool needed(const QString& dataDirectory);

    // Runs both phases over dataDirectory. Returns true when every step succeeded; after a
    // failure its message has been shown through progress and the remaining steps skipped.
    // What was built before a failure stays built.
    static bool run(const QString& dataDirectory, Progress& progress);
    // Re-indexing on a server is making sure its secondary indexes and the revision of its
    // data exist, by a role that owns the tables; a browsing role leaves them to the owner. A
    // server that cannot be reached is not reported here: opening the tables says so.
    static Result runOnServer(const QString& connection, int answerTimeout, Progress& progress);

private:
    static bool deleteOldIndexFiles(const QString& dataDirectory, Progress& progress);
    static bool buildIndexes(const QString& dataDirectory, Progress& progress);
};

} // namespace zel::model
