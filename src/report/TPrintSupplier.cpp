#include "report/TPrintSupplier.h"

#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "report/FormParts.h"
#include "report/TRpPrinter.h"

#include <QCoreApplication>

namespace zel::report {

using namespace form;

TPrintSupplier::TPrintSupplier(data::Database* database)
    : TPrintForm(database, model::decls::printSupplier())
{
    data::Dataset* supplier = m_datasets->get(model::datasets::TableSupplier);
    data::Dataset* sin = m_datasets->get(model::datasets::TableSin);
    data::Dataset* material = m_datasets->get(model::datasets::TableMaterial);

    TRpReport& r = m_report;
    auto& header = sheet(r, supplier, 198);
    auto& name = dbText(header, "RpDBText3", supplier, "supname", 21, 53, 230, 61);
    name.font = arial(14, true);
    name.autoSize = true;
    rule(header, "RpShape1", 159);

    auto& detail = band<TRpBand>(r, "DetailBand1", rbDetail, 344);
    detail.forceNewPage = true;
    heading(detail, "RpLabel1",
            QCoreApplication::translate("zel::report::TPrintSupplier", "ADDRESS"), 0, 0, 300)
        .alignToBand = true;
    struct Line
    {
        const char* name;
        const char* field;
        double top;
    };
    static constexpr Line lines[] = {
        {"RpDBText4", "supname", 53},  {"RpDBText5", "address", 93}, {"RpDBText6", "city", 132},
        {"RpDBText7", "country", 172}, {"RpDBText8", "phone", 212},
    };
    for (const Line& l : lines) {
        auto& t = dbText(detail, l.name, supplier, l.field, 0, l.top, 1000, 45);
        t.alignToBand = true;
        t.autoSize = true;
    }
    heading(detail, "RpLabel2",
            QCoreApplication::translate("zel::report::TPrintSupplier", "MATERIALS"), 0, 291, 300)
        .alignToBand = true;

    auto& sub = subDetail(r, "RpSubDetail1", sin, 50);
    auto& cas = dbText(sub, "RpDBText1", material, "cas", 0, 3, 250, 45);
    cas.alignToBand = true;
    cas.autoSize = true;
    dbText(sub, "RpDBText2", material, "name", 291, 3, 1000, 45).autoSize = true;

    auto& page = pageFooter(r, "RpLabel3");
    page.onPrint = [this](TRpPrintable& p, QString& text) { RpSysData1Print(p, text); };
}

void TPrintSupplier::RpSysData1Print(TRpPrintable&, QString& text)
{
    text = QCoreApplication::translate("zel::report::TPrintSupplier", "Page %1").arg(text);
}

void TPrintSupplier::run(const QString& supnr, TRpPrinter& printer)
{
    runOn({&model::datasets::TableMaterial, &model::datasets::TableSin,
           &model::datasets::TableSupplier},
          {supnr}, printer);
}

} // namespace zel::report
