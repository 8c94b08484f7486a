#pragma once

#include "search/TSearchClass.h"

#include <QCoreApplication>

namespace zel::app {

class TGaugeWindow;

// Feedback of a search over every material: the progress window while it scans, and the
// warning when nothing matched.
class SearchFeedback : public search::SelectionFeedback
{
public:
    explicit SearchFeedback(TGaugeWindow* gauge) : m_gauge(gauge) {}
    void setProgressRange(int min, int max) override;
    void showProgress(int position) override;
    void showProgressWindow() override;
    void hideProgressWindow() override;
    void warnNothingSelected() override;

    static QString nothingSelectedText()
    {
        return QCoreApplication::translate(
            "zel::app::SearchFeedback",
            "There are no records with the specified criteria.\rRestore to all records.");
    }

private:
    TGaugeWindow* m_gauge;
};

} // namespace zel::app
