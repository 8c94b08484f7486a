#include "ui/TSearchWindow.h"

#include "data/engine/Dataset.h"
#include "ui/Glyphs.h"
#include "ui/PageParts.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <algorithm>

namespace zel::ui {

namespace {

const char* const kTitle =
    QT_TRANSLATE_NOOP("zel::ui::TSearchWindow", "Doubleclick media for good stability (++)");
const QString kOff = QStringLiteral("0/");
const QString kOn = QStringLiteral("2/");
constexpr int kCellHeight = 18;
constexpr int kColumnWidth = 1500;
constexpr int kTextIndent = 20;
const QColor kSelectedBackground(0, 0, 255);
const QColor kSelectedText(255, 255, 0);
const QColor kMark(0, 128, 0);

// The media rows paint themselves through the window, as the title row does.
class MediaCellDelegate : public QStyledItemDelegate
{
public:
    MediaCellDelegate(const TSearchWindow* window, QObject* parent)
        : QStyledItemDelegate(parent), m_window(window)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        m_window->StringGridStabilityDrawCell(*painter, index.row() + 1, option.rect,
                                              option.state & QStyle::State_Selected,
                                              option.state & QStyle::State_HasFocus);
    }

private:
    const TSearchWindow* m_window;
};

// The title row stays in place while the media scroll below it, so it is the header.
class TitleRowHeader : public QHeaderView
{
public:
    TitleRowHeader(const TSearchWindow* window, QWidget* parent)
        : QHeaderView(Qt::Horizontal, parent), m_window(window)
    {
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int) const override
    {
        const QRect cell = rect.adjusted(0, 0, -1, -1);
        m_window->StringGridStabilityDrawCell(*painter, 0, cell, false, false);
        QStyleOptionViewItem option;
        option.initFrom(this);
        painter->save();
        painter->setPen(QColor::fromRgba(
            static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this))));
        painter->drawLine(cell.bottomLeft() + QPoint(0, 1), rect.bottomRight());
        painter->drawLine(cell.topRight() + QPoint(1, 0), rect.bottomRight());
        painter->restore();
    }

private:
    const TSearchWindow* m_window;
};

QFrame* bevel(QFrame::Shadow shadow, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setLineWidth(1);
    return frame;
}

} // namespace

