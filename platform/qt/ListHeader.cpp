#include "platform/qt/ListHeader.h"

#include <QStyle>
#include <QStyleOptionHeader>

QSize CListHeader::sectionSizeFromContents(int nLogicalIndex) const {
    ensurePolished();
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.section = nLogicalIndex;
    opt.text =
        model() ? model()->headerData(nLogicalIndex, orientation(), Qt::DisplayRole).toString() : QString();
    opt.fontMetrics = fontMetrics();
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), this);
}
