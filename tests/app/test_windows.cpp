// The logo window, the about box, the progress window and the re-indexing form, built for
// real on the offscreen platform: the progress bar's step rule, the layouts the user sees,
// and the about box's keyboard behaviour.
#include "app/GaugeBar.h"
#include "app/ProductPanels.h"
#include "app/TAboutBox.h"
#include "app/TGaugeWindow.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "app/ZelLogo.h"
#include "ui/BevelPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest>

using namespace zel::app;

class WindowsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gaugeMovesOnlyAtItsSteps_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("lastPosition"); // positions 0, 1, ..., lastPosition are shown
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("moves");
        QTest::addColumn<int>("finalValue");

        QTest::newRow("0 to 250: even positions") << 0 << 250 << 250 << 2 << 126 << 250;
        QTest::newRow("0 to 99: every position") << 0 << 99 << 99 << 0 << 100 << 99;
        QTest::newRow("0 to 1000, scan ends at 999") << 0 << 1000 << 999 << 10 << 100 << 990;
        QTest::newRow("0 to 100: step 1") << 0 << 100 << 100 << 1 << 101 << 100;
        QTest::newRow("0 to 8000 materials") << 0 << 8000 << 7999 << 80 << 100 << 7920;
        QTest::newRow("0 to 0: nothing to scan") << 0 << 0 << 0 << 0 << 1 << 0;
        QTest::newRow("50 to 300: multiples of 2, not offsets")
            << 50 << 300 << 300 << 2 << 126 << 300;
    }

    void gaugeMovesOnlyAtItsSteps()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, lastPosition);
        QFETCH(int, step);
        QFETCH(int, moves);
        QFETCH(int, finalValue);
        TGaugeWindow gauge;
        gauge.SetProgressRange(minimum, maximum);
        QCOMPARE(gauge.ProgressStep(), step);
        QCOMPARE(gauge.ProgressGauge->minimum(), minimum);
        QCOMPARE(gauge.ProgressGauge->maximum(), maximum);
        // The bar stands at a position only when that position moved it. One below the
        // minimum (0 when the range starts at 50) cannot, and is not counted even when the
        // bar rests just below its minimum.
        int shown = 0;
        for (int position = 0; position <= lastPosition; ++position) {
            gauge.ShowProgress(position);
            if (position >= minimum && gauge.ProgressGauge->value() == position)
                ++shown;
        }
        QCOMPARE(shown, moves);
        QCOMPARE(gauge.ProgressGauge->value(), finalValue);
    }

    void gaugeShowsWholePercentDone_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("percent");
        QTest::newRow("start") << 1000 << 0 << 0;
        QTest::newRow("990 of 1000 is 99, not rounded up") << 1000 << 990 << 99;
        QTest::newRow("end") << 1000 << 1000 << 100;
        QTest::newRow("1 of 3") << 3 << 1 << 33;
        QTest::newRow("2 of 3 rounds down") << 3 << 2 << 66;
    }

    void gaugeShowsWholePercentDone()
    {
        QFETCH(int, maximum);
        QFETCH(int, position);
        QFETCH(int, percent);
        TGaugeWindow gauge;
        gauge.SetProgressRange(0, maximum);
        gauge.ProgressGauge->setValue(position);
        QCOMPARE(gauge.ProgressGauge->percentDone(), percent);
    }

    void gaugeWindowAtCreation()
    {
        TGaugeWindow gauge;
        QCOMPARE(gauge.windowTitle(), QStringLiteral("g"));
        QCOMPARE(gauge.size(), QSize(328, 62));
        QCOMPARE(gauge.ProgressGauge->geometry(), QRect(8, 8, 305, 21));
        QCOMPARE(gauge.ProgressGauge->value(), 0);
        QVERIFY(!gauge.isVisible());
    }

    void layouts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        const auto both = [](const char* control, const QRect& r) {
            QTest::newRow(qPrintable(QStringLiteral("logo %1").arg(QLatin1String(control))))
                << "logo" << control << r;
            QTest::newRow(qPrintable(QStringLiteral("about %1").arg(QLatin1String(control))))
                << "about" << control << r;
        };
        both("LogoPanel", QRect(8, 8, 340, 76));
        both("ProgramIcon", QRect(25, 2, 288, 72));
        both("ProductPanel", QRect(8, 94, 340, 112));
        QTest::newRow("about OKButton") << "about"
                                        << "OKButton" << QRect(139, 216, 77, 27);
        QTest::newRow("index IndexLabel") << "index"
                                          << "IndexLabel" << QRect(24, 8, -1, -1);
        QTest::newRow("index IndexPanel") << "index"
                                          << "IndexPanel" << QRect(16, 28, 345, 25);
        QTest::newRow("index FileNameLabel") << "index"
                                             << "FileNameLabel" << QRect(48, 6, -1, -1);
        QTest::newRow("index IndexNameLabel") << "index"
                                              << "IndexNameLabel" << QRect(192, 6, -1, -1);
    }

    // Positions and sizes as the layout gives them; -1 means sized to the text.
    void layouts()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        TLogoDialog logo;
        TAboutBox about;
        TIndexForm index;
        QWidget* w = window == QLatin1String("logo")    ? static_cast<QWidget*>(&logo)
                     : window == QLatin1String("about") ? static_cast<QWidget*>(&about)
                                                        : static_cast<QWidget*>(&index);
        const auto* c = w->findChild<QWidget*>(control);
        QVERIFY(c);
        QCOMPARE(c->pos(), geometry.topLeft());
        if (geometry.width() >= 0)
            QCOMPARE(c->size(), geometry.size());
        else
            QVERIFY(w->rect().contains(
                c->geometry().translated(c->parentWidget()->mapTo(w, QPoint()))));
    }

    void logoWindow()
    {
        TLogoDialog logo;
        QCOMPARE(logo.size(), QSize(356, 215));
        QCOMPARE(logo.windowTitle(), QStringLiteral("ZEL"));
        QVERIFY(logo.windowFlags() & Qt::FramelessWindowHint);
        const ProductPanels& p = logo.panels();
        QCOMPARE(p.logoPanel->outer(), zel::ui::BevelPanel::Bevel::Lowered);
        QCOMPARE(p.logoPanel->inner(), zel::ui::BevelPanel::Bevel::Raised);
        QCOMPARE(p.ProgramIcon->pixmap().size(), QSize(288, 72));
        // The product line is kept with its ampersand doubled, and reads with one.
        QVERIFY(ProductPanels::productLine().contains(QStringLiteral("&&")));
        QCOMPARE(p.ProductName->text(), QString(ProductPanels::productLine())
                                            .replace(QStringLiteral("&&"), QStringLiteral("&")));
        QVERIFY(p.ProductName->text().startsWith(QStringLiteral("ZEL 2")));
        QVERIFY(p.ProductName->font().bold());
        QCOMPARE(p.ProductName->width(), 320);
        // One line, as the product line is meant to be.
        QVERIFY(QFontMetrics(p.ProductName->font()).horizontalAdvance(p.ProductName->text()) <=
                320);
    }

    void logoPictureHasSixteenColours()
    {
        const QImage& logo = ZelLogo::image();
        QCOMPARE(logo.size(), QSize(288, 72));
        QVERIFY(logo.colorCount() <= 16);
        QSet<QRgb> used;
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                used.insert(logo.pixel(x, y));
        QVERIFY2(used.size() >= 4, "the logo is blank");
        QVERIFY(used.size() <= 16);
        QCOMPARE(logo.pixel(0, 0), qRgb(255, 255, 255)); // white, like the panel around it
    }

    void aboutBoxClosesFromItsFocusedDefaultButton()
    {
        TAboutBox about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About ZEL"));
        QCOMPARE(about.size(), QSize(355, 252));
        QVERIFY(!(about.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(about.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(about.OKButton->text(), QStringLiteral("OK"));
        QVERIFY(about.OKButton->isDefault());
        QVERIFY(!about.OKButton->icon().isNull());
        QVERIFY(about.VersionLabel->text().contains(QStringLiteral(ZEL_VERSION)));
        QVERIFY(about.VersionLabel->text().contains(QStringLiteral("All rights reserved")));

        bool focused = false;
        QTimer::singleShot(50, &about, [&] {
            focused = about.OKButton->hasFocus();
            QTest::keyClick(&about, Qt::Key_Return);
        });
        QTimer::singleShot(5000, &about, [&] { about.reject(); }); // never hang the run
        QCOMPARE(about.exec(), int(QDialog::Accepted));
        QVERIFY(focused);
        QVERIFY(!about.isVisible());
    }

    void indexFormNeverTakesInput()
    {
        TIndexForm form;
        QCOMPARE(form.size(), QSize(377, 64));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(form.windowFlags() & Qt::WindowDoesNotAcceptFocus);
        QCOMPARE(form.IndexLabel->text(), QStringLiteral("Indexing database, please wait..."));
        QVERIFY(form.FileNameLabel->font().bold());
        QVERIFY(form.IndexNameLabel->font().bold());
        QVERIFY(!form.IndexLabel->font().bold());
        QCOMPARE(form.IndexPanel->outer(), zel::ui::BevelPanel::Bevel::Lowered);
        // The longest texts of the plan fit between the labels.
        form.setFileName(QStringLiteral("synonyms.db"));
        form.setIndexName(QStringLiteral("Commercial Name"));
        QVERIFY(form.FileNameLabel->geometry().right() < 160);
        QVERIFY(form.IndexNameLabel->geometry().right() < form.IndexPanel->width());
    }
};

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
