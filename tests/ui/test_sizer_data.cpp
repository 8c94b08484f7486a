// Proportional resizing on real widgets laid out like the main window's recorded controls.
#include "ui/TSizerData.h"

#include <QtTest>
#include <map>

using namespace zel;
using ui::TSizerData;

class SizerDataTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    TSizerData sizer;

    QWidget* control(const char* name) const
    {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        window->resize(590, 450);
        // Each control on a panel of its own, at bounds of its own, as on the pages.
        int k = 0;
        for (const ui::SizerEntry& e : TSizerData::mainWindowControls()) {
            auto* panel = new QWidget(window.get());
            auto* c = new QWidget(panel);
            c->setObjectName(QString::fromLatin1(e.name));
            c->setGeometry(3 + k, 40 + 2 * k, 100 + k, 20 + k);
            ++k;
        }
        sizer.SetReference(window.get());
        QCOMPARE(sizer.AddMainWindowControls(window.get()), QStringList());
        QCOMPARE(sizer.controlCount(), 38);
    }

    void cleanup() { window.reset(); }

    void growthIsSharedByFactor_data()
    {
        QTest::addColumn<int>("dW");
        QTest::addColumn<int>("dH");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("change"); // left, top, width, height added to the recorded bounds

        QTest::newRow("+100/+40 SearchField") << 100 << 40 << "SearchField" << QRect(0, 0, 50, 0);
        QTest::newRow("+100/+40 DBOdour") << 100 << 40 << "DBOdour" << QRect(0, 0, 50, 10);
        QTest::newRow("+100/+40 LabelPerformance")
            << 100 << 40 << "LabelPerformance" << QRect(0, 10, 0, 0);
        QTest::newRow("+100/+40 DBPerformance")
            << 100 << 40 << "DBPerformance" << QRect(0, 10, 50, 10);
        QTest::newRow("+100/+40 LabelApplication")
            << 100 << 40 << "LabelApplication" << QRect(0, 20, 0, 0);
        QTest::newRow("+100/+40 DBApplication")
            << 100 << 40 << "DBApplication" << QRect(0, 20, 50, 10);
        QTest::newRow("+100/+40 LabelLiterature")
            << 100 << 40 << "LabelLiterature" << QRect(0, 30, 0, 0);
        QTest::newRow("+100/+40 DBLiterature")
            << 100 << 40 << "DBLiterature" << QRect(0, 30, 50, 10);
        // A quarter of 7 is 1.75: memos grow by 1, offsets trunc(1.75, 3.5, 5.25).
        QTest::newRow("+7 height DBOdour") << 0 << 7 << "DBOdour" << QRect(0, 0, 0, 1);
        QTest::newRow("+7 height DBPerformance") << 0 << 7 << "DBPerformance" << QRect(0, 1, 0, 1);
        QTest::newRow("+7 height LabelApplication")
            << 0 << 7 << "LabelApplication" << QRect(0, 3, 0, 0);
        QTest::newRow("+7 height DBLiterature") << 0 << 7 << "DBLiterature" << QRect(0, 5, 0, 1);
        QTest::newRow("+1 width widens nothing") << 1 << 0 << "DBEditName" << QRect(0, 0, 0, 0);
        QTest::newRow("+3 width widens by 1") << 3 << 0 << "DBEditName" << QRect(0, 0, 1, 0);
        // Below the recorded size trunc rounds toward zero: -1.5 gives -1, not -2.
        QTest::newRow("-3 width narrows by 1")
            << -3 << 0 << "DBComercialName" << QRect(0, 0, -1, 0);
    }

    void growthIsSharedByFactor()
    {
        QFETCH(int, dW);
        QFETCH(int, dH);
        QFETCH(QString, name);
        QFETCH(QRect, change);
        QWidget* c = control(name.toLatin1().constData());
        const QRect before = c->geometry();
        window->resize(590 + dW, 450 + dH);
        sizer.ResizeControls();
        const QRect after = c->geometry();
        QCOMPARE(QRect(after.left() - before.left(), after.top() - before.top(),
                       after.width() - before.width(), after.height() - before.height()),
                 change);
    }

    void backToTheRecordedSizeRestoresEveryBound()
    {
        std::map<QWidget*, QRect> recorded;
        for (int k = 1; k <= sizer.controlCount(); ++k)
            recorded[sizer.control(k)] = sizer.control(k)->geometry();
        for (const QSize& s :
             {QSize(777, 451), QSize(591, 613), QSize(1203, 999), QSize(590, 450)}) {
            window->resize(s);
            sizer.ResizeControls();
        }
        for (int k = 1; k <= sizer.controlCount(); ++k) {
            QCOMPARE(sizer.control(k)->geometry(), recorded[sizer.control(k)]);
            QCOMPARE(sizer.recordedBounds(k), recorded[sizer.control(k)]);
        }
    }

    void widthHeightLeftTopOneAtATime()
    {
        QWidget top;
        top.resize(200, 200);
        auto* probe = new QWidget(&top);
        probe->setGeometry(10, 10, 50, 50);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));
        TSizerData s;
        s.SetReference(&top);
        QVERIFY(s.AddControl(probe, 0.5, 0.5, 0.5, 0.5));

        struct Recorder : QObject
        {
            QStringList steps;
            bool eventFilter(QObject* o, QEvent* e) override
            {
                const QRect g = static_cast<QWidget*>(o)->geometry();
                if (e->type() == QEvent::Resize || e->type() == QEvent::Move)
                    steps << QStringLiteral("%1,%2 %3x%4")
                                 .arg(g.x())
                                 .arg(g.y())
                                 .arg(g.width())
                                 .arg(g.height());
                return false;
            }
        } recorder;
        probe->installEventFilter(&recorder);
        top.resize(220, 240);
        s.ResizeControls();
        QCOMPARE(recorder.steps,
                 (QStringList{"10,10 60x50", "10,10 60x70", "20,10 60x70", "20,30 60x70"}));
    }

    void capacityAndMissingControls()
    {
        TSizerData s;
        QWidget top;
        s.SetReference(&top);
        for (int i = 0; i < TSizerData::Capacity; ++i)
            QVERIFY(s.AddControl(&top, 0, 0, 0, 0));
        QVERIFY(!s.AddControl(&top, 0, 0, 0, 0));
        QCOMPARE(s.controlCount(), TSizerData::Capacity);

        s.SetReference(&top); // starts the records afresh
        QCOMPARE(s.controlCount(), 0);
        auto* only = new QWidget(&top);
        only->setObjectName(QStringLiteral("DBOdour"));
        const QStringList missing = s.AddMainWindowControls(&top);
        QCOMPARE(missing.size(), 37);
        QVERIFY(!missing.contains(QStringLiteral("DBOdour")));
        QCOMPARE(s.control(1), only);

        TSizerData none; // no reference: resizing does nothing rather than crash
        none.ResizeControls();
        QCOMPARE(none.control(0), nullptr);
    }
};

QTEST_MAIN(SizerDataTest)
#include "test_sizer_data.moc"
