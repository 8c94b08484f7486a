#include "report/preview/TRpStandardPreview.h"

#include "report/PdfExport.h"
#include "report/PrintJob.h"
#include "report/ReportFileError.h"
#include "report/TRpPrinter.h"
#include "report/emf/EmfHeader.h"
#include "report/emf/EmfPlayer.h"
#include "report/preview/PreviewSource.h"
#include "report/preview/PrinterChoice.h"
#include "report/preview/TRpPreview.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace zel::report {

namespace {

// Small pictures for the toolbar, drawn so that no image files are needed.
QIcon glyph(const std::function<void(QPainter&)>& draw)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    draw(p);
    return QIcon(pm);
}

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
}

QIcon arrowGlyph(bool left, bool bar)
{
    return glyph([=](QPainter& p) {
        QPainterPath path;
        path.moveTo(left ? 4 : 12, 8);
        path.lineTo(left ? 11 : 5, 2);
        path.lineTo(left ? 11 : 5, 14);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 180));
        p.drawPath(path);
        if (bar)
            p.drawRect(left ? QRectF(1.5, 2, 2, 12) : QRectF(12.5, 2, 2, 12));
    });
}

QIcon zoomGlyph(const QString& mark)
{
    return glyph([=](QPainter& p) {
        sheet(p, QRectF(2.5, 1.5, 11, 13));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(mark.size() > 2 ? 5 : 7);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 0, 140));
        p.drawText(QRectF(2.5, 1.5, 11, 13), Qt::AlignCenter, mark);
    });
}

QString frpFilter(bool withBlank)
{
    return TRpStandardPreview::tr("Folium file") +
           (withBlank ? QStringLiteral(" (*.") : QStringLiteral("(*.")) + QStringLiteral("FRP") +
           QStringLiteral(")");
}

} // namespace

