// What every desk needs of the windows: each text in French and German, a name for each
// control a screen reader reaches, and the keys people expect, in the real windows.
#include "../ui/SessionFixture.h"
#include "TempDir.h"
#include "app/Program.h"
#include "app/TAboutBox.h"
#include "app/Translations.h"
#include "ui/TAlternativesWindow.h"
#include "ui/TMainForm.h"
#include "ui/TSearchWindow.h"

#include <QAccessible>
#include <QtTest>
#include <QtWidgets>

using namespace zel;

namespace {

struct Message
{
    QString context, source, translation;
    bool finished = false;
};

// Text only: the <byte/> that stands for "\r" is left out of both sides alike.
QList<Message> readTs(const QString& path)
{
    QFile f(path);
    QList<Message> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader x(&f);
    QString context;
    const auto text = QXmlStreamReader::IncludeChildElements;
    while (x.readNext() != QXmlStreamReader::Invalid && !x.atEnd()) {
        if (x.isStartElement() && x.name() == u"name")
            context = x.readElementText();
        else if (x.isStartElement() && x.name() == u"source")
            out.append({context, x.readElementText(text)});
        else if (x.isStartElement() && x.name() == u"translation" && !out.isEmpty()) {
            out.last().finished = x.attributes().value(QStringLiteral("type")).isEmpty();
            out.last().translation = x.readElementText(text);
        }
    }
    return out;
}

// What must survive translation: the placeholders (%1 and %L1 alike) and the accelerator.
QString marks(QString t)
{
    QStringList m;
    for (const auto& p : QRegularExpression(QStringLiteral("%L?(\\d)")).globalMatch(t))
        m << p.captured(1);
    m.sort();
    m << QString::number(t.count(QLatin1String("&&")));
    m << QString::number(t.remove(QLatin1String("&&")).count(u'&'));
    return m.join(u',');
}

QString tsFile(const QString& language)
{
    return QStringLiteral(ZEL_SOURCE_DIR "/translations/zel_%1.ts").arg(language);
}

} // namespace

class DeskTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::Program> program;

    void start(const QString& language)
    {
        app::installTranslations(language);
        dir = std::make_unique<test::TempDir>();
        data::writeDatabase(dir->file(QStringLiteral("data")), test::tenMaterials());
        program = std::make_unique<app::Program>(dir->path(), false,
                                                 app::Program::Source{{}, dir->file("data")});
        QVERIFY(program->StartProgram());
        program->mainForm()->show();
        QVERIFY(QTest::qWaitForWindowExposed(program->mainForm()));
    }
    QList<QWidget*> windows() const
    {
        return {program->mainForm(), program->searchWindow(), program->aboutBox(),
                program->alternativesWindow()};
    }

