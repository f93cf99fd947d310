#include "data/dbnavigator.h"

#include "data/dbgrid.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace data {

DBNavigator::DBNavigator(DBGrid *grid, Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent)
    , m_grid(grid)
{
    auto *row = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const struct {
        const char *name;
        const char *tip;
        const char *glyph;
        void (DBNavigator::*slot)();
    } buttons[] = {
        {"First", QT_TR_NOOP("First record"), "|\u25C0", &DBNavigator::first},
        {"Prior", QT_TR_NOOP("Prior record"), "\u25C0", &DBNavigator::prior},
        {"Next", QT_TR_NOOP("Next record"), "\u25B6", &DBNavigator::next},
        {"Last", QT_TR_NOOP("Last record"), "\u25B6|", &DBNavigator::last},
        {"Insert", QT_TR_NOOP("Insert record"), "+", &DBNavigator::insertRecord},
        {"Delete", QT_TR_NOOP("Delete record"), "\u2212", &DBNavigator::deleteRecord},
        {"Edit", QT_TR_NOOP("Edit record"), "\u25B2", &DBNavigator::editRecord},
        {"Post", QT_TR_NOOP("Post edit"), "\u2714", &DBNavigator::post},
        {"Cancel", QT_TR_NOOP("Cancel edit"), "\u2716", &DBNavigator::cancel},
        {"Refresh", QT_TR_NOOP("Refresh data"), "\u21BB", &DBNavigator::refresh},
    };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromUtf8(b.name));
        button->setText(QString::fromUtf8(b.glyph));
        button->setToolTip(tr(b.tip));
        button->setFixedSize(25, 25);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, b.slot);
        row->addWidget(button);
    }
    row->addStretch();
}

QToolButton *DBNavigator::button(const QString &name) const
{
    return findChild<QToolButton *>(name, Qt::FindDirectChildrenOnly);
}

void DBNavigator::move(int row)
{
    m_grid->postPending();
    m_grid->goToRow(std::max(row, 0));
}

void DBNavigator::first()
{
    platform::runGuarded(this, [&] { move(0); });
}

void DBNavigator::prior()
{
    platform::runGuarded(this, [&] { move(m_grid->currentRow() - 1); });
}

void DBNavigator::next()
{
    platform::runGuarded(this, [&] { move(m_grid->currentRow() + 1); });
}

void DBNavigator::last()
{
    platform::runGuarded(this, [&] {
        m_grid->postPending();
        m_grid->goToRow(std::numeric_limits<int>::max());
    });
}

void DBNavigator::insertRecord()
{
    platform::runGuarded(this, [&] { m_grid->insertRecord(); });
}

void DBNavigator::deleteRecord()
{
    platform::runGuarded(this, [&] {
        if (m_grid->currentRow() < 0)
            return;
        if (platform::messageBoxes().confirm(this, tr("Datensatz löschen?")))
            m_grid->deleteCurrent();
    });
}

void DBNavigator::editRecord()
{
    platform::runGuarded(this, [&] {
        QModelIndex cell = m_grid->currentIndex();
        if (!cell.isValid()) {
            m_grid->goToRow(0);
            cell = m_grid->currentIndex();
        }
        if (!cell.isValid())
            return;
        if (cell.column() == 0 && m_grid->model()->columnCount() > 1)
            cell = cell.siblingAtColumn(1);
        m_grid->setCurrentIndex(cell);
        m_grid->edit(cell);
    });
}

void DBNavigator::post()
{
    platform::runGuarded(this, [&] { m_grid->postPending(); });
}

void DBNavigator::cancel()
{
    platform::runGuarded(this, [&] { m_grid->cancelChanges(); });
}

void DBNavigator::refresh()
{
    platform::runGuarded(this, [&] {
        m_grid->postPending();
        m_grid->refresh();
    });
}

} // namespace data
