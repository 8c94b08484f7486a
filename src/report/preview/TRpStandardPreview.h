#pragma once

#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QPrintDialog;
class QPrinter;
class QProgressBar;
class QToolButton;

namespace zel::report {

class PreviewSource;
class TRpPreview;
class TRpPrinter;

// The preview window: the pages of a report, zoomed and paged through, printed, saved to a
// report file, loaded from one, or exported as PDF.
class TRpStandardPreview : public QMainWindow
{
    Q_OBJECT
public:
    explicit TRpStandardPreview(PreviewSource* source, const QString& title = QString(),
                                QWidget* parent = nullptr);
    ~TRpStandardPreview() override;

    TRpPreview* view() const { return RpPreview; }
    QString pagePositionText() const;
    QString progressText() const;

    // The dialogs the window asks for a file name and the message it shows; tests replace them.
    std::function<QString(const QString& title, const QString& filter, const QString& suffix)>
        chooseSaveFile;
    std::function<QString(const QString& title, const QString& filter)> chooseOpenFile;
    std::function<void(const QString& text)> showMessage;
    // Runs the printer set-up dialog, preset; true when confirmed. Tests answer it.
    std::function<bool(QPrintDialog& dialog)> execPrintDialog;
    // Last word on the printer a print goes to, after the settings are applied (tests send
    // it to a PDF file or name a queue).
    std::function<void(QPrinter& printer)> preparePrinter;

    void FirstPageClick();
    void PreviousPageClick();
    void NextPageClick();
    void LastPageClick();
    void SaveReportClick();
    void LoadReportClick();
    void ExportPdfClick();
    void PrintClick();
    void PrintSetupClick();
    // Writes every page to a PDF file, each on a page of its paper size. Throws
    // ReportFileError; a failed export leaves no file.
    static void exportPdf(PreviewSource& source, const QString& path);
    // Whether a print is running (its progress window is up).
    bool printing() const { return m_printing != nullptr; }

    QAction* ZoomFit;
    QAction* Zoom100;
    QAction* ZoomToWidth;
    QAction* PrintSetup;
    QAction* Print;
    QAction* SaveReport;
    QAction* LoadReport;
    QAction* ExportPdf;

Q_SIGNALS:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void updatePagePosition();
    void onProgress(int percent);
    void onPagesAvailable(int count);
    void fail(const QString& text);

    PreviewSource* m_source;
    TRpPreview* RpPreview;
    QLabel* m_progressPanel;
    QLabel* m_pagePanel;
    int m_lastPercent = 0;
    TRpPrinter* m_printing = nullptr; // the print under way
};

// The printing progress window: a bar, "n% Completed" and Cancel.
class TRpProgressForm : public QWidget
{
    Q_OBJECT
public:
    explicit TRpProgressForm(QWidget* parent = nullptr);
    void progress(int percent);
    QString infoText() const;

Q_SIGNALS:
    void cancelled();

protected:
    // Closing the window is cancelling the print.
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* Gauge;
    QLabel* Info;
};

} // namespace zel::report
