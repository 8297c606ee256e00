#include "platform/qt/DialogUnits.h"

#include "resources/DialogTemplates.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>

namespace {

// Room a caption needs beside its text inside its control, in pixels: a group box draws its title
// inset from the frame, a push button pads its text on both sides.
int CaptionPadding(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::GroupBox:
        return 16;
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
        return 12;
    default:
        return 0;
    }
}

bool HasFixedCaption(const CDialogControl& ctl) {
    switch (ctl.eKind) {
    case EControlKind::Static:
    case EControlKind::GroupBox:
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
        return !ctl.strCaption.empty() && ctl.cx > 0;
    default:
        return false;
    }
}

} // namespace

QFont DialogFont(const CDialogTemplate& tpl) {
    const QString strFace = QString::fromStdU16String(std::u16string(tpl.strFontFace));
    QString strFamily = strFace;
    if (strFace == u"MS UI Gothic" || strFace == u"MS Shell Dlg" || strFace == u"MS Shell Dlg 2")
        strFamily = QStringLiteral("Noto Sans CJK JP");
    QFont font(strFamily, tpl.nPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    const int cx =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_dBaseX = (cx / 26 + 1) / 2;
    m_nBaseY = fm.height();
}

CDialogUnits CDialogUnits::ForTemplate(const CDialogTemplate& tpl, const QFont& font) {
    CDialogUnits units(font);
    const QFontMetrics fm(font);
    double dBaseX = units.m_dBaseX;
    for (const CDialogControl& ctl : tpl.controls) {
        if (!HasFixedCaption(ctl))
            continue;
        QString strText = QString::fromStdU16String(std::u16string(ctl.strCaption));
        if (!(ctl.nStyle & kCtlNoPrefix))
            strText = StripMnemonic(strText);
        const int nNeed = fm.horizontalAdvance(strText) + CaptionPadding(ctl.eKind);
        dBaseX = std::max(dBaseX, nNeed * 4.0 / ctl.cx);
    }
    units.m_dBaseX = dBaseX;
    return units;
}

int CDialogUnits::X(int nUnits) const {
    return static_cast<int>(std::lround(nUnits * m_dBaseX / 4.0));
}

int CDialogUnits::Y(int nUnits) const {
    return static_cast<int>(std::lround(nUnits * m_nBaseY / 8.0));
}

QString StripMnemonic(const QString& strCaption) {
    QString out;
    out.reserve(strCaption.size());
    for (qsizetype i = 0; i < strCaption.size(); ++i) {
        if (strCaption[i] == u'&') {
            if (i + 1 < strCaption.size() && strCaption[i + 1] == u'&')
                out += u'&', ++i;
            continue;
        }
        out += strCaption[i];
    }
    return out;
}
