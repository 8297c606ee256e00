#include "SniMenu.h"

#include <QDBusVariant>
#include <QVariantMap>

QList<CSniMenuItem> ReadMenuLayout(const QDBusArgument& layout) {
    QList<CSniMenuItem> items;
    int nRootId = 0;
    QVariantMap rootProps;
    layout.beginStructure();
    layout >> nRootId >> rootProps;
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        const QDBusArgument childArg = child.variant().value<QDBusArgument>();
        CSniMenuItem item;
        QVariantMap props;
        childArg.beginStructure();
        childArg >> item.nId >> props;
        childArg.endStructure();
        item.strLabel = props.value(QStringLiteral("label")).toString();
        item.bSeparator = props.value(QStringLiteral("type")).toString() == QLatin1String("separator");
        item.bEnabled = props.value(QStringLiteral("enabled"), true).toBool();
        item.bVisible = props.value(QStringLiteral("visible"), true).toBool();
        items.append(item);
    }
    layout.endArray();
    layout.endStructure();
    return items;
}

QString ToQtMnemonic(const QString& strLabel) {
    QString strResult;
    for (qsizetype i = 0; i < strLabel.size(); ++i) {
        const QChar c = strLabel.at(i);
        if (c == QLatin1Char('_') && i + 1 < strLabel.size() && strLabel.at(i + 1) == QLatin1Char('_')) {
            strResult += c;
            ++i;
        } else if (c == QLatin1Char('_')) {
            strResult += QLatin1Char('&');
        } else if (c == QLatin1Char('&')) {
            strResult += QStringLiteral("&&");
        } else {
            strResult += c;
        }
    }
    return strResult;
}
