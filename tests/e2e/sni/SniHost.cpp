#include "SniHost.h"

#include "SniMenu.h"
#include "SniProps.h"
#include "SniTypes.h"
#include "SniWatcher.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDateTime>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>

#include <cstdio>
#include <iostream>
#include <string>

namespace {
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kPropsInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kPanelWidth = 32;
constexpr int kPanelHeight = 24;
constexpr int kIconSize = 22;
constexpr int kCallTimeoutMs = 5000;
} // namespace

void Report(const QString& strLine) {
    std::fputs(strLine.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

CSniHost::CSniHost(const QDBusConnection& bus, CSniWatcher& watcher) : m_bus(bus) {
    setWindowTitle(QStringLiteral("kivo-sni-host"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // A panel is never the active window; its tooltip shows all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFixedSize(kPanelWidth, kPanelHeight);
    if (const QScreen* pScreen = QGuiApplication::primaryScreen())
        move(pScreen->geometry().right() + 1 - kPanelWidth, 0);
    connect(&watcher, &CSniWatcher::ItemRegistered, this, &CSniHost::OnItemRegistered);
    connect(&watcher, &CSniWatcher::ItemUnregistered, this, &CSniHost::OnItemUnregistered);
    m_pStdin = new QSocketNotifier(0, QSocketNotifier::Read, this);
    connect(m_pStdin, &QSocketNotifier::activated, this, &CSniHost::OnCommand);
}

void CSniHost::Call(QDBusMessage call, std::function<void(const QDBusMessage&)> onReply) {
    auto* pWatcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(pWatcher, &QDBusPendingCallWatcher::finished, this, [pWatcher, onReply] {
        pWatcher->deleteLater();
        if (pWatcher->isError())
            Report(QStringLiteral("error %1").arg(pWatcher->error().message()));
        if (onReply)
            onReply(pWatcher->reply());
    });
}

void CSniHost::OnItemRegistered(const QString& strService, const QString& strPath) {
    // A change of the item's icon, tooltip, status or title makes the panel read it again.
    static const char* const kSignals[] = {"NewIcon", "NewToolTip", "NewStatus", "NewTitle"};
    if (!m_strService.isEmpty())
        for (const char* pSignal : kSignals)
            m_bus.disconnect(m_strService, m_strPath, kItemInterface, QLatin1String(pSignal), this,
                             SLOT(Refresh()));
    m_strService = strService;
    m_strPath = strPath;
    for (const char* pSignal : kSignals)
        m_bus.connect(m_strService, m_strPath, kItemInterface, QLatin1String(pSignal), this, SLOT(Refresh()));
    Refresh();
    Report(QStringLiteral("registered %1 %2").arg(strService, strPath));
}

void CSniHost::OnItemUnregistered(const QString& strService) {
    if (strService != m_strService)
        return;
    m_strService.clear();
    m_strPath.clear();
    m_icon = QImage();
    setToolTip(QString());
    update();
    Report(QStringLiteral("unregistered %1").arg(strService));
}

void CSniHost::ReadProps(std::function<void(const QVariantMap&)> onProps) {
    if (m_strService.isEmpty()) {
        onProps({});
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_strService, m_strPath, kPropsInterface, QStringLiteral("GetAll"));
    call << kItemInterface;
    Call(call, [onProps](const QDBusMessage& reply) {
        QVariantMap props;
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            reply.arguments().constFirst().value<QDBusArgument>() >> props;
        onProps(props);
    });
}

void CSniHost::Refresh() {
    ReadProps([this](const QVariantMap& props) {
        m_icon = LargestImage(PixmapsOf(props));
        setToolTip(ToolTipOf(props).strTitle);
        update();
    });
}

void CSniHost::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x40, 0x40, 0x40));
    if (!m_icon.isNull())
        painter.drawImage(QRect((width() - kIconSize) / 2, (height() - kIconSize) / 2, kIconSize, kIconSize),
                          m_icon.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CSniHost::mouseReleaseEvent(QMouseEvent* pEvent) {
    const QPoint pos = pEvent->globalPosition().toPoint();
    if (pEvent->button() == Qt::LeftButton)
        Activate(pos);
    else if (pEvent->button() == Qt::RightButton)
        ShowItemMenu(pos);
}

void CSniHost::CallItem(const QString& strMethod, const QPoint& pos) {
    QDBusMessage call = QDBusMessage::createMethodCall(m_strService, m_strPath, kItemInterface, strMethod);
    call << pos.x() << pos.y();
    Call(call, nullptr);
}

void CSniHost::Activate(const QPoint& pos) {
    if (m_strService.isEmpty())
        return;
    CallItem(QStringLiteral("Activate"), pos);
    Report(QStringLiteral("activated %1 %2").arg(pos.x()).arg(pos.y()));
}

void CSniHost::ReadMenu(std::function<void(const QList<CSniMenuItem>&, const QString&)> onMenu) {
    ReadProps([this, onMenu](const QVariantMap& props) {
        const QString strMenu = MenuPathOf(props);
        if (strMenu.isEmpty() || strMenu == QLatin1String("/")) {
            onMenu({}, strMenu);
            return;
        }
        QDBusMessage aboutToShow = QDBusMessage::createMethodCall(m_strService, strMenu, kMenuInterface,
                                                                  QStringLiteral("AboutToShow"));
        aboutToShow << 0;
        Call(aboutToShow, nullptr);
        QDBusMessage getLayout = QDBusMessage::createMethodCall(m_strService, strMenu, kMenuInterface,
                                                                QStringLiteral("GetLayout"));
        getLayout << 0 << 1 << QStringList();
        Call(getLayout, [onMenu, strMenu](const QDBusMessage& reply) {
            QList<CSniMenuItem> items;
            if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() >= 2)
                items = ReadMenuLayout(reply.arguments().at(1).value<QDBusArgument>());
            onMenu(items, strMenu);
        });
    });
}

void CSniHost::ShowItemMenu(const QPoint& pos) {
    if (m_strService.isEmpty())
        return;
    ReadMenu([this, pos](const QList<CSniMenuItem>& items, const QString& strMenu) {
        if (items.isEmpty()) {
            // An item without an exported menu draws its own.
            CallItem(QStringLiteral("ContextMenu"), pos);
            Report(QStringLiteral("context-menu %1 %2").arg(pos.x()).arg(pos.y()));
            return;
        }
        auto* pMenu = new QMenu(this);
        pMenu->setAttribute(Qt::WA_DeleteOnClose);
        for (const CSniMenuItem& item : items) {
            if (!item.bVisible)
                continue;
            if (item.bSeparator) {
                pMenu->addSeparator();
                continue;
            }
            QAction* pAction = pMenu->addAction(ToQtMnemonic(item.strLabel));
            pAction->setEnabled(item.bEnabled);
            const int nId = item.nId;
            connect(pAction, &QAction::triggered, this, [this, strMenu, nId] {
                QDBusMessage event = QDBusMessage::createMethodCall(m_strService, strMenu, kMenuInterface,
                                                                    QStringLiteral("Event"));
                event << nId << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(QString()))
                      << uint(QDateTime::currentSecsSinceEpoch());
                Call(event, nullptr);
                Report(QStringLiteral("menu-event %1").arg(nId));
            });
        }
        pMenu->popup(pos);
        Report(QStringLiteral("menu-shown %1").arg(items.size()));
    });
}

void CSniHost::PrintProps(const QVariantMap& props) {
    for (const QString& strLine : PropLines(props))
        Report(strLine);
    Report(QStringLiteral("end"));
}

void CSniHost::OnCommand() {
    std::string strLine;
    if (!std::getline(std::cin, strLine)) {
        // The test went away: so does the host.
        m_pStdin->setEnabled(false);
        QApplication::quit();
        return;
    }
    const QString strCommand = QString::fromStdString(strLine).trimmed();
    if (strCommand == QLatin1String("props")) {
        ReadProps([this](const QVariantMap& props) { PrintProps(props); });
    } else if (strCommand == QLatin1String("menu")) {
        ReadMenu([](const QList<CSniMenuItem>& items, const QString&) {
            for (const CSniMenuItem& item : items)
                if (item.bVisible && !item.bSeparator)
                    Report(QStringLiteral("menu %1").arg(item.strLabel));
            Report(QStringLiteral("end"));
        });
    } else if (!strCommand.isEmpty()) {
        Report(QStringLiteral("error unknown command %1").arg(strCommand));
    }
}
