// A small StatusNotifierItem host for the desktop tests: a panel at the top right of the screen that
// draws the registered item's icon and tooltip, calls the item's Activate on a left click and shows the
// item's exported menu (com.canonical.dbusmenu) on a right click, as desktop panels do. It reports on
// stdout, one line each, and answers commands read from stdin:
//
//   registered SERVICE PATH        an item registered with the watcher
//   unregistered SERVICE           it went away
//   activated X Y                  a left click was handed to the item
//   props                          -> "prop NAME VALUE" lines, then "end"
//   menu                           -> "menu LABEL" lines for the exported menu, then "end"
#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <functional>

class CSniWatcher;
class QSocketNotifier;
struct CSniMenuItem;

class CSniHost : public QWidget {
    Q_OBJECT
public:
    CSniHost(const QDBusConnection& bus, CSniWatcher& watcher);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private slots:
    void Refresh();

private:
    // Every call to the item is asynchronous: the item may be calling the watcher in this process at the
    // same moment, and a blocking call would then wait for its own time-out.
    void Call(QDBusMessage call, std::function<void(const QDBusMessage&)> onReply);
    void OnItemRegistered(const QString& strService, const QString& strPath);
    void OnItemUnregistered(const QString& strService);
    void OnCommand();
    void ReadProps(std::function<void(const QVariantMap&)> onProps);
    void ReadMenu(std::function<void(const QList<CSniMenuItem>&, const QString&)> onMenu);
    void PrintProps(const QVariantMap& props);
    void Activate(const QPoint& pos);
    void ShowItemMenu(const QPoint& pos);
    void CallItem(const QString& strMethod, const QPoint& pos);

    QDBusConnection m_bus;
    QString m_strService;
    QString m_strPath;
    QImage m_icon;
    QSocketNotifier* m_pStdin = nullptr;
};

// One line on stdout, flushed.
void Report(const QString& strLine);
