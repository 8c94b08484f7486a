#include "report/TPrintMaterial.h"

#include "data/engine/Dataset.h"
#include "model/Datasets.h"
#include "model/Names.h"
#include "report/FormParts.h"
#include "report/TRpPrinter.h"

#include <QCoreApplication>

namespace zel::report {

using namespace form;

namespace {

// Tops of the nine rows of the stability grid: the first column was set by hand, so its rows
// differ slightly from those of the others.
constexpr double kFirstColumnTops[9] = {116, 161, 214, 265, 315, 368, 413, 463, 513};
constexpr double kOtherColumnTops[9] = {116, 165, 215, 265, 314, 364, 413, 463, 513};
constexpr double kColumnLefts[4] = {0, 456, 916, 1373};

} // namespace

TPrintMaterial::TPrintMaterial(data::Database* database)
    : TPrintForm(database, model::decls::printMaterial())
{
    data::Dataset* material = m_datasets->get(model::datasets::TableMaterial);
    data::Dataset* sin = m_datasets->get(model::datasets::TableSin);
    data::Dataset* supplier = m_datasets->get(model::datasets::TableSupplier);
    data::Dataset* material2 = m_datasets->get(model::datasets::TableMaterial2);

    TRpReport& r = m_report;
    auto& header = sheet(r, material, 249);
    r.frame.drawTop = true;
    auto& name = dbText(header, "RpDBText1", material, "name", 0, 66, 138, 61);
    name.font = arial(14, true);
    name.alignToBand = true;
    name.autoSize = true;
    auto& cas = dbText(header, "RpDBText2", material, "cas", 1712, 66, 90, 61);
    cas.font = arial(14, true);
    cas.alignment = taRightJustify;
    cas.alignToBand = true;
    cas.autoSize = true;
    rule(header, "RpShape1", 198);

    auto& detail = band<TRpBand>(r, "DetailBand1", rbDetail, 103);
    detail.forceNewPage = true;
    auto& identity =
        heading(detail, "RpLabel3",
                QCoreApplication::translate("zel::report::TPrintMaterial", "IDENTITY"), 0, 0, 188);
    identity.alignToBand = true;
    auto& identityText = dbText(detail, "RpDBText3", material, "name", 0, 50, 1799, 45);
    identityText.alignToBand = true;
    identityText.autoStretch = true;

    struct Section
    {
        const char* band;
        const char* label;
        const char* caption;
        const char* text;
        const char* field;
    };
    static constexpr Section sections[] = {
        {"ChildBand1", "RpLabel4",
         QT_TRANSLATE_NOOP("zel::report::TPrintMaterial", "ODOUR DESCRIPTION"), "RpDBText4",
         "odour"},
        {"ChildBand2", "RpLabel5", QT_TRANSLATE_NOOP("zel::report::TPrintMaterial", "PERFORMANCE"),
         "RpDBText5", "performance"},
        {"ChildBand3", "RpLabel6", QT_TRANSLATE_NOOP("zel::report::TPrintMaterial", "APPLICATION"),
         "RpDBText6", "application"},
        {"ChildBand4", "RpLabel7", QT_TRANSLATE_NOOP("zel::report::TPrintMaterial", "LITERATURE"),
         "RpDBText7", "literature"},
    };
    TRpBand* parent = &detail;
    for (const Section& s : sections) {
        auto& child = band<TRpChildBand>(r, s.band, rbChild, 148);
        child.parent = parent;
        auto& l = heading(child, s.label,
                          QCoreApplication::translate("zel::report::TPrintMaterial", s.caption), 0,
                          50, 400);
        l.alignToBand = true;
        auto& t = dbText(child, s.text, material, s.field, 0, 103, 1799, 45);
        t.alignToBand = true;
        t.autoStretch = true;
        parent = &child;
    }
    auto& names = band<TRpChildBand>(r, "ChildBand5", rbChild, 116);
    names.parent = parent;
    heading(names, "RpLabel8",
            QCoreApplication::translate("zel::report::TPrintMaterial", "COMMERCIAL NAME / SYNONYM"),
            0, 50, 600)
        .alignToBand = true;
    heading(names, "RpLabel9",
            QCoreApplication::translate("zel::report::TPrintMaterial", "SUPPLIER"), 696, 50, 200);

    auto& sub1 = subDetail(r, "RpSubDetail1", sin, 53);
    auto& commercial = dbText(sub1, "RpDBText10", sin, "name", 0, 0, 545, 45);
    commercial.alignToBand = true;
    dbText(sub1, "RpDBText11", supplier, "supname", 696, 0, 143, 45).autoSize = true;

    auto& sub2 = subDetail(r, "RpSubDetail2", material2, 593);
    sub2.beforePrint = [this](TRpBand& b, bool& print) { RpSubDetail2BeforePrint(b, print); };
    heading(sub2, "RpLabel10",
            QCoreApplication::translate("zel::report::TPrintMaterial", "STABILITY RECORD"), 0, 50,
            392)
        .alignToBand = true;
    for (int i = 0; i < StabilityLabels; ++i) {
        const int column = i / 9;
        const int row = i % 9;
        const bool first = column == 0;
        const QByteArray labelName =
            QStringLiteral("stabil%1").arg(i + 1, 2, 10, QLatin1Char('0')).toLatin1();
        auto& l = place<TRpLabel>(sub2, labelName.constData(), kColumnLefts[column],
                                  first ? kFirstColumnTops[row] : kOtherColumnTops[row],
                                  first ? 426 : 430, first ? 45 : 46);
        l.alignToBand = first;
        l.caption = QStringLiteral("stabil - name and value");
        m_stabil[std::size_t(i)] = &l;
    }

    // The user's own notes, after everything the database says; printed only when asked.
    auto& notes = band<TRpBand>(r, "SummaryBand1", rbSummary, 148);
    notes.enabled = false;
    heading(notes, "RpLabel11",
            QCoreApplication::translate("zel::report::TPrintMaterial", "MY NOTES"), 0, 50, 200)
        .alignToBand = true;
    auto& notesText = place<TRpLabel>(notes, "RpNotes", 0, 103, 1799, 45);
    notesText.alignToBand = true;
    notesText.autoStretch = true;
    m_notesBand = &notes;
    m_notesText = &notesText;

    pageFooter(r, "RpLabel1");
}

void TPrintMaterial::RpSubDetail2BeforePrint(TRpBand&, bool&)
{
    const QString s = m_datasets->get(model::datasets::TableMaterial2)->text(model::fields::stabil);
    for (int i = 1; i <= StabilityLabels; ++i)
        m_stabil[std::size_t(i - 1)]->caption =
            model::mediumLabel(i) + QLatin1Char(' ') + model::ratingText(model::ratingChar(s, i));
}

void TPrintMaterial::run(const QString& sf, const QString& cas, TRpPrinter& printer,
                         const model::NoteStore::Entry* notes)
{
    // The engine ends a printed line at a carriage return, as in the database's memos.
    QStringList lines;
    if (notes && notes->favourite)
        lines << QCoreApplication::translate("zel::report::TPrintMaterial",
                                             "One of my favourites.");
    if (notes && !notes->note.isEmpty())
        lines << QString(notes->note).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QString text =
        lines.join(QLatin1Char('\n')).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    m_notesText->caption = text;
    m_notesBand->enabled = !text.isEmpty();
    runOn({&model::datasets::TableSupplier, &model::datasets::TableSin,
           &model::datasets::TableMaterial2, &model::datasets::TableMaterial},
          {sf, cas}, printer);
}

} // namespace zel::report
