#pragma once

#include "report/preview/TRpStandardPreview.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace zel::model {
class Comparison;
}
namespace zel::ui {
class MainSession;
}

namespace zel::report {
class TPrintCompare;
class TPrintMaterial;
class TPrintSupplier;
class TRpPrinter;
class TRpReport;
} // namespace zel::report

namespace zel::app {

// The main window's print command and the two report forms behind it. By default a report is
// laid out into page images and shown in the preview window, from which it prints by running
// again at the printer's resolution; with direct printing the print dialog comes first and
// the report goes straight to the printer, once per copy.
//
// Closing the main window (File, Exit) ends whatever report is under way: the preview closes
// and a running report is cancelled, so the program can end.
class ReportRunner : public QObject
{
    Q_OBJECT
public:
    // The reports follow session's current records; window is the parent of the dialogs.
    ReportRunner(ui::MainSession* session, QWidget* window, report::TPrintMaterial* material,
                 report::TPrintSupplier* supplier);
    ~ReportRunner() override;

    void setDirectPrint(bool direct) { m_direct = direct; }
    // The form that lays out comparisons of materials.
    void setCompareForm(report::TPrintCompare* compare) { m_compare = compare; }

    // By the main window's page: the material report on the materials page, the report of the
    // current commercial name's material on the commercial names page (the material list keeps
    // its order), the supplier report on the suppliers page.
    void PrintCurrentPage();

    // The material report of the main window's current material, and the supplier report of
    // its current supplier.
    void RunMaterialReport();
    void RunSupplierReport();
    // The comparison of the materials of those CAS numbers, as the other reports run.
    void RunComparison(const QStringList& cas);

    // Headless output: the report for a CAS number or a supplier number written to a file,
    // a PDF file or a saved report file by the file's extension (.pdf, .frp), the material's
    // with the user's notes when asked. Returns an error text, empty on success; a failure
    // leaves no file.
    QString writeMaterialReport(const QString& cas, const QString& file, bool withNotes = false);
    QString writeSupplierReport(const QString& supnr, const QString& file);
    // The same for a comparison of two to six materials by their CAS numbers.
    QString writeComparison(const QStringList& cas, const QString& file);
    // Whether the headless output can write a file of that name.
    static bool knownOutputFormat(const QString& file);
    // Runs a report into file as the headless output does; what names it in messages.
    using Run = std::function<void(report::TRpPrinter&)>;
    static QString writeReport(const Run& run, const QString& file, const QString& what);
    // The comparison of those CAS numbers, read through the form's own cursors; an error text
    // when a material is missing or there are fewer than two.
    static QString readComparison(report::TPrintCompare& form, const QStringList& cas,
                                  model::Comparison& comparison);

    // The preview of the report under way, while it is open.
    report::TRpStandardPreview* preview() const { return m_preview; }
    // Ends the report under way: cancels a run and closes its preview.
    void closeReports();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void present(report::TRpReport& report, const Run& run);
    // Runs work, which answers with an error text, and answers an error it throws as its text.
    static QString errorOf(const std::function<QString()>& work);
    void showError(const QString& text);

    ui::MainSession* m_session;
    QWidget* m_form;
    report::TPrintMaterial* m_material;
    report::TPrintSupplier* m_supplier;
    report::TPrintCompare* m_compare = nullptr;
    bool m_direct = false;
    // What is under way, for closeReports.
    QPointer<report::TRpStandardPreview> m_preview;
    report::TRpPrinter* m_running = nullptr;
    bool m_closing = false;
};

} // namespace zel::app
