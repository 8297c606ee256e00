#include "platform/qt/QtMessageBox.h"

#include "platform/qt/DialogLoop.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

#include <algorithm>

// A box while it is shown, with what it was asked to say.
struct CQtMessageBox::COpenBox {
    QMessageBox* pBox;
    std::u16string strText;
    std::u16string strCaption;
};

std::vector<CQtMessageBox::COpenBox*> CQtMessageBox::s_openBoxes;
std::deque<int> CQtMessageBox::s_answers;
std::u16string CQtMessageBox::s_strLastText;
std::u16string CQtMessageBox::s_strLastCaption;
unsigned CQtMessageBox::s_nLastType = 0;

namespace {

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon IconOf(unsigned nType) {
    switch (nType & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The text broken into lines no wider than nWidth pixels and cut to nMaxLines lines, "…" after the last
// one kept. QMessageBox wraps at word boundaries only, and grows as tall as its text: a long unbroken
// reply, or thousands of lines, would push the box and its buttons off the screen. A line is broken
// after its last space that fits, else at the last character that fits (never inside a surrogate pair).
QString FitText(const QString& strText, const QFontMetrics& metrics, int nWidth, int nMaxLines) {
    QStringList lines;
    const QStringList paragraphs = strText.split(QLatin1Char('\n'));
    for (const QString& strParagraph : paragraphs) {
        QString strRest = strParagraph;
        do {
            // The longest beginning that fits: widths grow with the length.
            qsizetype nLo = 1, nHi = strRest.size();
            while (nLo < nHi) {
                const qsizetype nMid = (nLo + nHi + 1) / 2;
                if (metrics.horizontalAdvance(strRest.left(nMid)) <= nWidth)
                    nLo = nMid;
                else
                    nHi = nMid - 1;
            }
            qsizetype n = nLo;
            if (n < strRest.size()) {
                if (const qsizetype nSpace = strRest.lastIndexOf(QLatin1Char(' '), n - 1); nSpace > 0)
                    n = nSpace + 1;
                else if (strRest.at(n).isLowSurrogate())
                    n = n > 1 ? n - 1 : n + 1;
            }
            lines << strRest.left(n);
            strRest = strRest.mid(n);
        } while (!strRest.isEmpty() && lines.size() <= nMaxLines);
        if (lines.size() > nMaxLines)
            break;
    }
    if (lines.size() > nMaxLines) {
        lines = lines.mid(0, nMaxLines);
        lines.last() += QStringLiteral("…");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

int CQtMessageBox::MessageBox(std::u16string_view text, std::u16string_view caption, unsigned nType) {
    s_strLastText = text;
    s_strLastCaption = caption;
    s_nLastType = nType;
    if (!s_answers.empty()) {
        const int nAnswer = s_answers.front();
        s_answers.pop_front();
        return nAnswer;
    }

    QMessageBox box(IconOf(nType), ToQString(caption), QString());
    // Texts quote what the network sent: never read as markup (no links, no images from local paths).
    box.setTextFormat(Qt::PlainText);
    if (const QScreen* pScreen = QGuiApplication::primaryScreen()) {
        // Room for the icon, the margins and the buttons beside and below the text.
        const QSize room = pScreen->availableGeometry().size();
        const QFontMetrics metrics(box.font());
        const int nWidth = std::max(metrics.averageCharWidth() * 10, std::min(room.width() / 2, 500));
        const int nLines = std::max(1, (room.height() - 200) / std::max(1, metrics.lineSpacing()));
        box.setText(FitText(ToQString(text), metrics, nWidth, nLines));
    } else {
        box.setText(ToQString(text));
    }
    // The buttons a Japanese desktop shows in the system's message boxes.
    QPushButton* pYes = nullptr;
    QPushButton* pNo = nullptr;
    QPushButton* pOk = nullptr;
    if ((nType & MB_TYPEMASK) == MB_YESNO) {
        pYes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        pNo = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(pYes);
        box.setEscapeButton(pNo);
    } else {
        pOk = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(pOk);
        box.setEscapeButton(pOk);
    }
    if (nType & MB_SYSTEMMODAL)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    COpenBox open{&box, std::u16string(text), std::u16string(caption)};
    s_openBoxes.push_back(&open);
    RunDialogLoop(box);
    std::erase(s_openBoxes, &open);

    if (box.clickedButton() == pYes && pYes)
        return IDYES;
    if (box.clickedButton() == pNo && pNo)
        return IDNO;
    return IDOK;
}

bool CQtMessageBox::ActivateOpenBox(std::u16string_view text, std::u16string_view caption) {
    for (COpenBox* pOpen : s_openBoxes) {
        if (pOpen->strText == text && pOpen->strCaption == caption) {
            pOpen->pBox->raise();
            pOpen->pBox->activateWindow();
            return true;
        }
    }
    return false;
}

void CQtMessageBox::SetNextAnswer(int nAnswer) {
    s_answers.push_back(nAnswer);
}
std::u16string CQtMessageBox::LastText() {
    return s_strLastText;
}
std::u16string CQtMessageBox::LastCaption() {
    return s_strLastCaption;
}
unsigned CQtMessageBox::LastType() {
    return s_nLastType;
}
