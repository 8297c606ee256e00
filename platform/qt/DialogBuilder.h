// Creates a dialog's controls from its template, in tab order, each Qt widget named after its control id
// so that code and tests find it with GetDlgItem / findChild.
#pragma once

#include "platform/qt/DialogUnits.h"

#include <QDialog>
#include <QIcon>
#include <QString>

struct CDialogTemplate;

// Sets the dialog's caption, font, flags and size, creates its controls and connects the buttons with
// ids IDOK and IDCANCEL to accept() and reject(). Returns the units the layout used.
CDialogUnits BuildDialog(QDialog& dlg, const CDialogTemplate& tpl);

inline QString ControlName(int nId) {
    return QString::number(nId);
}

// The control with this id (the first one for a shared id), or null.
template <class T> T* GetDlgItem(const QWidget& dlg, int nId) {
    return dlg.findChild<T*>(ControlName(nId), Qt::FindDirectChildrenOnly);
}

// An icon resource (128, 135), read once and shared by every window and the tray: each new QIcon of
// the file would parse the SVG again and keep a pixmap cache of its own.
const QIcon& ResourceIcon(int nResource);
// The image of an icon resource (128, 135) at the given size.
QPixmap IconPixmap(int nResource, int nSize);
// The path of an icon resource in the program's resources.
QString IconPath(int nResource);
