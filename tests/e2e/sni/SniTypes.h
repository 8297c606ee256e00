// The D-Bus structures of the StatusNotifierItem protocol that the host reads: an icon pixmap
// (width, height, ARGB32 bytes in network order) and the tooltip (icon name, pixmaps, title, text).
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

struct CSniPixmap {
    int nWidth = 0;
    int nHeight = 0;
    QByteArray bytes;

    QImage ToImage() const;
};

struct CSniToolTip {
    QString strIconName;
    QList<CSniPixmap> pixmaps;
    QString strTitle;
    QString strText;
};

QDBusArgument& operator<<(QDBusArgument& arg, const CSniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, CSniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const CSniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, CSniToolTip& tip);

Q_DECLARE_METATYPE(CSniPixmap)
Q_DECLARE_METATYPE(CSniToolTip)

void RegisterSniTypes();

// The largest of the pixmaps, or a null image.
QImage LargestImage(const QList<CSniPixmap>& pixmaps);
