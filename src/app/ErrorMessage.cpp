#include "app/ErrorMessage.h"

#include <QMessageBox>
#include <cstdio>

namespace zel::app {

namespace {

bool g_headless = false;
int g_shown = 0;

void writeLine(const QString& line)
{
    const QByteArray bytes = QStringLiteral("zel: %1\n").arg(line).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void ErrorMessage::setHeadless(bool headless)
{
    g_headless = headless;
}

bool ErrorMessage::headless()
{
    return g_headless;
}

int ErrorMessage::shownCount()
{
    return g_shown;
}

QString ErrorMessage::displayText(const QString& text)
{
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

void ErrorMessage::show(const QString& text, const QString& cause, const QString& more)
{
    ++g_shown;
    const QString shown = displayText(text);
    if (g_headless) {
        for (const QString& line : shown.split(QLatin1Char('\n')))
            writeLine(line);
        if (!cause.isEmpty())
            writeLine(QStringLiteral("(%1)").arg(cause));
        return;
    }
    // The box keeps its fixed text; the reason goes where whoever started the program sees it.
    if (!cause.isEmpty())
        writeLine(QStringLiteral("%1 (%2)").arg(shown.split(QLatin1Char('\n')).join(u' '), cause));
    QMessageBox box(QMessageBox::Critical,
                    QCoreApplication::translate("zel::app::ErrorMessage", "Error"), shown,
                    QMessageBox::Ok);
    // Start-up messages come while the re-indexing form stays on top; the box must not
    // open hidden behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const QString details = QStringList{cause, more}.join(QStringLiteral("\n\n")).trimmed();
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

} // namespace zel::app
