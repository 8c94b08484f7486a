// Shows one of the small windows in a state worth looking at and keeps it on the screen
// until it is ended, so that a screenshot can be taken under a virtual X server:
//   app_screens about | gauge | indexing
//   app_screens logo FILE      (writes the logo picture, four times enlarged, and ends)
//   app_screens main PROGRAMDIR OUTDIR
//                              (starts the program from the zel.ini in PROGRAMDIR, resizes
//                              the main window while each page and sub-page is shown, and
//                              writes what the screen shows after each step into OUTDIR)
//   app_screens readme PROGRAMDIR OUTDIR
//                              (the pictures README shows: the three pages, notes and a
//                              shortlist, the search dialog, the comparison and the preview,
//                              written into OUTDIR)
//   app_screens compare DATADIR CAS,CAS,...
//                              (opens the comparison of those materials of the database in
//                              DATADIR on a real screen, five times, and says how long each
//                              took until the window was painted: the benchmark's figure
//                              taken another way)
#include "app/Program.h"
#include "app/ReportRunner.h"
#include "app/TAboutBox.h"
#include "app/TGaugeWindow.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "app/Translations.h"
#include "app/WindowUtil.h"
#include "app/ZelLogo.h"
#include "model/Comparison.h"
#include "model/NoteStore.h"
#include "ui/MainSession.h"
#include "ui/ShortlistMenu.h"
#include "ui/TAlternativesWindow.h"
#include "ui/TCompareForm.h"
#include "ui/TMainForm.h"
#include "ui/TSearchWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>

using namespace zel::app;

namespace {

// Lets the window system and the window catch up with what was just asked of them.
void settle()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

// The main window on every page and sub-page, before and after resizing on each of them.
int mainWindowScreens(const QString& programDir, const QString& outDir)
{
    Program program(programDir, false);
    if (!program.StartProgram())
        return 1;
    zel::ui::TMainForm* form = program.mainForm();
    centreOnScreen(form);
    form->show();
    settle();
    QDir().mkpath(outDir);
    const auto shoot = [&](const QString& name) {
        settle();
        // The screen, not the widget: the frame and anything the window system added count.
        const QPixmap screen =
            form->screen()->grabWindow(0).copy(form->frameGeometry().adjusted(-4, -4, 4, 4));
        screen.save(QDir(outDir).filePath(name + QStringLiteral(".png")));
        std::printf("%s: window %dx%d, frame %dx%d\n", qPrintable(name), form->width(),
                    form->height(), form->frameGeometry().width(), form->frameGeometry().height());
    };
    const struct
    {
        int page, sub;
        const char* notebook;
    } views[] = {{0, 0, "DetailTabNotebook"},
                 {0, 1, "DetailTabNotebook"},
                 {0, 2, "DetailTabNotebook"},
                 {1, 0, "TabbedNotebookCommercialName"},
                 {1, 1, "TabbedNotebookCommercialName"},
                 {2, 0, "SuppliersDetailTabNotebook"},
                 {2, 1, "SuppliersDetailTabNotebook"}};
    const auto showView = [&](int i) {
        form->SwitchPage(views[i].page);
        form->findChild<QTabWidget*>(QLatin1String(views[i].notebook))
            ->setCurrentIndex(views[i].sub);
    };
    const QSize design = form->size();
    for (int i = 0; i < 7; ++i) {
        showView(i);
        shoot(QStringLiteral("design-%1-%2").arg(views[i].page).arg(views[i].sub));
    }
    // Resized while one view is shown, then every view looked at; then back.
    for (int at = 0; at < 7; ++at) {
        showView(at);
        form->resize(design + QSize(250, 180));
        for (int i = 0; i < 7; ++i) {
            showView(i);
            shoot(QStringLiteral("grown-on-%1-%2-view-%3-%4")
                      .arg(views[at].page)
                      .arg(views[at].sub)
                      .arg(views[i].page)
                      .arg(views[i].sub));
        }
        showView(at);
        form->resize(design);
        for (int i = 0; i < 7; ++i) {
            showView(i);
            shoot(QStringLiteral("back-on-%1-%2-view-%3-%4")
                      .arg(views[at].page)
                      .arg(views[at].sub)
                      .arg(views[i].page)
                      .arg(views[i].sub));
        }
    }
    return 0;
}

// Notes that a widget (or its viewport) was painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(bool* painted) : m_painted(painted) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            *m_painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    bool* m_painted;
};

