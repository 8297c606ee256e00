#include "platform/qt/DBusMenuTypes.h"

#include <QDBusMetaType>

QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuLayoutItem& item) {
    arg.beginStructure();
    arg << item.nId << item.properties;
    // The children are variants, each holding a layout node.
    arg.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const CDBusMenuLayoutItem& child : item.children)
        arg << QDBusVariant(QVariant::fromValue(child));
    arg.endArray();
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuLayoutItem& item) {
    arg.beginStructure();
    arg >> item.nId >> item.properties;
    arg.beginArray();
    item.children.clear();
    while (!arg.atEnd()) {
        QDBusVariant child;
        arg >> child;
        CDBusMenuLayoutItem childItem;
        child.variant().value<QDBusArgument>() >> childItem;
        item.children.append(childItem);
    }
    arg.endArray();
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuItemProperties& item) {
    arg.beginStructure();
    arg << item.nId << item.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuItemProperties& item) {
    arg.beginStructure();
    arg >> item.nId >> item.properties;
    arg.endStructure();
    return arg;
}

QDBusArgument& operator<<(QDBusArgument& arg, const CDBusMenuEvent& event) {
    arg.beginStructure();
    arg << event.nId << event.strEventId << event.data << event.nTimestamp;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, CDBusMenuEvent& event) {
    arg.beginStructure();
    arg >> event.nId >> event.strEventId >> event.data >> event.nTimestamp;
    arg.endStructure();
    return arg;
}

void RegisterDBusMenuTypes() {
    qDBusRegisterMetaType<CDBusMenuLayoutItem>();
    qDBusRegisterMetaType<CDBusMenuItemProperties>();
    qDBusRegisterMetaType<CDBusMenuItemPropertiesList>();
    qDBusRegisterMetaType<CDBusMenuEvent>();
    qDBusRegisterMetaType<CDBusMenuEventList>();
}
