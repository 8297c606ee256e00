// The org.kde.StatusNotifierItem interface of a CStatusNotifierItem, as hosts read it.
#pragma once

#include "platform/qt/StatusNotifierTypes.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

class CStatusNotifierItem;

class CStatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ EmptyText)
    Q_PROPERTY(QString IconName READ EmptyText)
    Q_PROPERTY(CSniIconPixmapList IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ EmptyText)
    Q_PROPERTY(CSniIconPixmapList OverlayIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionIconName READ EmptyText)
    Q_PROPERTY(CSniIconPixmapList AttentionIconPixmap READ NoPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ EmptyText)
    Q_PROPERTY(CSniToolTip ToolTip READ ToolTip)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)
public:
    explicit CStatusNotifierItemAdaptor(CStatusNotifierItem& item);

    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const;
    QString Title() const;
    QString Status() const;
    int WindowId() const { return 0; }
    // The icon goes as pictures only: the installed icon has no grey form for the logged-out state.
    QString EmptyText() const { return {}; }
    CSniIconPixmapList IconPixmap() const;
    CSniIconPixmapList NoPixmaps() const { return {}; }
    CSniToolTip ToolTip() const;
    // Activate is handled (the left-click menu, the double-click action), so the item is no menu only.
    bool ItemIsMenu() const { return false; }
    QDBusObjectPath Menu() const { return QDBusObjectPath(QStringLiteral("/MenuBar")); }

public slots:
    void Activate(int nX, int nY);
    void SecondaryActivate(int nX, int nY);
    void ContextMenu(int nX, int nY);
    void Scroll(int nDelta, const QString& strOrientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& strStatus);

private:
    CStatusNotifierItem& m_item;
};