// Saves a window as it draws itself: a virtual X server has no window manager to add frames,
// and whatever lies behind the window stays out of the picture.
bool shootWindow(QWidget* window, const QString& file)
{
    settle();
    const QPixmap shot = window->grab();
    std::printf("%s: %dx%d\n", qPrintable(file), shot.width(), shot.height());
    return shot.save(file);
}

// The pictures of README: each page on a material worth looking at, the user's notes with a
// shortlist shown as the list, the search dialog over the window, and the preview of a
// material report.
int readmeScreens(const QString& programDir, const QString& outDir)
{
    // Notes of the pictures' own, never the user's.
    const QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    Program program(programDir, false);
    if (!program.StartProgram())
        return 1;
    QDir().mkpath(outDir);
    const auto file = [&](const char* name) {
        return QDir(outDir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    };
    zel::ui::TMainForm* form = program.mainForm();
    form->resize(form->size() + QSize(190, 110));
    centreOnScreen(form);
    form->show();
    settle();
    // A material with commercial names and a full stability profile.
    form->findChild<QLineEdit*>(QStringLiteral("SearchField"))->setText(QStringLiteral("lina"));
    bool ok = shootWindow(form, file("materials"));
    form->findChild<QTabWidget*>(QStringLiteral("DetailTabNotebook"))->setCurrentIndex(1);
    ok = shootWindow(form, file("materials-stability")) && ok;
    form->findChild<QTabWidget*>(QStringLiteral("DetailTabNotebook"))->setCurrentIndex(2);
    settle();
    form->SwitchPage(1);
    ok = shootWindow(form, file("commercial-names")) && ok;
    form->SwitchPage(2);
    ok = shootWindow(form, file("suppliers")) && ok;
    form->SwitchPage(0);

    zel::model::NoteStore& notes = program.session()->notes();
    for (const char* cas : {"78-70-6", "106-24-1", "106-22-9", "106-25-2", "8000-46-2"})
        notes.addToShortlist(QStringLiteral("Rose soap trial"), QString::fromLatin1(cas));
    notes.setFavourite(QStringLiteral("78-70-6"), true);
    notes.setNote(QStringLiteral("78-70-6"),
                  QStringLiteral("Trial 12: 0.8 % in the rose soap base, still fresh after four "
                                 "weeks at 40 \u00b0C.\nAsk for a sample of Miralinenza 50."));
    form->findChild<zel::ui::ShortlistMenu*>()->showShortlist(QStringLiteral("Rose soap trial"));
    form->findChild<QLineEdit*>(QStringLiteral("SearchField"))->setText(QStringLiteral("lina"));
    form->findChild<QTabWidget*>(QStringLiteral("DetailTabNotebook"))->setCurrentIndex(3);
    ok = shootWindow(form, file("notes")) && ok;
    form->setSearchDialog([] { return zel::ui::TSearchWindow::SelectAll; });
    form->SearchButtonClick();
    form->findChild<QTabWidget*>(QStringLiteral("DetailTabNotebook"))->setCurrentIndex(0);

    zel::ui::TSearchWindow* search = program.searchWindow();
    search->show();
    search->move(form->geometry().center() - search->rect().center());
    ok = shootWindow(search, file("search")) && ok;
    search->hide();

    // Three materials side by side, the media where they differ marked.
    zel::ui::TCompareForm* compare = program.compareForm();
    compare->Compare(
        {QStringLiteral("78-70-6"), QStringLiteral("115-95-7"), QStringLiteral("5392-40-5")});
    compare->resize(900, 700);
    compare->move(form->geometry().center() - compare->rect().center());
    compare->ShowWindow();
    // A fourth being looked for, as the materials page finds it.
    compare->findChild<QLineEdit*>(QStringLiteral("CompareSearchField"))
        ->setText(QStringLiteral("gera"));
    ok = shootWindow(compare, file("compare")) && ok;
    compare->hide();

    // What smells like Linalool and holds up at pH 3 and in a foam bath.
    form->findChild<QLineEdit*>(QStringLiteral("SearchField"))->setText(QStringLiteral("lina"));
    zel::ui::TAlternativesWindow* alternatives = program.alternativesWindow();
    std::array<bool, zel::model::MediaCount> ticked{};
    ticked[2] = ticked[24] = true;
    alternatives->setTickedMedia(ticked);
    alternatives->resize(820, 520);
    alternatives->move(form->geometry().center() - alternatives->rect().center());
    alternatives->show();
    alternatives->Refresh();
    ok = shootWindow(alternatives, file("alternatives")) && ok;
    alternatives->hide();

    // The preview runs its own loop until it is closed: shoot it from inside that loop.
    QTimer::singleShot(0, [&] {
        const auto shootPreview = [&](auto& self) -> void {
            QWidget* preview = program.reports()->preview();
            if (!preview || !preview->isVisible()) {
                QTimer::singleShot(100, [&, self] { self(self); });
                return;
            }
            preview->resize(760, 640);
            ok = shootWindow(preview, file("preview")) && ok;
            program.reports()->closeReports();
        };
        shootPreview(shootPreview);
    });
    form->findChild<QLineEdit*>(QStringLiteral("SearchField"))->setText(QStringLiteral("lina"));
    program.reports()->PrintCurrentPage();
    return ok ? 0 : 1;
}

// The time from asking for a comparison to its window painted on the screen, the whole of
// what a user waits for.
int compareTiming(const QString& dataDir, const QStringList& cas)
{
    Program program(QStringLiteral("/nonexistent"), false, {QString(), dataDir});
    if (!program.StartProgram())
        return 1;
    program.mainForm()->show();
    settle();
    zel::ui::TCompareForm* compare = program.compareForm();
    bool painted = false;
    PaintWatch watch(&painted);
    compare->findChild<QTableView*>(QStringLiteral("CompareGrid"))
        ->viewport()
        ->installEventFilter(&watch);
    for (int round = 1; round <= 5; ++round) {
        painted = false;
        QElapsedTimer t;
        t.start();
        compare->Compare(cas);
        compare->ShowWindow();
        while (!painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::printf("comparison of %lld materials shown and painted in %.2f ms\n",
                    static_cast<long long>(compare->comparison().count()),
                    double(t.nsecsElapsed()) / 1e6);
        compare->hide();
        compare->Compare({});
        settle();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // In the language the environment names, as zel itself starts.
    installTranslations(QString());
    const QStringList args = QApplication::arguments().mid(1);
    const QString what = args.value(0);
    if (what == QLatin1String("logo")) {
        const QImage big = ZelLogo::image().scaled(ZelLogo::width * 4, ZelLogo::height * 4);
        return big.save(args.value(1)) ? 0 : 1;
    }
    if (what == QLatin1String("main"))
        return mainWindowScreens(args.value(1), args.value(2));
    if (what == QLatin1String("readme"))
        return readmeScreens(args.value(1), args.value(2));
    if (what == QLatin1String("compare"))
        return compareTiming(args.value(1), args.value(2).split(QLatin1Char(',')));
    Program program(QStringLiteral("/nonexistent"), false);
    if (what == QLatin1String("about")) {
        program.aboutBox()->show();
    } else if (what == QLatin1String("gauge")) {
        program.gaugeWindow()->SetProgressRange(0, 1000);
        program.gaugeWindow()->show();
        program.gaugeWindow()->ShowProgress(420);
    } else if (what == QLatin1String("indexing")) {
        TLogoDialog* logo = program.logoDialog();
        centreOnScreen(logo);
        logo->show();
        TIndexForm* form = program.indexForm();
        form->move(Program::indexFormPosition(logo->geometry(), form->width()));
        form->setFileName(QStringLiteral("synonyms.db"));
        form->setIndexName(QStringLiteral("Commercial Name"));
        form->show();
    } else {
        std::fputs(
            "usage: app_screens about|gauge|indexing | logo FILE | main|readme PROGRAMDIR OUTDIR\n"
            "       app_screens compare DATADIR CAS,CAS,...\n",
            stderr);
        return 2;
    }
    return QApplication::exec();
}
