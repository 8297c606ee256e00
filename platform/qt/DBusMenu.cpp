#include "platform/qt/DBusMenu.h"

#include <QDBusMessage>

CDBusMenu::CDBusMenu() {
    RegisterDBusMenuTypes();
}

void CDBusMenu::SetEntries(const QVector<CDBusMenuEntry>& entries) {
    m_entries = entries;
    ++m_nRevision;
    emit LayoutUpdated(m_nRevision, 0);
}

QString CDBusMenu::ToDBusMenuLabel(const QString& strQtLabel) {
    QString strLabel;
    for (qsizetype i = 0; i < strQtLabel.size(); ++i) {
        const QChar ch = strQtLabel.at(i);
        if (ch == QLatin1Char('&') && i + 1 < strQtLabel.size() && strQtLabel.at(i + 1) == QLatin1Char('&')) {
            strLabel += ch; // "&&" is an ampersand
            ++i;
        } else if (ch == QLatin1Char('&')) {
            strLabel += QLatin1Char('_');
        } else if (ch == QLatin1Char('_')) {
            strLabel += QStringLiteral("__");
        } else {
            strLabel += ch;
        }
    }
    return strLabel;
}

QVariantMap CDBusMenu::PropertiesOf(int nId, const QStringList& propertyNames) const {
    QVariantMap props;
    if (nId == 0) {
        props.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (IsItem(nId)) {
        const CDBusMenuEntry& entry = m_entries[nId - 1];
        if (entry.nCommand == 0) {
            props.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            props.insert(QStringLiteral("label"), ToDBusMenuLabel(entry.strLabel));
            props.insert(QStringLiteral("enabled"), true);
        }
        props.insert(QStringLiteral("visible"), true);
    }
    if (propertyNames.isEmpty())
        return props;
    QVariantMap wanted;
    for (const QString& strName : propertyNames)
        if (props.contains(strName))
            wanted.insert(strName, props.value(strName));
    return wanted;
}

void CDBusMenu::ReplyUnknownId(int nId) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu item %1").arg(nId));
}

uint CDBusMenu::GetLayout(int nParentId, int nRecursionDepth, const QStringList& propertyNames,
                          CDBusMenuLayoutItem& layout) {
    if (nParentId != 0 && !IsItem(nParentId)) {
        ReplyUnknownId(nParentId);
        return m_nRevision;
    }
    layout = CDBusMenuLayoutItem{nParentId, PropertiesOf(nParentId, propertyNames), {}};
    // Only the root has children; a depth of 0 asks for the node alone.
    if (nParentId == 0 && nRecursionDepth != 0)
        for (int nId = 1; nId <= m_entries.size(); ++nId)
            layout.children.append(CDBusMenuLayoutItem{nId, PropertiesOf(nId, propertyNames), {}});
    return m_nRevision;
}

CDBusMenuItemPropertiesList CDBusMenu::GetGroupProperties(const QList<int>& ids,
                                                          const QStringList& propertyNames) {
    CDBusMenuItemPropertiesList items;
    for (int nId : ids)
        if (nId == 0 || IsItem(nId))
            items.append(CDBusMenuItemProperties{nId, PropertiesOf(nId, propertyNames)});
    return items;
}

QDBusVariant CDBusMenu::GetProperty(int nId, const QString& strName) {
    if (nId != 0 && !IsItem(nId)) {
        ReplyUnknownId(nId);
        return QDBusVariant(QString());
    }
    return QDBusVariant(PropertiesOf(nId, {}).value(strName, QString()));
}

void CDBusMenu::Event(int nId, const QString& strEventId, const QDBusVariant&, uint) {
    if (!IsItem(nId)) {
        ReplyUnknownId(nId);
        return;
    }
    const int nCommand = m_entries[nId - 1].nCommand;
    if (strEventId == QLatin1String("clicked") && nCommand != 0)
        emit Clicked(nCommand);
}

QList<int> CDBusMenu::EventGroup(const QList<CDBusMenuEvent>& events) {
    QList<int> idErrors;
    for (const CDBusMenuEvent& event : events) {
        if (IsItem(event.nId))
            Event(event.nId, event.strEventId, event.data, event.nTimestamp);
        else
            idErrors.append(event.nId);
    }
    return idErrors;
}

bool CDBusMenu::AboutToShow(int) {
    return false; // the items never change while the menu shows
}

QList<int> CDBusMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (int nId : ids)
        if (nId != 0 && !IsItem(nId))
            idErrors.append(nId);
    return {};
}
