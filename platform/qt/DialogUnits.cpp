#include "platform/qt/DialogUnits.h"

#include "resources/DialogCaptions.h"
#include "resources/DialogTemplates.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>

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
    m_dBaseX =
        DialogBaseUnitX(fm.horizontalAdvance(QString::fromStdU16String(std::u16string(kBaseUnitLetters))));
    m_nBaseY = fm.height();
}

CDialogUnits CDialogUnits::ForTemplate(const CDialogTemplate& tpl, const QFont& font) {
    CDialogUnits units(font);
    const QFontMetrics fm(font);
    double dBaseX = units.m_dBaseX;
    for (const CDialogControl& ctl : tpl.controls) {
        if (!HasFixedCaption(ctl))
            continue;
        const QString strText = QString::fromStdU16String(DrawnCaption(ctl));
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
    return QString::fromStdU16String(StripMnemonic(strCaption.toStdU16String()));
}