TSearchWindow::TSearchWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SearchWindow"));
    setWindowTitle(tr("Select"));
    setFixedSize(444, 274);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12); // fixed in pixels: the layout does not follow the desktop's font size
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    QFont bold = font;
    bold.setBold(true);
    const auto label = [&](const char* text, int top) {
        auto* l = new QLabel(tr(text), this);
        l->setFont(bold);
        l->move(8, top);
        l->adjustSize();
    };
    const auto edit = [&](const char* name, int top) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(88, top, 345, 22);
        connect(e, &QLineEdit::textChanged, this, &TSearchWindow::criteriaChanged);
        return e;
    };
    label(QT_TR_NOOP("Name"), 20);
    EditName = edit("EditName", 16);
    label(QT_TR_NOOP("Odour"), 50);
    EditOdour = edit("EditOdour", 46);
    label(QT_TR_NOOP("Performance"), 80);
    EditPerformance = edit("EditPerformance", 76);
    label(QT_TR_NOOP("Application"), 110);
    EditApplications = edit("EditApplications", 106);
    label(QT_TR_NOOP("Stability"), 140);

    StringGridStability = new QTableWidget(this);
    StringGridStability->setObjectName(QStringLiteral("StringGridStability"));
    StringGridStability->setGeometry(88, 136, 345, 97);
    auto* header = new TitleRowHeader(this, StringGridStability);
    StringGridStability->setHorizontalHeader(header);
    StringGridStability->setColumnCount(1);
    StringGridStability->setRowCount(model::MediaCount);
    StringGridStability->setItemDelegate(new MediaCellDelegate(this, StringGridStability));
    StringGridStability->verticalHeader()->hide();
    // A cell is 18 pixels high with the grid line below it, as the layout has them.
    StringGridStability->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGridStability->verticalHeader()->setMinimumSectionSize(1);
    StringGridStability->verticalHeader()->setDefaultSectionSize(kCellHeight + 1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setFixedHeight(kCellHeight + 1);
    StringGridStability->setColumnWidth(0, kColumnWidth);
    StringGridStability->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridStability->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGridStability->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGridStability->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGridStability->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGridStability->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    StringGridStability->setTabKeyNavigation(false);
    StringGridStability->setWordWrap(false);
    StringGridStability->setShowGrid(true);
    StringGridStability->installEventFilter(this);
    connect(StringGridStability, &QTableWidget::doubleClicked, this,
            &TSearchWindow::ToggleSelectedMedia);
    connect(StringGridStability, &QTableWidget::itemChanged, this, &TSearchWindow::criteriaChanged);

    auto* buttonBar = bevel(QFrame::Sunken, this);
    buttonBar->setObjectName(QStringLiteral("ButtonPanel"));
    buttonBar->setGeometry(0, height() - 35, width(), 35);
    bevel(QFrame::Raised, buttonBar)->setGeometry(1, 1, width() - 2, 33);
    const auto button = [&](QWidget* owner, const QIcon& icon, const char* text, const char* name,
                            const QRect& bounds) {
        auto* b = new QPushButton(icon, tr(text), owner);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(bounds);
        b->setIconSize(QSize(16, 16));
        return b;
    };
    SearchButton =
        button(buttonBar, glyphs::funnel(), QT_TR_NOOP("&Select"), "SearchButton", {3, 3, 83, 30});
    SearchAllButton = button(buttonBar, glyphs::all(), QT_TR_NOOP("Select &all"), "SearchAllButton",
                             {89, 3, 83, 30});
    ClearButton =
        button(buttonBar, glyphs::eraser(), QT_TR_NOOP("C&lear"), "ClearButton", {175, 3, 83, 30});
    auto* closePanel = new QWidget(buttonBar);
    closePanel->setObjectName(QStringLiteral("ClosePanel"));
    closePanel->setGeometry(buttonBar->width() - 2 - 81, 2, 81, 31);
    CloseButton =
        button(closePanel, glyphs::door(), QT_TR_NOOP("&Close"), "CloseButton", {3, 1, 75, 30});
    SearchButton->setDefault(true);
    connect(SearchButton, &QPushButton::clicked, this, &TSearchWindow::SearchButtonClick);
    connect(SearchAllButton, &QPushButton::clicked, this, &TSearchWindow::SearchAllButtonClick);
    connect(ClearButton, &QPushButton::clicked, this, &TSearchWindow::ClearButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TSearchWindow::CloseButtonClick);

    setTabOrder(EditName, EditOdour);
    setTabOrder(EditOdour, EditPerformance);
    setTabOrder(EditPerformance, EditApplications);
    setTabOrder(EditApplications, StringGridStability);
    setTabOrder(StringGridStability, SearchButton);
    setTabOrder(SearchButton, SearchAllButton);
    setTabOrder(SearchAllButton, ClearButton);
    setTabOrder(ClearButton, CloseButton);
    nameControlsByCaptions(this);

    FormCreate();
}

void TSearchWindow::FormCreate()
{
    StringGridStability->setHorizontalHeaderItem(0, new QTableWidgetItem(tr(kTitle)));
    for (int i = 1; i <= model::MediaCount; ++i) {
        auto* item = new QTableWidgetItem(kOff + model::mediumLabel(i));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        StringGridStability->setItem(i - 1, 0, item);
    }
    StringGridStability->setCurrentCell(0, 0);
    RequiredCount = 0;
    criteriaChanged();
}

int TSearchWindow::Execute()
{
    ResultCode = Closed;
    exec();
    return ResultCode;
}

void TSearchWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSearchWindow::FormShow()
{
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    QLineEdit* target = EditName;
    for (QLineEdit* e : {EditName, EditOdour, EditPerformance, EditApplications}) {
        if (!e->text().isEmpty()) {
            target = e;
            break;
        }
    }
    target->setFocus(Qt::OtherFocusReason);
}

void TSearchWindow::SearchButtonClick()
{
    ResultCode = Select;
    done(ResultCode);
}

void TSearchWindow::SearchAllButtonClick()
{
    ResultCode = SelectAll;
    done(ResultCode);
}

void TSearchWindow::CloseButtonClick()
{
    ResultCode = Closed;
    done(ResultCode);
}

void TSearchWindow::reject()
{
    ResultCode = Closed;
    QDialog::reject();
}

