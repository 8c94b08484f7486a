#pragma once

#include <QRect>
#include <QStringList>
#include <array>

class QWidget;

namespace zel::ui {

// A control the main window hands to its sizer: its object name and the shares of the
// window's width or height growth added to its left, top, width and height.
struct SizerEntry
{
    const char* name;
    double left, top, width, height;
};

// Keeps controls in proportion as the window grows beyond the size it had when they were
// recorded: each gets its recorded bounds plus a fixed share of the growth. Everything is
// held in fixed arrays, so a resize allocates nothing. Controls are not owned.
class TSizerData
{
public:
    static constexpr int Capacity = 100;
    static constexpr int MainWindowControlCount = 38;

    // The control whose size change is the growth (a window's size with its frame); forgets
    // every recorded control.
    void SetReference(QWidget* reference);
    // Records control with its bounds now (relative to its parent) and its four factors.
    // Returns false, recording nothing, when the capacity is used up or control is null.
    bool AddControl(QWidget* control, double leftFactor, double topFactor, double widthFactor,
                    double heightFactor);
    // Sets every recorded control to its recorded bounds plus trunc(growth x factor), the
    // growth measured from the reference's recorded size; width, height, left, top in turn.
    void ResizeControls();

    int controlCount() const { return ControlCount; }
    int refWidth() const { return RefWidth; }
    int refHeight() const { return RefHeight; }
    // Control k: 0 is the reference, 1..controlCount() the recorded ones.
    QWidget* control(int k) const;
    QRect recordedBounds(int k) const;

    // The main window's controls in recording order.
    static const std::array<SizerEntry, MainWindowControlCount>& mainWindowControls();
    // Records each of mainWindowControls() that window holds, found by object name, in that
    // order. Returns the names that window does not hold.
    QStringList AddMainWindowControls(QWidget* window);

private:
    int ControlCount = 0;
    int RefHeight = 0;
    int RefWidth = 0;
    // Indexed like the records, from 1; Controls[0] is the reference.
    std::array<QWidget*, Capacity + 1> Controls{};
    std::array<double, Capacity + 1> LeftFactor{};
    std::array<double, Capacity + 1> TopFactor{};
    std::array<double, Capacity + 1> WidthFactor{};
    std::array<double, Capacity + 1> HeightFactor{};
    std::array<int, Capacity + 1> OrigTop{};
    std::array<int, Capacity + 1> OrigLeft{};
    std::array<int, Capacity + 1> OrigHeight{};
    std::array<int, Capacity + 1> OrigWidth{};
};

} // namespace zel::ui
