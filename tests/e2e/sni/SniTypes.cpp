#include "SniTypes.h"

#include <QDBusMetaType>

QImage CSniPixmap::ToImage() const {
    if (nWidth <= 0 || nHeight <= 0 || bytes.size() < qsizetype(nWidth) * nHeight * 4)
        return {};
    QImage image(nWidth, nHeight, QImage::Format_ARGB32);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    for (int y = 0; y < nHeight; ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x, p += 4)
            pLine[x] = qRgba(p[1], p[2], p[3], p[0]);
    }
    return image;
}

QDBusArgument& operator<<(QDBusArgument& arg, const CSniPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.nWidth << pixmap.nHeight << pixmap.bytes;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CSniPixmap& pixmap) {
    arg.beginStructure();
    arg >> pixmap.nWidth >> pixmap.nHeight >> pixmap.bytes;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const CSniToolTip& tip) {
    arg.beginStructure();
    arg << tip.strIconName << tip.pixmaps << tip.strTitle << tip.strText;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CSniToolTip& tip) {
    arg.beginStructure();
    arg >> tip.strIconName >> tip.pixmaps >> tip.strTitle >> tip.strText;
    arg.endStructure();
    return arg;
}

void RegisterSniTypes() {
    qDBusRegisterMetaType<CSniPixmap>();
    qDBusRegisterMetaType<QList<CSniPixmap>>();
    qDBusRegisterMetaType<CSniToolTip>();
}

QImage LargestImage(const QList<CSniPixmap>& pixmaps) {
    const CSniPixmap* pBest = nullptr;
    for (const CSniPixmap& pixmap : pixmaps)
        if (!pBest || pixmap.nWidth * pixmap.nHeight > pBest->nWidth * pBest->nHeight)
            pBest = &pixmap;
    return pBest ? pBest->ToImage() : QImage();
}