void TSearchWindow::ClearButtonClick()
{
    for (QLineEdit* e : {EditName, EditOdour, EditPerformance, EditApplications})
        e->clear();
    RequiredCount = 0;
    for (int i = 1; i <= model::MediaCount; ++i)
        setCellText(i, kOff + model::mediumLabel(i));
}

QString TSearchWindow::cellText(int row) const
{
    const QTableWidgetItem* item = row == 0 ? StringGridStability->horizontalHeaderItem(0)
                                            : StringGridStability->item(row - 1, 0);
    return item && row >= 0 && row < GridRows ? item->text() : QString();
}

void TSearchWindow::setCellText(int row, const QString& text)
{
    if (QTableWidgetItem* item = StringGridStability->item(row - 1, 0))
        item->setText(text);
}

void TSearchWindow::ToggleSelectedMedia()
{
    int top = GridRows;
    int bottom = -1;
    const QModelIndexList selected = StringGridStability->selectionModel()->selectedIndexes();
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row() + 1);
        bottom = std::max(bottom, index.row() + 1);
    }
    // A grid always has a selected cell, at least the current one.
    if (selected.isEmpty() && StringGridStability->currentIndex().isValid())
        top = bottom = StringGridStability->currentIndex().row() + 1;
    if (bottom < top)
        return;
    for (int row = top; row <= bottom; ++row) {
        const QString text = cellText(row);
        if (text.startsWith(QLatin1Char('0'))) {
            setCellText(row, kOn + text.mid(2));
            ++RequiredCount;
        } else {
            setCellText(row, kOff + text.mid(2));
            --RequiredCount;
        }
    }
}

bool TSearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StringGridStability && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        // The grid would otherwise take the space as "select the current row only".
        ToggleSelectedMedia();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TSearchWindow::StringGridStabilityDrawCell(QPainter& painter, int row, const QRect& rect,
                                                bool selected, bool focused) const
{
    const QString text = cellText(row);
    QColor background = Qt::white;
    QColor foreground = Qt::black;
    if (row == 0) {
        background = StringGridStability->palette().color(QPalette::Button);
        foreground = StringGridStability->palette().color(QPalette::ButtonText);
    }
    if (selected || focused) {
        background = kSelectedBackground;
        foreground = kSelectedText;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, background);

    const QFontMetrics metrics(StringGridStability->font());
    // The text's top, not its baseline; integer division rounds toward zero.
    const int top =
        rect.top() + (rect.height() - metrics.size(0, QStringLiteral("test")).height()) / 2;
    painter.setClipRect(rect);
    painter.setFont(StringGridStability->font());
    painter.setPen(foreground);
    painter.drawText(rect.left() + kTextIndent, top + metrics.ascent(),
                     row == 0 ? text : text.mid(2));

    if (row > 0 && text.startsWith(QLatin1Char('2'))) {
        const QColor mark = selected ? kSelectedText : kMark;
        painter.setPen(mark);
        painter.setBrush(mark);
        // Covers the pixels from (left + 2, top + 3) up to, not including, (left + 14,
        // bottom - 3), bottom being the first row below the cell: the outline adds one.
        painter.drawEllipse(QRect(rect.left() + 2, rect.top() + 3, 11, rect.height() - 7));
    }
    if (focused) {
        painter.setPen(QPen(foreground, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

const search::SearchCriteria& TSearchWindow::criteria() const
{
    if (!m_criteria) {
        search::SearchCriteria c{EditName->text(),
                                 EditOdour->text(),
                                 EditPerformance->text(),
                                 EditApplications->text(),
                                 {}};
        for (int i = 1; i <= model::MediaCount; ++i)
            c.required[static_cast<size_t>(i - 1)] = cellText(i).startsWith(QLatin1Char('2'));
        m_criteria = c;
    }
    return *m_criteria;
}

void TSearchWindow::criteriaChanged()
{
    m_criteria.reset();
    m_normalised.reset();
}

std::function<bool()> TSearchWindow::filterFor(const data::Dataset* scan,
                                               const data::Dataset* synonymsOfScan) const
{
    return [this, scan, synonymsOfScan] {
        if (!m_normalised) {
            search::SearchCriteria c = criteria();
            for (QString* text : {&c.name, &c.odour, &c.performance, &c.application})
                *text = search::normaliseCriterion(*text);
            m_normalised = c;
        }
        return scan && search::MaterialFilter(*m_normalised, *scan, synonymsOfScan);
    };
}

} // namespace zel::ui
