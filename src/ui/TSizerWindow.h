#pragma once

#include <QWidget>

namespace zel::ui {

// Created at start-up with the other windows and never shown; resizing is the sizer
// object's work alone.
class TSizerWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TSizerWindow(QWidget* parent = nullptr);
};

} // namespace zel::ui
