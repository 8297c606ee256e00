// The column header of a report list built from a dialog template.
#pragma once

#include <QHeaderView>

class CListHeader : public QHeaderView {
public:
    explicit CListHeader(QWidget* pParent) : QHeaderView(Qt::Horizontal, pParent) {}

protected:
    // QHeaderView measures every section in the bold face of its font, as a highlighted section is drawn
    // bold. A list view's columns are never highlighted, and the bold face of a CJK font costs megabytes
    // of memory to load only to be measured; the header's own font measures what is drawn.
    QSize sectionSizeFromContents(int nLogicalIndex) const override;
};
