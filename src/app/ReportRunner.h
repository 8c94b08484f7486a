#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace zel::ui {
class MainSession;
}

namespace zel::report {
class TPrintMaterial;
class TPrintSupplier;
class TRpPrinter;
} // namespace zel::report

namespace zel::app {

// The main window's print command and the two report forms behind it. By default a report is
// laid out into page images and shown in the preview window; with direct printing the print
// dialog comes first and the report goes straight to the printer, once per copy.
class ReportRunner
{
public:
    // The reports follow session's current records; window is the parent of the dialogs.
    ReportRunner(ui::MainSession* session, QWidget* window, report::TPrintMaterial* material,
                 report::TPrintSupplier* supplier);
    ~ReportRunner();

    void setDirectPrint(bool direct) { m_direct = direct; }

    // By the main window's page: the material report on the materials page, the report of the
    // current commercial name's material on the commercial names page (the material list keeps
    // its order), the supplier report on the suppliers page.
    void PrintCurrentPage();

    // The material report of the main window's current material, and the supplier report of
    // its current supplier.
    void RunMaterialReport();
    void RunSupplierReport();

    // Headless output: the report for a CAS number or a supplier number as a PDF file. Returns
    // an error text, empty on success; a failure leaves no file.
    QString writeMaterialPdf(const QString& cas, const QString& pdfFile);
    QString writeSupplierPdf(const QString& supnr, const QString& pdfFile);

private:
    template <typename Run> void present(Run run);
    void showError(const QString& text);

    ui::MainSession* m_session;
    QWidget* m_form;
    report::TPrintMaterial* m_material;
    report::TPrintSupplier* m_supplier;
    bool m_direct = false;
};

} // namespace zel::app
