// Dialog units to pixels, from the dialog font's metrics, as Windows lays out its dialog templates.
#pragma once

#include <QFont>
#include <QRect>

struct CDialogTemplate;

// The font that stands in for a template's face: Japanese faces of the system's home platform
// ("MS UI Gothic", and "MS Shell Dlg", which maps to it on a Japanese system) become a CJK font.
QFont DialogFont(const CDialogTemplate& tpl);

class CDialogUnits {
public:
    // Base units from the font: horizontally the average width of "A".."Z", "a".."z" rounded as
    // Windows rounds it, vertically the font's height.
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(double dBaseX, int nBaseY) : m_dBaseX(dBaseX), m_nBaseY(nBaseY) {}

    // Units for a template: the font's, with the horizontal unit widened until every caption of the
    // template fits its control. The stand-in font draws kana full width where the home platform's
    // font draws them narrower, so its labels would otherwise be cut.
    static CDialogUnits ForTemplate(const CDialogTemplate& tpl, const QFont& font);

    int X(int nUnits) const; // x * baseX / 4, rounded
    int Y(int nUnits) const; // y * baseY / 8, rounded
    QRect Map(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }

    double BaseX() const { return m_dBaseX; }
    int BaseY() const { return m_nBaseY; }

private:
    double m_dBaseX;
    int m_nBaseY;
};

// A caption without its mnemonic marks: "&&" is one "&", a single "&" vanishes.
QString StripMnemonic(const QString& strCaption);
