#pragma once

#include <QHeaderView>
#include <QMap>

// A header view that can carry one widget per section (a check box or a filter button),
// kept in place as sections are resized or scrolled.
class CheckBoxHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    enum Placement
    {
        PlaceLeft = 0,
        PlaceCentred = 1,
        PlaceRight = 2
    };

    CheckBoxHeaderView(Qt::Orientation orientation, QObject* extra = nullptr, QWidget* parent = nullptr);

    // Returns false (and changes nothing) for a null widget, a section out of range
    // or a section that already has a widget. The widget is hidden until its owner shows it.
    bool setSectionWidget(int section, QWidget* widget, int placement);
    QWidget* sectionWidget(int section) const;
    QObject* extra() const;

    void updateSectionWidgets();

public slots:
    void handleSectionResized(int logicalIndex);

protected:
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // A section whose right-placed widget shows keeps its text clear of the widget.
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    // Sets a section widget's visibility and repaints the header when it changes.
    void setSectionWidgetVisible(int section, bool visible);

private:
    void placeSectionWidget(int section);
    // The width a shown right-placed widget takes from its section, 0 when there is none.
    int reservedWidth(int section) const;

    QMap<int, QWidget*> m_sectionWidgets;
    QMap<int, int> m_placements;
    QObject* m_extra;
    // The section being painted without its label (the strip under its widget).
    mutable int m_labelLaterSection = -1;
};
