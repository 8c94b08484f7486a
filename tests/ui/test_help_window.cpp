// The help window on what may stand where zel.ini names the help file: an HTML file is shown,
// and anything that is not a file is refused at once with what it is, never read and waited on.
#include "TempDir.h"
#include "ui/HelpWindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QtTest>
#include <sys/stat.h>

using zel::ui::HelpWindow;

class HelpWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsFilesAndRefusesTheRest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("error");
        QTest::newRow("html file") << QStringLiteral("file") << true << QString();
        QTest::newRow("missing") << QStringLiteral("missing") << false
                                 << QStringLiteral("No such file or directory");
        QTest::newRow("named pipe") << QStringLiteral("pipe") << false
                                    << QStringLiteral("is a named pipe, not a help file");
        QTest::newRow("directory") << QStringLiteral("directory") << false
                                   << QStringLiteral("is a directory, not a help file");
    }
    void showsFilesAndRefusesTheRest()
    {
        QFETCH(QString, kind);
        QFETCH(bool, shown);
        QFETCH(QString, error);
        zel::test::TempDir dir;
        const QString path = dir.file(QStringLiteral("zel.html"));
        if (kind == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<html><body><h1>Help of ZEL</h1></body></html>");
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkpath(path));
        }
        HelpWindow window;
        QCOMPARE(window.showFile(path), shown);
        QCOMPARE(window.isVisible(), shown);
        if (shown) {
            QCoreApplication::processEvents();
            QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Help of ZEL")));
        } else {
            QVERIFY2(window.error().contains(error), qPrintable(window.error()));
            QVERIFY(window.error().contains(path));
        }
    }
};

QTEST_MAIN(HelpWindowTest)
#include "test_help_window.moc"
