// The D-Bus structures of com.canonical.dbusmenu: a layout node (ia{sv}av), an item's properties
// (ia{sv}) and one event of a group (isvu).
#pragma once

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QVariantMap>

struct CDBusMenuLayoutItem {
    int nId = 0;
    QVariantMap properties;
    QList<CDBusMenuLayoutItem> children;
};

struct CDBusMenuItemProperties {
    int nId = 0;
    QVariantMap properties;
};
using CDBusMenuItemPropertiesList = QList<CDBusMenuItemProperties>;

struct CDBusMenuEvent {
    int nId = 0;
    QString strEventId;
    QDBusVariant data;
    uint nTimestamp = 0;
};
using CDBusMenuEventList = QList<CDBusMenuEvent>;

QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuEvent& event);

Q_DECLARE_METATYPE(CDBusMenuLayoutItem)
Q_DECLARE_METATYPE(CDBusMenuItemProperties)
Q_DECLARE_METATYPE(CDBusMenuEvent)

void RegisterDBusMenuTypes();
