#pragma once

#include "model/Reindex.h"

#include <QWidget>

class QLabel;

namespace zel::ui {
class BevelPanel;
}

namespace zel::app {

// The small form that stays on top under the logo window while the indexes are rebuilt,
// naming the file and the index being worked on. It never takes input.
class TIndexForm : public QWidget, public model::Reindex::Progress
{
    Q_OBJECT
public:
    explicit TIndexForm(QWidget* parent = nullptr);

    QLabel* IndexLabel;
    ui::BevelPanel* IndexPanel;
    QLabel* FileNameLabel;
    QLabel* IndexNameLabel;

    void setFileName(const QString& text) override;
    void setIndexName(const QString& text) override;
    void repaintNow() override;
    void showError(const QString& message, const QString& cause) override;
    void hideProgress() override;

private:
    ui::BevelPanel* m_frame;
};

} // namespace zel::app
