// The D-Bus structures of the StatusNotifierItem protocol that an item serves: icon pictures, (iiay) with
// ARGB32 pixels in network byte order, and the tooltip, (sa(iiay)ss).
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QString>

struct CSniIconPixmap {
    int nWidth = 0;
    int nHeight = 0;
    QByteArray bytes;
};
using CSniIconPixmapList = QList<CSniIconPixmap>;

struct CSniToolTip {
    QString strIconName;
    CSniIconPixmapList pixmaps;
    QString strTitle;
    QString strText;
};

QDBusArgument& operator<<(QDBusArgument& arg, const CSniIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& arg, CSniIconPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& arg, const CSniToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& arg, CSniToolTip& tip);

Q_DECLARE_METATYPE(CSniIconPixmap)
Q_DECLARE_METATYPE(CSniToolTip)

void RegisterStatusNotifierTypes();

// The icon drawn at the sizes panels use, from 16 to 64 pixels.
CSniIconPixmapList SniPixmapsOf(const QIcon& icon);
