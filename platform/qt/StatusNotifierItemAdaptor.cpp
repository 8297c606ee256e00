#include "platform/qt/StatusNotifierItemAdaptor.h"

#include "platform/qt/StatusNotifierItem.h"

CStatusNotifierItemAdaptor::CStatusNotifierItemAdaptor(CStatusNotifierItem& item)
    : QDBusAbstractAdaptor(&item), m_item(item) {
    // The properties change without a PropertiesChanged signal; hosts listen for New*.
    setAutoRelaySignals(false);
}

QString CStatusNotifierItemAdaptor::Id() const {
    return m_item.Id();
}

QString CStatusNotifierItemAdaptor::Title() const {
    return m_item.Id();
}

QString CStatusNotifierItemAdaptor::Status() const {
    return m_item.Status();
}

CSniIconPixmapList CStatusNotifierItemAdaptor::IconPixmap() const {
    return m_item.IconPixmaps();
}

CSniToolTip CStatusNotifierItemAdaptor::ToolTip() const {
    return m_item.ToolTip();
}

void CStatusNotifierItemAdaptor::Activate(int nX, int nY) {
    m_item.OnActivate(nX, nY);
}

void CStatusNotifierItemAdaptor::SecondaryActivate(int nX, int nY) {
    m_item.OnSecondaryActivate(nX, nY);
}

void CStatusNotifierItemAdaptor::ContextMenu(int nX, int nY) {
    m_item.OnContextMenu(nX, nY);
}

void CStatusNotifierItemAdaptor::Scroll(int, const QString&) {}
