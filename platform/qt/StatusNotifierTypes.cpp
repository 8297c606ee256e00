#include "platform/qt/StatusNotifierTypes.h"

#include <QDBusMetaType>
#include <QImage>

QDBusArgument& operator<<(QDBusArgument& arg, const CSniIconPixmap& pixmap) {
    arg.beginStructure();
    arg << pixmap.nWidth << pixmap.nHeight << pixmap.bytes;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CSniIconPixmap& pixmap) {
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

void RegisterStatusNotifierTypes() {
    qDBusRegisterMetaType<CSniIconPixmap>();
    qDBusRegisterMetaType<CSniIconPixmapList>();
    qDBusRegisterMetaType<CSniToolTip>();
}

CSniIconPixmapList SniPixmapsOf(const QIcon& icon) {
    CSniIconPixmapList pixmaps;
    if (icon.isNull())
        return pixmaps;
    for (int nSize : {16, 22, 24, 32, 48, 64}) {
        const QImage image = icon.pixmap(nSize, nSize).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull())
            continue;
        CSniIconPixmap pixmap{image.width(), image.height(), {}};
        pixmap.bytes.reserve(qsizetype(image.width()) * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            const auto* pLine = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb px = pLine[x];
                pixmap.bytes.append(char(qAlpha(px)));
                pixmap.bytes.append(char(qRed(px)));
                pixmap.bytes.append(char(qGreen(px)));
                pixmap.bytes.append(char(qBlue(px)));
            }
        }
        pixmaps.append(pixmap);
    }
    return pixmaps;
}
