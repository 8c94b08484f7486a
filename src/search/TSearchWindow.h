#pragma once

#include <QDialog>

namespace zel::search {

// The search dialog. For now an empty frame, created at start-up and never shown.
class TSearchWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TSearchWindow(QWidget* parent = nullptr);
};

} // namespace zel::search
