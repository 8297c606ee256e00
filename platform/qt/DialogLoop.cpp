#include "platform/qt/DialogLoop.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

int RunDialogLoop(QDialog& dlg) {
    dlg.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(&dlg, &QObject::destroyed, &loop, &QEventLoop::quit);
    const QPointer<QDialog> pAlive(&dlg);
    dlg.show();
    dlg.raise();
    dlg.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    return pAlive ? pAlive->result() : QDialog::Rejected;
}
