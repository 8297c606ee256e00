#include "SniProps.h"

#include <QDBusArgument>
#include <QDBusObjectPath>

CSniToolTip ToolTipOf(const QVariantMap& props) {
    CSniToolTip tip;
    const QVariant value = props.value(QStringLiteral("ToolTip"));
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> tip;
    return tip;
}

QList<CSniPixmap> PixmapsOf(const QVariantMap& props) {
    QList<CSniPixmap> pixmaps;
    const QVariant value = props.value(QStringLiteral("IconPixmap"));
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> pixmaps;
    return pixmaps;
}

QString MenuPathOf(const QVariantMap& props) {
    return props.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
}

QString MeanColour(const QImage& image) {
    qint64 nR = 0, nG = 0, nB = 0, n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) < 128)
                continue;
            nR += qRed(px);
            nG += qGreen(px);
            nB += qBlue(px);
            ++n;
        }
    if (n == 0)
        return QStringLiteral("none");
    return QStringLiteral("%1 %2 %3").arg(nR / n).arg(nG / n).arg(nB / n);
}

QStringList PropLines(const QVariantMap& props) {
    QStringList lines;
    for (const char* pName : {"Id", "Title", "Category", "Status", "IconName", "ItemIsMenu"})
        lines << QStringLiteral("prop %1 %2")
                     .arg(QLatin1String(pName), props.value(QLatin1String(pName)).toString());
    lines << QStringLiteral("prop Menu %1").arg(MenuPathOf(props));
    const CSniToolTip tip = ToolTipOf(props);
    lines << QStringLiteral("prop ToolTip.Title %1").arg(tip.strTitle);
    lines << QStringLiteral("prop ToolTip.Text %1").arg(tip.strText);
    const QList<CSniPixmap> pixmaps = PixmapsOf(props);
    QStringList sizes;
    for (const CSniPixmap& pixmap : pixmaps)
        sizes << QStringLiteral("%1x%2").arg(pixmap.nWidth).arg(pixmap.nHeight);
    lines << QStringLiteral("prop IconPixmap %1").arg(sizes.join(QLatin1Char(' ')));
    lines << QStringLiteral("prop IconColour %1").arg(MeanColour(LargestImage(pixmaps)));
    return lines;
}
