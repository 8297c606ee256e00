#include "platform/qt/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

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

    QMessageBox box(IconOf(nType), ToQString(caption), ToQString(text));
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
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    if (box.clickedButton() == pYes && pYes)
        return IDYES;
    if (box.clickedButton() == pNo && pNo)
        return IDNO;
    return IDOK;
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