private Q_SLOTS:
    void cleanup()
    {
        program.reset();
        app::installTranslations(QStringLiteral("en"));
    }

    void translationsComplete_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("fr") << QStringLiteral("fr");
        QTest::newRow("de") << QStringLiteral("de");
    }
    // The texts the sources hold now, not those a .ts file last saw.
    void translationsComplete()
    {
        QFETCH(QString, language);
        test::TempDir scratch;
        const QString fresh = scratch.file(QStringLiteral("fresh.ts"));
        QCOMPARE(QProcess::execute(QStringLiteral(ZEL_LUPDATE),
                                   {QStringLiteral("-silent"), QStringLiteral("-locations"),
                                    QStringLiteral("none"), QStringLiteral(ZEL_SOURCE_DIR "/src"),
                                    QStringLiteral("-ts"), fresh}),
                 0);
        QHash<QString, Message> done;
        for (const Message& m : readTs(tsFile(language)))
            done.insert(m.context + u'|' + m.source, m);
        const QList<Message> wanted = readTs(fresh);
        QVERIFY(wanted.size() > 150);
        for (const Message& m : wanted) {
            const Message t = done.value(m.context + u'|' + m.source);
            const QByteArray where = (m.context + QStringLiteral(": ") + m.source).toUtf8();
            QVERIFY2(t.finished && !t.translation.isEmpty(), QByteArray("untranslated: " + where));
            QVERIFY2(marks(t.translation) == marks(m.source),
                     QByteArray("placeholder or & lost: " + where));
        }
    }

    void windowsSpeakTheLanguage_data() { translationsComplete_data(); }
    // A text no translation gave was never handed to the translator, or was fixed too early.
    void windowsSpeakTheLanguage()
    {
        QFETCH(QString, language);
        QStringList allowed{QStringLiteral("ZEL")};
        const QRegularExpression placeholder(QStringLiteral("%L?\\d"));
        for (const Message& m : readTs(tsFile(language))) {
            QStringList parts = QString(m.translation).replace("&&", "&").split(placeholder);
            for (QString& p : parts)
                p = QRegularExpression::escape(p);
            allowed << parts.join(QStringLiteral(".*"));
        }
        const QRegularExpression known(QStringLiteral("^(%1)$").arg(allowed.join(u'|')));
        start(language);
        QStringList texts;
        for (QWidget* window : windows()) {
            texts << window->windowTitle();
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (auto* l = qobject_cast<QLabel*>(w))
                    texts << l->text();
                // The toolkit's standard buttons carry the toolkit's own translations.
                auto* box = qobject_cast<QDialogButtonBox*>(w->parentWidget());
                if (auto* b = qobject_cast<QAbstractButton*>(w);
                    b && !(box && box->standardButton(b)))
                    texts << b->text() << b->toolTip();
                if (auto* t = qobject_cast<QTabBar*>(w))
                    for (int i = 0; i < t->count(); ++i)
                        texts << t->tabText(i);
                if (auto* v = qobject_cast<QTableView*>(w); v && !v->horizontalHeader()->isHidden())
                    for (int c = 0; c < v->model()->columnCount(); ++c)
                        texts << v->model()->headerData(c, Qt::Horizontal).toString();
                for (QAction* a : w->actions())
                    texts << a->text();
            }
        }
        texts.removeAll(QString());
        for (const QString& t : texts)
            QVERIFY2(known.match(QString(t).replace("&&", "&")).hasMatch(), qPrintable(t));
    }

    // A control the Tab key reaches says what it is; a grid cell says its column.
    void everyControlHasAName()
    {
        start(QStringLiteral("en"));
        QStringList nameless;
        for (QWidget* window : windows())
            for (QWidget* w : window->findChildren<QWidget*>())
                if ((w->focusPolicy() & Qt::TabFocus) &&
                    QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
                    nameless << window->objectName() + u'/' + w->objectName() + u'/' +
                                    QString::fromLatin1(w->metaObject()->className());
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(u' ')));
        for (QTableView* grid : program->mainForm()->findChildren<QTableView*>()) {
            if (grid->horizontalHeader()->isHidden() || grid->model()->rowCount() == 0 ||
                grid->model()->columnCount() == 0)
                continue;
            QAccessibleInterface* cell =
                QAccessible::queryAccessibleInterface(grid)->tableInterface()->cellAt(0, 0);
            QVERIFY2(!cell->tableCellInterface()->columnHeaderCells().isEmpty(),
                     qPrintable(grid->objectName()));
        }
    }

    void keys_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("done");
        const auto row = [](const char* name, int page, const char* key, const char* done) {
            QTest::newRow(name) << page << QKeySequence(QString::fromLatin1(key))
                                << QString::fromLatin1(done);
        };
        row("Ctrl+P prints the material", 0, "Ctrl+P", "print 0");
        row("Ctrl+P prints the supplier", 2, "Ctrl+P", "print 2");
        row("Ctrl+F selects", 0, "Ctrl+F", "select");
        row("Ctrl+F only on the materials page", 1, "Ctrl+F", "");
        row("F5 reloads", 0, "F5", "reload");
        row("Ctrl+Q quits", 1, "Ctrl+Q", "closed");
    }
    void keys()
    {
        QFETCH(int, page);
        QFETCH(QKeySequence, key);
        QFETCH(QString, done);
        start(QStringLiteral("en"));
        ui::TMainForm* form = program->mainForm();
        QString did;
        form->setPrintHandler([&] { did = QStringLiteral("print %1").arg(form->currentPage()); });
        form->setSearchDialog([&] { return did = QStringLiteral("select"), 0; });
        form->SwitchPage(page);
        form->ShowDataChangedNotice();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keySequence(form, key);
        QCoreApplication::processEvents();
        if (did.isEmpty() && form->findChild<QLabel*>(QStringLiteral("ReloadNotice"))->isHidden())
            did = QStringLiteral("reload");
        if (!form->isVisible())
            did = QStringLiteral("closed");
        QCOMPARE(did, done);
    }
};

QTEST_MAIN(DeskTest)
#include "test_desk.moc"
