// kivo-sni-probe: reads the program's StatusNotifierItem as a desktop's host sees it, from whichever
// watcher owns org.kde.StatusNotifierWatcher on the session bus (a real panel's, or kivo-sni-host's).
//
//   kivo-sni-probe items     "item SERVICE PATH ID" for every registered item
//   kivo-sni-probe props     the "prop NAME VALUE" lines of the item whose Id is KIVODialer
//   kivo-sni-probe menu      "menu LABEL" for each visible command of its exported menu
//
// Exits with 1 when there is no watcher or no such item, so that a script can wait for one.
#include "SniMenu.h"
#include "SniProps.h"
#include "SniTypes.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

#include <cstdio>

namespace {
const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kPropsInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kMenuInterface = QStringLiteral("com.canonical.dbusmenu");
constexpr int kCallTimeoutMs = 3000;

struct CItemAddress {
    QString strService;
    QString strPath;
};

void Print(const QString& strLine) {
    std::fputs(strLine.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

QDBusMessage Call(QDBusMessage call) {
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
}

// The watcher lists an item as "SERVICE/PATH" (KDE's), "SERVICE@/PATH" (GNOME Shell's AppIndicator
// extension) or as a bare service name (the path is then the protocol's default).
CItemAddress AddressOf(const QString& strEntry) {
    const qsizetype nSlash = strEntry.indexOf(QLatin1Char('/'));
    if (nSlash < 0)
        return {strEntry, QStringLiteral("/StatusNotifierItem")};
    const bool bAt = nSlash > 0 && strEntry.at(nSlash - 1) == QLatin1Char('@');
    return {strEntry.left(bAt ? nSlash - 1 : nSlash), strEntry.mid(nSlash)};
}

QStringList RegisteredItems() {
    QDBusMessage get = QDBusMessage::createMethodCall(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                                      QStringLiteral("/StatusNotifierWatcher"),
                                                      kPropsInterface, QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierWatcher") << QStringLiteral("RegisteredStatusNotifierItems");
    const QDBusMessage reply = Call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
}

QVariantMap PropsOf(const CItemAddress& item) {
    QDBusMessage getAll = QDBusMessage::createMethodCall(item.strService, item.strPath, kPropsInterface,
                                                         QStringLiteral("GetAll"));
    getAll << kItemInterface;
    const QDBusMessage reply = Call(getAll);
    QVariantMap props;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        reply.arguments().constFirst().value<QDBusArgument>() >> props;
    return props;
}

// The program's item: the one whose Id is KIVODialer (a desktop lists items of its own as well).
bool FindProgramItem(CItemAddress& item, QVariantMap& props) {
    for (const QString& strEntry : RegisteredItems()) {
        item = AddressOf(strEntry);
        props = PropsOf(item);
        if (props.value(QStringLiteral("Id")).toString() == QLatin1String("KIVODialer"))
            return true;
    }
    return false;
}

int PrintMenu(const CItemAddress& item, const QVariantMap& props) {
    const QString strMenu = MenuPathOf(props);
    if (strMenu.isEmpty() || strMenu == QLatin1String("/"))
        return 1;
    QDBusMessage aboutToShow = QDBusMessage::createMethodCall(item.strService, strMenu, kMenuInterface,
                                                              QStringLiteral("AboutToShow"));
    aboutToShow << 0;
    Call(aboutToShow);
    QDBusMessage getLayout =
        QDBusMessage::createMethodCall(item.strService, strMenu, kMenuInterface, QStringLiteral("GetLayout"));
    getLayout << 0 << 1 << QStringList();
    const QDBusMessage reply = Call(getLayout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return 1;
    for (const CSniMenuItem& entry : ReadMenuLayout(reply.arguments().at(1).value<QDBusArgument>()))
        if (entry.bVisible && !entry.bSeparator)
            Print(QStringLiteral("menu %1").arg(entry.strLabel));
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    RegisterSniTypes();
    const QString strCommand = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fputs("kivo-sni-probe: no session bus\n", stderr);
        return 1;
    }
    if (strCommand == QLatin1String("items")) {
        for (const QString& strEntry : RegisteredItems()) {
            const CItemAddress item = AddressOf(strEntry);
            Print(QStringLiteral("item %1 %2 %3")
                      .arg(item.strService, item.strPath,
                           PropsOf(item).value(QStringLiteral("Id")).toString()));
        }
        return 0;
    }
    CItemAddress item;
    QVariantMap props;
    if (strCommand == QLatin1String("props") || strCommand == QLatin1String("menu")) {
        if (!FindProgramItem(item, props))
            return 1;
        if (strCommand == QLatin1String("menu"))
            return PrintMenu(item, props);
        for (const QString& strLine : PropLines(props))
            Print(strLine);
        return 0;
    }
    std::fputs("usage: kivo-sni-probe items|props|menu\n", stderr);
    return 2;
}
