#pragma once

#include <vector>

#include <QString>
#include <QWidget>

class QTabBar;

namespace lumora {

/// A tab control whose pages cover the whole control, tab strip included, so
/// that a control placed at (left, top) on a page sits at (left, top) from the
/// control's own corner, under the strip when top is small. Switching pages
/// changes nothing but the page shown.
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent);

    /// A new empty page named and captioned caption.
    QWidget* AddPage(const QString& caption);
    int count() const;
    QString tabText(int index) const;
    QWidget* page(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QTabBar* tabBar() const { return m_bar; }

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Layout();

    QTabBar* m_bar;
    std::vector<QWidget*> m_pages;
};

}  // namespace lumora
