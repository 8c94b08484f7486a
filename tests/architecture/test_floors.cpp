// The libraries of src stand on each other in one order, and a source may use only its own
// library and what that library links. Both are read from the build files and the sources
// themselves, so an include that reaches up, or a link that does, fails here by name.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// Lowest first. Each library may link only libraries listed before it.
const QStringList kFloors{QStringLiteral("zel_data_base"),
                          QStringLiteral("zel_data_paradox"),
                          QStringLiteral("zel_data_engine"),
                          QStringLiteral("zel_data_server"),
                          QStringLiteral("zel_model"),
                          QStringLiteral("zel_appconfig"),
                          QStringLiteral("zel_search"),
                          QStringLiteral("zel_report"),
                          QStringLiteral("zel_report_preview"),
                          QStringLiteral("zel_ui"),
                          QStringLiteral("zel_app")};

struct Library
{
    QStringList links; // the zel_ libraries it links
    QStringList owns;  // its sources, relative to src
};

QString sourceRoot()
{
    return QStringLiteral(ZEL_SOURCE_DIR "/src");
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// add_library(NAME STATIC sources...) and target_link_libraries(NAME ...) of every
// CMakeLists.txt under src.
std::map<QString, Library> readLibraries()
{
    std::map<QString, Library> libraries;
    const QDir root(sourceRoot());
    QDirIterator it(sourceRoot(), {QStringLiteral("CMakeLists.txt")}, QDir::Files,
                    QDirIterator::Subdirectories);
    const QRegularExpression command(
        QStringLiteral(R"((add_library|target_link_libraries)\(([^)]*)\))"));
    while (it.hasNext()) {
        const QString file = it.next();
        const QString dir = root.relativeFilePath(QFileInfo(file).absolutePath());
        QString text = readText(file);
        text.remove(QRegularExpression(QStringLiteral("#[^\n]*")));
        for (auto m = command.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            QStringList words = match.captured(2).split(QRegularExpression(QStringLiteral("\\s+")),
                                                        Qt::SkipEmptyParts);
            if (words.isEmpty())
                continue;
            Library& library = libraries[words.takeFirst()];
            for (const QString& word : words) {
                if (match.captured(1) == QLatin1String("target_link_libraries")) {
                    if (word.startsWith(QLatin1String("zel_")))
                        library.links << word;
                } else if (word.endsWith(QLatin1String(".cpp")) ||
                           word.endsWith(QLatin1String(".h"))) {
                    library.owns << QDir::cleanPath(dir + QLatin1Char('/') + word);
                }
            }
        }
    }
    return libraries;
}

std::set<QString> reachable(const std::map<QString, Library>& libraries, const QString& from)
{
    std::set<QString> seen{from};
    QStringList todo{from};
    while (!todo.isEmpty()) {
        const auto found = libraries.find(todo.takeLast());
        if (found == libraries.end())
            continue;
        for (const QString& link : found->second.links)
            if (seen.insert(link).second)
                todo << link;
    }
    return seen;
}

TEST(Floors, EveryLibraryLinksOnlyTheFloorsBelowIt)
{
    const auto libraries = readLibraries();
    for (const QString& floor : kFloors)
        EXPECT_TRUE(libraries.count(floor)) << qPrintable(floor) << " is not built";
    for (const auto& [name, library] : libraries) {
        const qsizetype rank = kFloors.indexOf(name);
        if (rank < 0)
            continue; // the executables
        for (const QString& link : library.links)
            EXPECT_LT(kFloors.indexOf(link), rank)
                << qPrintable(name) << " links " << qPrintable(link) << ", which is not below it";
    }
}

TEST(Floors, EverySourceIncludesOnlyWhatItsLibraryLinks)
{
    const auto libraries = readLibraries();
    std::map<QString, QString> owner; // source relative to src -> library
    for (const auto& [name, library] : libraries)
        for (const QString& file : library.owns)
            owner[file] = name;
    const QRegularExpression include(QStringLiteral("^#include \"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    int checked = 0;
    for (const auto& [file, name] : owner) {
        const std::set<QString> allowed = reachable(libraries, name);
        for (auto m = include.globalMatch(readText(sourceRoot() + QLatin1Char('/') + file));
             m.hasNext();) {
            const QString header = m.next().captured(1);
            const auto headerOwner = owner.find(header);
            if (headerOwner == owner.end())
                continue; // generated or the toolkit's
            ++checked;
            EXPECT_TRUE(allowed.count(headerOwner->second))
                << qPrintable(file) << " (" << qPrintable(name) << ") includes "
                << qPrintable(header) << " of " << qPrintable(headerOwner->second)
                << ", which its library does not link";
        }
    }
    EXPECT_GT(checked, 300) << "the sources were not found";
}

} // namespace
