// Shows one of the small windows in a state worth looking at and keeps it on the screen
// until it is ended, so that a screenshot can be taken under a virtual X server:
//   app_screens about | gauge | indexing
//   app_screens logo FILE      (writes the logo picture, four times enlarged, and ends)
#include "app/Program.h"
#include "app/TAboutBox.h"
#include "app/TGaugeWindow.h"
#include "app/TIndexForm.h"
#include "app/TLogoDialog.h"
#include "app/WindowUtil.h"
#include "app/ZelLogo.h"

#include <QApplication>
#include <QImage>
#include <cstdio>

using namespace zel::app;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments().mid(1);
    const QString what = args.value(0);
    if (what == QLatin1String("logo")) {
        const QImage big = ZelLogo::image().scaled(ZelLogo::width * 4, ZelLogo::height * 4);
        return big.save(args.value(1)) ? 0 : 1;
    }
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
        std::fputs("usage: app_screens about|gauge|indexing | logo FILE\n", stderr);
        return 2;
    }
    return QApplication::exec();
}
