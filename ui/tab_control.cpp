#include "ui/tab_control.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace lumora {

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setElideMode(Qt::ElideNone);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        for (std::size_t i = 0; i < m_pages.size(); ++i) m_pages[i]->setVisible(static_cast<int>(i) == index);
        m_bar->raise();
        emit currentChanged(index);
    });
}

QWidget* TabControl::AddPage(const QString& caption) {
    auto* page = new QWidget(this);
    page->setObjectName(caption);
    m_pages.push_back(page);
    m_bar->addTab(caption);
    page->setVisible(m_bar->currentIndex() == count() - 1);
    Layout();
    return page;
}

int TabControl::count() const { return static_cast<int>(m_pages.size()); }

QString TabControl::tabText(int index) const { return m_bar->tabText(index); }

QWidget* TabControl::page(int index) const {
    return index >= 0 && index < count() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int TabControl::currentIndex() const { return m_bar->currentIndex(); }

void TabControl::setCurrentIndex(int index) { m_bar->setCurrentIndex(index); }

void TabControl::resizeEvent(QResizeEvent*) { Layout(); }

void TabControl::Layout() {
    for (QWidget* page : m_pages) page->setGeometry(rect());
    m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
    m_bar->raise();
}

void TabControl::paintEvent(QPaintEvent*) {
    // The pane's frame below the strip; the pages are transparent over it.
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int top = m_bar->height() - style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    frame.rect = rect().adjusted(0, top, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->size();
    frame.selectedTabRect = m_bar->tabRect(m_bar->currentIndex());
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace lumora
