#pragma once

// Stand-ins for the two report forms until the report layer provides them: start-up only
// needs them to exist, hidden, in their place in the order of creation.

#include <QWidget>

namespace zel::app {

class TPrintMaterial : public QWidget
{
public:
    explicit TPrintMaterial(QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(QStringLiteral("PrintMaterial"));
    }
};

class TPrintSupplier : public QWidget
{
public:
    explicit TPrintSupplier(QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(QStringLiteral("PrintSupplier"));
    }
};

} // namespace zel::app
