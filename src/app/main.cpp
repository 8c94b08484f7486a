#include "app/IniFile.h"
#include "data/Database.h"
#include "data/Datasets.h"
#include "data/Error.h"
#include "data/Schema.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QTextStream>

using namespace zel;

namespace {

// Opens the database named by zel.ini the way the browser does and reports what it found.
int runHeadless(const QString& programDir)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const app::IniFile ini(QDir(programDir).filePath(QStringLiteral("zel.ini")));
    const QString path = ini.value(QStringLiteral("Database"), QStringLiteral("Path"));
    if (path.isEmpty()) {
        err << "zel: Internal error - cannot start program (no database path in zel.ini)\n";
        return 1;
    }
    data::Session::instance().addPassword(QString::fromLatin1(data::schema::tablePassword()));
    data::Database db(QStringLiteral("ZEL"));
    db.setPath(path);
    data::DatasetSet sets(&db, data::decls::mainWindow());
    try {
        sets.openAll();
    } catch (const data::DatabaseError& e) {
        err << "zel: Database not found or corrupted (" << e.message() << ")\n";
        return 1;
    }
    out << "Database: " << QDir::toNativeSeparators(QDir(path).absolutePath()) << '\n';
    for (const char* table : {"MATERIAL.DB", "SYNONYMS.DB", "SUPPLIER.DB"})
        out << "  " << table << ": " << db.table(QString::fromLatin1(table))->recordCount() << " records\n";
    data::Dataset* material = sets.get(QStringLiteral("TableMaterial"));
    material->first();
    out << "First material: " << material->text(QStringLiteral("name")) << " (CAS "
        << material->text(QStringLiteral("cas")) << ")\n";
    out << "Commercial names listed: " << sets.get(QStringLiteral("TableCommSynonyms"))->recordCount() << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool headless = false;
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--headless")
            headless = true;
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zel"));
    QApplication::setApplicationVersion(QStringLiteral(ZEL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("ZEL - reference browser for aroma materials"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("headless"),
                      QStringLiteral("Open the database without showing any window and report what it holds.")});
    parser.process(app);

    const QString programDir = QApplication::applicationDirPath();
    if (parser.isSet(QStringLiteral("headless")))
        return runHeadless(programDir);

    QMessageBox box(QMessageBox::Information, QStringLiteral("ZEL"),
                    QStringLiteral("The browser window is not built yet. Run with --headless to check the database."));
    box.exec();
    return runHeadless(programDir);
}