TRpStandardPreview::TRpStandardPreview(PreviewSource* source, const QString& title, QWidget* parent)
    : QMainWindow(parent), m_source(source)
{
    setObjectName(QStringLiteral("RpStandardPreview"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(title.isEmpty() ? tr("Print Preview") : title);
    resize(644, 557);

    QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    auto* zoomGroup = new QActionGroup(this);
    const auto add = [&](const char* name, const QString& hint, const QIcon& icon) {
        QAction* a = bar->addAction(icon, hint);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        return a;
    };
    ZoomFit = add("ZoomFit", tr("Zoom to fit"), zoomGlyph(QStringLiteral("[ ]")));
    Zoom100 = add("Zoom100", tr("100%"), zoomGlyph(QStringLiteral("1:1")));
    ZoomToWidth = add("ZoomToWidth", tr("Zoom to width"), zoomGlyph(QStringLiteral("<>")));
    for (QAction* a : {ZoomFit, Zoom100, ZoomToWidth}) {
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    ZoomToWidth->setChecked(true);
    bar->addSeparator();
    QAction* first = add("FirstPage", tr("First page"), arrowGlyph(true, true));
    QAction* previous = add("PreviousPage", tr("Previous page"), arrowGlyph(true, false));
    QAction* next = add("ToolButton2", tr("Next page"), arrowGlyph(false, false));
    QAction* last = add("LastPage", tr("Last page"), arrowGlyph(false, true));
    bar->addSeparator();
    PrintSetup = add("PrintSetup", tr("Printer setup"), glyph([](QPainter& p) {
                         sheet(p, QRectF(2.5, 5.5, 11, 7));
                         p.setPen(QPen(QColor(90, 90, 90), 1.5));
                         p.drawEllipse(QPointF(8, 9), 2, 2);
                     }));
    Print = add("Print", tr("Print"), glyph([](QPainter& p) {
                    sheet(p, QRectF(4.5, 1.5, 7, 5));
                    p.setBrush(QColor(170, 170, 175));
                    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
                    p.setBrush(Qt::white);
                    p.drawRect(QRectF(4.5, 10.5, 7, 4));
                }));
    ExportPdf =
        add("ExportPdf", tr("Export PDF"), glyph([](QPainter& p) {
                sheet(p, QRectF(3.5, 1.5, 10, 13));
                QFont f(QStringLiteral("Arial"));
                f.setPixelSize(5);
                f.setBold(true);
                p.setFont(f);
                p.setPen(QColor(180, 0, 0));
                p.drawText(QRectF(3.5, 1.5, 10, 13), Qt::AlignCenter, QStringLiteral("PDF"));
            }));
    bar->addSeparator();
    SaveReport = add("SaveReport", tr("Save Report"), glyph([](QPainter& p) {
                         p.setPen(QPen(QColor(40, 40, 40), 1));
                         p.setBrush(QColor(60, 90, 160));
                         p.drawRect(QRectF(2.5, 2.5, 11, 11));
                         p.setBrush(Qt::white);
                         p.drawRect(QRectF(4.5, 2.5, 7, 4));
                     }));
    LoadReport = add("LoadReport", tr("Load Report"), glyph([](QPainter& p) {
                         p.setPen(QPen(QColor(120, 90, 20), 1));
                         p.setBrush(QColor(240, 200, 90));
                         p.drawRect(QRectF(1.5, 5.5, 13, 8));
                         p.drawRect(QRectF(1.5, 3.5, 5, 2));
                     }));
    // The toolbar has no menu to show the keys in; its tooltips name them.
    for (auto [action, key] :
         {std::pair{SaveReport, Qt::Key_S}, std::pair{LoadReport, Qt::Key_O}}) {
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setToolTip(action->toolTip() % QStringLiteral(" (") %
                           action->shortcut().toString(QKeySequence::NativeText) %
                           QLatin1Char(')'));
    }
    bar->addSeparator();
    auto* close = new QPushButton(tr("&Close"), bar);
    close->setObjectName(QStringLiteral("ExitButton"));
    close->setFixedSize(40, 22);
    close->setFlat(true);
    bar->addWidget(close);

    RpPreview = new TRpPreview(this);
    setCentralWidget(RpPreview);
    m_progressPanel = new QLabel(QStringLiteral("0%"));
    m_progressPanel->setMinimumWidth(40);
    m_progressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_pagePanel = new QLabel(tr("Page"));
    m_pagePanel->setMinimumWidth(50);
    statusBar()->addWidget(m_progressPanel);
    statusBar()->addWidget(m_pagePanel, 1);

    PrintSetup->setEnabled(source && source->isFinished());
    Print->setEnabled(source && source->isFinished());

    connect(ZoomFit, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->zoomToFit();
    });
    connect(Zoom100, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->setZoom(100);
    });
    connect(ZoomToWidth, &QAction::triggered, this, [this] {
        QCoreApplication::processEvents();
        RpPreview->zoomToWidth();
    });
    connect(first, &QAction::triggered, this, &TRpStandardPreview::FirstPageClick);
    connect(previous, &QAction::triggered, this, &TRpStandardPreview::PreviousPageClick);
    connect(next, &QAction::triggered, this, &TRpStandardPreview::NextPageClick);
    connect(last, &QAction::triggered, this, &TRpStandardPreview::LastPageClick);
    connect(PrintSetup, &QAction::triggered, this, &TRpStandardPreview::PrintSetupClick);
    connect(Print, &QAction::triggered, this, &TRpStandardPreview::PrintClick);
    connect(ExportPdf, &QAction::triggered, this, &TRpStandardPreview::ExportPdfClick);
    connect(SaveReport, &QAction::triggered, this, &TRpStandardPreview::SaveReportClick);
    connect(LoadReport, &QAction::triggered, this, &TRpStandardPreview::LoadReportClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(RpPreview, &TRpPreview::pageChanged, this, &TRpStandardPreview::updatePagePosition);
    if (source) {
        connect(source, &PreviewSource::pagesAvailable, this, &TRpStandardPreview::onPagesAvailable,
                Qt::QueuedConnection);
        connect(source, &PreviewSource::progress, this, &TRpStandardPreview::onProgress,
                Qt::QueuedConnection);
    }

    chooseSaveFile = [this](const QString& caption, const QString& filter, const QString& suffix) {
        QFileDialog dialog(this, caption, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(suffix);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenFile = [this](const QString& caption, const QString& filter) {
        // A name that is not there goes through to the load, which answers it in this
        // program's words as it does every file it cannot load. An open dialog that wants an
        // existing file, and every native one, would answer it in its own.
        QFileDialog dialog(this, caption, QString(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    showMessage = [this](const QString& text) { QMessageBox::warning(this, windowTitle(), text); };
    execPrintDialog = [this](QPrintDialog& dialog) {
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            fail(tr("No printer is installed"));
            return false;
        }
        return dialog.exec() == QDialog::Accepted;
    };

    // The window sees keys before its controls, as the page keys belong to the whole window.
    qApp->installEventFilter(this);
    RpPreview->setSource(source);
    updatePagePosition();
}

TRpStandardPreview::~TRpStandardPreview()
{
    qApp->removeEventFilter(this);
}

QString TRpStandardPreview::pagePositionText() const
{
    return m_pagePanel->text();
}
QString TRpStandardPreview::progressText() const
{
    return m_progressPanel->text();
}

void TRpStandardPreview::updatePagePosition()
{
    m_pagePanel->setText(
        tr("Page %1 of %2").arg(RpPreview->page()).arg(m_source ? m_source->pageCount() : 0));
}

void TRpStandardPreview::onProgress(int percent)
{
    if (percent == 0 || percent == 100) {
        m_progressPanel->clear();
        m_lastPercent = percent;
        return;
    }
    if (percent >= m_lastPercent + 5) {
        m_progressPanel->setText(QString::number(percent) + QLatin1Char('%'));
        m_lastPercent = percent;
    }
}

void TRpStandardPreview::onPagesAvailable(int count)
{
    RpPreview->pagesAvailable(count);
    updatePagePosition();
    if (m_source && m_source->isFinished()) {
        // Loaded pages print as they are stored; their set-up stays as loaded.
        PrintSetup->setEnabled(!m_source->isLoaded());
        Print->setEnabled(true);
    }
}

void TRpStandardPreview::FirstPageClick()
{
    RpPreview->setPage(1);
    updatePagePosition();
}

void TRpStandardPreview::PreviousPageClick()
{
    RpPreview->setPage(RpPreview->page() - 1);
    updatePagePosition();
}

void TRpStandardPreview::NextPageClick()
{
    RpPreview->setPage(RpPreview->page() + 1);
    updatePagePosition();
}

void TRpStandardPreview::LastPageClick()
{
    if (m_source)
        RpPreview->setPage(m_source->pageCount());
    updatePagePosition();
}

void TRpStandardPreview::fail(const QString& text)
{
    if (showMessage)
        showMessage(text);
}

void TRpStandardPreview::SaveReportClick()
{
    if (!m_source || !m_source->isFinished())
        return;
    const QString path = chooseSaveFile(
        tr("Save report"), frpFilter(false) + QStringLiteral(";;") + tr("All files (*)"),
        QStringLiteral("FRP"));
    if (path.isEmpty())
        return;
    try {
        m_source->save(path);
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    }
}

void TRpStandardPreview::LoadReportClick()
{
    if (!m_source)
        return;
    const QString path = chooseOpenFile(tr("Load report"), frpFilter(true));
    if (path.isEmpty())
        return;
    // Something that is there but is no file (a pipe, a device, a directory) is refused by
    // the load with its own reason, at once.
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink()) {
        fail(tr("File does not exist"));
        return;
    }
    try {
        m_source->load(path);
    } catch (const ReportFileError& e) {
        fail(e.message());
        return;
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
        return;
    }
    RpPreview->setSource(m_source);
    RpPreview->zoomToWidth();
    updatePagePosition();
    PrintSetup->setEnabled(false);
    Print->setEnabled(true);
}

void TRpStandardPreview::exportPdf(PreviewSource& source, const QString& path)
{
    if (source.pageCount() == 0)
        throw ReportFileError(tr("There are no pages to export"));
    writePagesAsPdf(
        source.pageCount(), [&source](int n) { return source.pageImage(n); }, path, QString(),
        QStringLiteral("the report"));
}

void TRpStandardPreview::ExportPdfClick()
{
    if (!m_source || !m_source->isFinished())
        return;
    const QString path =
        chooseSaveFile(tr("Export PDF"), tr("PDF file (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    try {
        exportPdf(*m_source, path);
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    }
}

void TRpStandardPreview::PrintClick()
{
    if (!m_source || !m_source->isFinished() || m_printing)
        return;
    const TRpPrinterSettings& settings = m_source->printerSettings();
    QPrinter printer(QPrinter::HighResolution);
    const QString name = PrinterChoice::installed(settings.printerName);
    if (!name.isEmpty())
        printer.setPrinterName(name);
    printer.setCopyCount(qMax(1, settings.copies));
    printer.setDuplex(settings.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    printer.setDocName(windowTitle());
    if (preparePrinter)
        preparePrinter(printer);
    // Without a printer there is nothing to print on.
    const bool spooled = printer.outputFormat() == QPrinter::NativeFormat;
    if (spooled && printer.printerName().isEmpty())
        return;

    // A printer gets the job whole once its last page is made, so that Cancel before then
    // leaves nothing in its queue; a PDF file is written as the pages come.
    const std::unique_ptr<TRpPrinter> made =
        spooled ? std::make_unique<TRpPrinter>(printer, PrinterChoice::job(printer))
                : std::make_unique<TRpPrinter>(printer);
    TRpPrinter& producer = *made;
    producer.title = windowTitle();
    producer.expectedPages = m_source->pageCount();
    if (!spooled)
        producer.abortJob = [&printer] { printer.abort(); };
    TRpProgressForm progress(this);
    progress.setWindowModality(Qt::ApplicationModal);
    connect(&producer, &TRpPrinter::progressChanged, &progress, &TRpProgressForm::progress);
    connect(&progress, &TRpProgressForm::cancelled, &producer, &TRpPrinter::cancel);
    if (const QScreen* screen = this->screen())
        progress.move(screen->availableGeometry().center() - progress.rect().center());
    progress.show();
    m_printing = &producer;
    try {
        m_source->print(producer);
    } catch (const data::Error& e) {
        fail(e.message());
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    }
    // Notifications are queued: the last ones reach the progress window before it goes.
    QCoreApplication::processEvents();
    m_printing = nullptr;
}

void TRpStandardPreview::PrintSetupClick()
{
    if (!m_source || m_source->isLoaded() || m_printing)
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    TRpPrinterSettings& settings = m_source->printerSettings();
    PrinterChoice::preset(dialog, settings, m_source->pageOrientation(),
                          m_source->isFinished() ? m_source->pageCount() : 0);
    if (!execPrintDialog || !execPrintDialog(dialog))
        return;
    PrinterChoice::store(printer, settings);
}

bool TRpStandardPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !isActiveWindow())
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl =
        (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
        Qt::ControlModifier;
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_PageUp:
        ctrl ? FirstPageClick() : PreviousPageClick();
        return true;
    case Qt::Key_PageDown:
        ctrl ? LastPageClick() : NextPageClick();
        return true;
    case Qt::Key_Home:
        FirstPageClick();
        return true;
    case Qt::Key_End:
        LastPageClick();
        return true;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void TRpStandardPreview::closeEvent(QCloseEvent* event)
{
    // A print under way ends first; the window closes when asked again.
    if (m_printing) {
        m_printing->cancel();
        event->ignore();
        return;
    }
    // Closing while pages are still produced ends the run.
    if (m_source && !m_source->isFinished())
        m_source->cancel();
    QMainWindow::closeEvent(event);
    Q_EMIT closed();
}

TRpProgressForm::TRpProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(tr("Printing progress"));
    setFixedSize(149, 97);
    Gauge = new QProgressBar(this);
    Gauge->setGeometry(16, 18, 114, 16);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    Info = new QLabel(this);
    Info->setGeometry(0, 44, 145, 13);
    Info->setAlignment(Qt::AlignCenter);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(36, 60, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &TRpProgressForm::cancelled);
}

void TRpProgressForm::progress(int percent)
{
    if (percent % 5 != 0)
        return;
    Gauge->setValue(percent);
    Info->setText(tr("%1%  Completed").arg(percent));
    QCoreApplication::processEvents();
}

QString TRpProgressForm::infoText() const
{
    return Info->text();
}

void TRpProgressForm::closeEvent(QCloseEvent* event)
{
    Q_EMIT cancelled();
    QWidget::closeEvent(event);
}

} // namespace zel::report
