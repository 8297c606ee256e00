// The menu that a StatusNotifierItem exports over com.canonical.dbusmenu, as a host reads it.
#pragma once

#include <QDBusArgument>
#include <QList>
#include <QString>

struct CSniMenuItem {
    int nId = 0;
    QString strLabel; // with the protocol's "_" mnemonic marks
    bool bSeparator = false;
    bool bEnabled = true;
    bool bVisible = true;
};

// The top-level items of a GetLayout reply's layout, (ia{sv}av).
QList<CSniMenuItem> ReadMenuLayout(const QDBusArgument& layout);

// A dbusmenu label in Qt's form: "_" marks the mnemonic ("&"), "__" is an underscore.
QString ToQtMnemonic(const QString& strLabel);
