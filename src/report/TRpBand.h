#pragma once

#include "report/TRpPrintable.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

namespace zel::data {
class Dataset;
}

namespace zel::report {

enum TRpBandType
{
    rbTitle = 0,
    rbPageHeader = 1,
    rbDetail = 2,
    rbPageFooter = 3,
    rbSummary = 4,
    rbGroupHeader = 5,
    rbGroupFooter = 6,
    rbSubDetail = 7,
    rbColumnHeader = 8,
    rbOverlay = 9,
    rbChild = 10
};

// A horizontal strip of the page. Heights and widths are native units.
class TRpBand
{
public:
    explicit TRpBand(TRpBandType bandType) : type(bandType) {}
    virtual ~TRpBand() = default;
    TRpBand(const TRpBand&) = delete;
    TRpBand& operator=(const TRpBand&) = delete;

    template <class P> P& add()
    {
        auto p = std::make_unique<P>();
        P& ref = *p;
        printables.push_back(std::move(p));
        return ref;
    }

    QString name;
    TRpBandType type;
    double height = 0;
    double width = 0;
    QColor colour = Qt::white;
    TRpFrame frame;
    bool enabled = true;
    bool forceNewPage = false;
    bool forceNewColumn = false;
    bool alignToBottom = false;
    // May clear the flag to skip the band; its child still prints.
    std::function<void(TRpBand&, bool& print)> beforePrint;
    std::function<void(TRpBand&, bool printed)> afterPrint;
    std::vector<std::unique_ptr<TRpPrintable>> printables;

    // Run state: the height gained by stretching printables in the current printing.
    double extraHeight = 0;
};

class TRpChildBand : public TRpBand
{
public:
    TRpChildBand() : TRpBand(rbChild) {}
    TRpBand* parent = nullptr;
};

// A band printed once per row of its own dataset, each time its master prints a row.
class TRpSubDetail : public TRpBand
{
public:
    TRpSubDetail() : TRpBand(rbSubDetail) {}
    TRpSubDetail* master = nullptr; // none: the report
    QPointer<data::Dataset> dataset;
    bool printBefore = false;
    bool printIfEmpty = false;
    TRpBand* headerBand = nullptr;
    TRpBand* footerBand = nullptr;

    // Collected afresh at the start of every run, in the report's stored order.
    std::vector<TRpSubDetail*> printBeforeList, printAfterList;
};

} // namespace zel::report
