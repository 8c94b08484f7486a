#pragma once

#include "model/NoteStore.h"
#include "model/StabilityMedia.h"
#include "report/TPrintForm.h"

#include <QString>
#include <array>
#include <memory>

namespace zel::report {

// The data sheet of one material: name and CAS number as the page heading, its texts, its
// commercial names with their suppliers, and its stability record over the product media;
// asked for, the user's own notes last. The form keeps cursors of its own, closed between
// runs, so printing never moves what a window shows.
class TPrintMaterial : public TPrintForm
{
public:
    explicit TPrintMaterial(data::Database* database);

    // Lays out the material (sf, cas) onto printer. The cursors are closed again afterwards,
    // also when the run fails; the error goes on to the caller. With notes, a band "MY NOTES"
    // follows the stability record when they hold a note or the favourite flag.
    void run(const QString& sf, const QString& cas, TRpPrinter& printer,
             const model::NoteStore::Entry* notes = nullptr);

    void RpSubDetail2BeforePrint(TRpBand& band, bool& print);

    static constexpr int StabilityLabels = model::MediaCount;

private:
    std::array<TRpLabel*, StabilityLabels> m_stabil{};
    TRpBand* m_notesBand = nullptr;
    TRpLabel* m_notesText = nullptr;
};

} // namespace zel::report
