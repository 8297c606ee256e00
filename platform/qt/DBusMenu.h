// A flat menu exported over com.canonical.dbusmenu, for the tray hosts that draw a StatusNotifierItem's
// menu themselves. The host reads the layout and sends "clicked" events; the chosen command is reported
// by Clicked.
#pragma once

#include "platform/qt/DBusMenuTypes.h"

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

struct CDBusMenuEntry {
    int nCommand = 0; // 0 is a separator
    QString strLabel; // in Qt's form, "&" marking the mnemonic
};

class CDBusMenu : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version SCRIPTABLE true)
    Q_PROPERTY(QString TextDirection READ TextDirection SCRIPTABLE true)
    Q_PROPERTY(QString Status READ Status SCRIPTABLE true)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath SCRIPTABLE true)
public:
    CDBusMenu();

    // Replaces the items; hosts that show the menu read the new layout.
    void SetEntries(const QVector<CDBusMenuEntry>& entries);
    const QVector<CDBusMenuEntry>& Entries() const { return m_entries; }

    uint Version() const { return 3; }
    QString TextDirection() const { return QStringLiteral("ltr"); }
    QString Status() const { return QStringLiteral("normal"); }
    QStringList IconThemePath() const { return {}; }

    // A label in the protocol's form: "_" marks the mnemonic, "__" is an underscore.
    static QString ToDBusMenuLabel(const QString& strQtLabel);

public slots:
    Q_SCRIPTABLE uint GetLayout(int nParentId, int nRecursionDepth, const QStringList& propertyNames,
                                CDBusMenuLayoutItem& layout);
    Q_SCRIPTABLE CDBusMenuItemPropertiesList GetGroupProperties(const QList<int>& ids,
                                                                const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int nId, const QString& strName);
    Q_SCRIPTABLE void Event(int nId, const QString& strEventId, const QDBusVariant& data, uint nTimestamp);
    // Spelled out rather than CDBusMenuEventList: QtDBus finds a parameter's type by the name moc
    // recorded, and a typedef's name is unknown to it, so the method would not be exported at all (the
    // hosts built on libdbusmenu, Xfce's panel among them, send every click through it).
    Q_SCRIPTABLE QList<int> EventGroup(const QList<CDBusMenuEvent>& events);
    Q_SCRIPTABLE bool AboutToShow(int nId);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    Q_SCRIPTABLE void LayoutUpdated(uint nRevision, int nParent);
    // A command was chosen in the host's menu.
    void Clicked(int nCommand);

private:
    bool IsItem(int nId) const { return nId >= 1 && nId <= m_entries.size(); }
    QVariantMap PropertiesOf(int nId, const QStringList& propertyNames) const;
    void ReplyUnknownId(int nId);

    QVector<CDBusMenuEntry> m_entries; // the item of id n is m_entries[n - 1]; 0 is the root
    uint m_nRevision = 1;
};
