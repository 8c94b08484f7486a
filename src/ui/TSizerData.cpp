#include "ui/TSizerData.h"

#include <QWidget>
#include <cmath>

namespace zel::ui {

namespace {

// A window's size with its frame, which is what its design size counts. Until the window
// system has framed the window, that is its inner size.
QSize outerSize(const QWidget* reference)
{
    if (!reference)
        return {};
    return reference->isWindow() ? reference->frameGeometry().size() : reference->size();
}

int grown(int recorded, int growth, double factor)
{
    return static_cast<int>(std::trunc(growth * factor)) + recorded;
}

} // namespace

void TSizerData::SetReference(QWidget* reference)
{
    Controls[0] = reference;
    const QSize size = outerSize(reference);
    RefHeight = size.height();
    RefWidth = size.width();
    ControlCount = 0;
}

bool TSizerData::AddControl(QWidget* control, double leftFactor, double topFactor,
                            double widthFactor, double heightFactor)
{
    if (!control || ControlCount >= Capacity)
        return false;
    const size_t k = static_cast<size_t>(++ControlCount);
    Controls[k] = control;
    LeftFactor[k] = leftFactor;
    TopFactor[k] = topFactor;
    WidthFactor[k] = widthFactor;
    HeightFactor[k] = heightFactor;
    const QRect bounds = control->geometry();
    OrigTop[k] = bounds.top();
    OrigLeft[k] = bounds.left();
    OrigHeight[k] = bounds.height();
    OrigWidth[k] = bounds.width();
    return true;
}

void TSizerData::ResizeControls()
{
    const QWidget* reference = Controls[0];
    if (!reference)
        return;
    const QSize size = outerSize(reference);
    const int dW = size.width() - RefWidth;
    const int dH = size.height() - RefHeight;
    for (size_t k = 1; k <= static_cast<size_t>(ControlCount); ++k) {
        QWidget* c = Controls[k];
        const int top = grown(OrigTop[k], dH, TopFactor[k]);
        const int left = grown(OrigLeft[k], dW, LeftFactor[k]);
        const int height = grown(OrigHeight[k], dH, HeightFactor[k]);
        const int width = grown(OrigWidth[k], dW, WidthFactor[k]);
        c->resize(width, c->height());
        c->resize(c->width(), height);
        c->move(left, c->y());
        c->move(c->x(), top);
    }
}

QWidget* TSizerData::control(int k) const
{
    return k >= 0 && k <= ControlCount ? Controls[static_cast<size_t>(k)] : nullptr;
}

QRect TSizerData::recordedBounds(int k) const
{
    if (k < 1 || k > ControlCount)
        return {};
    const size_t i = static_cast<size_t>(k);
    return {OrigLeft[i], OrigTop[i], OrigWidth[i], OrigHeight[i]};
}

const std::array<SizerEntry, TSizerData::MainWindowControlCount>& TSizerData::mainWindowControls()
{
    // The detail sides and their fields take half the width growth, the list sides the other
    // half; the four memos of each material pane share the height growth in quarters and
    // move down by the growth of the memos above them.
    static const std::array<SizerEntry, MainWindowControlCount> entries{{
        {"SearchField", 0, 0, 0.5, 0},
        {"EditSupplierName", 0, 0, 0.5, 0},
        {"DBEditName", 0, 0, 0.5, 0},
        {"DBEditAddress", 0, 0, 0.5, 0},
        {"DBEditCity", 0, 0, 0.5, 0},
        {"DbEditCountry", 0, 0, 0.5, 0},
        {"DBEditPhone", 0, 0, 0.5, 0},
        {"DBEdit1", 0, 0, 0.5, 0},
        {"DBEdit3", 0, 0, 0.5, 0},
        {"DBEdit4", 0, 0, 0.5, 0},
        {"DBEdit5", 0, 0, 0.5, 0},
        {"DBEdit6", 0, 0, 0.5, 0},
        {"PanelDetail", 0, 0, 0.5, 0},
        {"DBCAS", 0, 0, 0.5, 0},
        {"DBOdour", 0, 0, 0.5, 0.25},
        {"LabelPerformance", 0, 0.25, 0, 0},
        {"DBPerformance", 0, 0.25, 0.5, 0.25},
        {"LabelApplication", 0, 0.5, 0, 0},
        {"DBApplication", 0, 0.5, 0.5, 0.25},
        {"LabelLiterature", 0, 0.75, 0, 0},
        {"DBLiterature", 0, 0.75, 0.5, 0.25},
        {"SuppliersDetailTabNotebook", 0, 0, 0.5, 0},
        {"MemoName", 0, 0, 0.5, 0},
        {"DBMaterialCAS", 0, 0, 0.5, 0},
        {"DBMaterialName", 0, 0, 0.5, 0},
        {"DBComercialName", 0, 0, 0.5, 0},
        {"PanelCommercialDetails", 0, 0, 0.5, 0},
        {"DBCommCas", 0, 0, 0.5, 0},
        {"DBCommCommName", 0, 0, 0.5, 0},
        {"DBCommSupplier", 0, 0, 0.5, 0},
        {"MemoMaterialName", 0, 0, 0.5, 0},
        {"DBCommOdour", 0, 0, 0.5, 0.25},
        {"LabelCommPerformance", 0, 0.25, 0, 0},
        {"DBCommPerformance", 0, 0.25, 0.5, 0.25},
        {"LabelCommApplication", 0, 0.5, 0, 0},
        {"DBCommApplication", 0, 0.5, 0.5, 0.25},
        {"LabelCommLiterature", 0, 0.75, 0, 0},
        {"DBCommLiterature", 0, 0.75, 0.5, 0.25},
    }};
    return entries;
}

QStringList TSizerData::AddMainWindowControls(QWidget* window)
{
    QStringList missing;
    for (const SizerEntry& e : mainWindowControls()) {
        const QString name = QString::fromLatin1(e.name);
        QWidget* c = window ? window->findChild<QWidget*>(name) : nullptr;
        if (!c || !AddControl(c, e.left, e.top, e.width, e.height))
            missing << name;
    }
    return missing;
}

} // namespace zel::ui
