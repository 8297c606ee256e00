// Runs a dialog the way a modal dialog's nested message loop runs on Windows, where only the dialog's
// owner is disabled: the dialog is shown without modality and waited for in a local event loop, so that
// the tray icon, its menus and the modeless windows go on working while it is open. (QDialog::exec()
// with application modality would block every other window of the program.)
#pragma once

class QDialog;

// Shows dlg and returns its result once it has finished (QDialog::Rejected when it was destroyed
// meanwhile). The program's end (QCoreApplication::quit) ends the wait too.
int RunDialogLoop(QDialog& dlg);
