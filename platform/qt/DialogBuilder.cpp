#include "platform/qt/DialogBuilder.h"

#include "platform/IMessageBox.h"
#include "platform/qt/ListHeader.h"
#include "resources/DialogTemplates.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kIconSize = 32; // SM_CXICON

QString Caption(const CDialogControl& ctl) {
    return QString::fromStdU16String(std::u16string(ctl.strCaption));
}

bool TakesFocus(EControlKind eKind) {
    switch (eKind) {
    case EControlKind::Edit:
    case EControlKind::ComboDropDown:
    case EControlKind::ComboDropList:
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
    case EControlKind::ListView:
        return true;
    default:
        return false;
    }
}

QComboBox* CreateCombo(QDialog& dlg, const CDialogControl& ctl, const CDialogUnits& units, bool bEditable) {
    auto* pCombo = new QComboBox(&dlg);
    pCombo->setEditable(bEditable);
    // The list holds what the dialog puts in it, never what Enter leaves in the edit field.
    pCombo->setInsertPolicy(QComboBox::NoInsert);
    // An editable Qt combo box completes inline, and while its text is selected (as it is when the
    // dialog opens prefilled) Enter only accepts that completion: the default button would need a
    // second Enter. The Windows combo box completes nothing, and Enter presses the default button.
    if (bEditable)
        pCombo->setCompleter(nullptr);
    // The template's height is that of the open drop-down list; the closed box is one line high.
    const int nEditHeight = pCombo->sizeHint().height();
    pCombo->setGeometry(units.X(ctl.x), units.Y(ctl.y), units.X(ctl.cx), nEditHeight);
    const int nItemHeight = std::max(1, QFontMetrics(dlg.font()).height());
    pCombo->setMaxVisibleItems(std::max(1, (units.Y(ctl.cy) - nEditHeight) / nItemHeight));
    return pCombo;
}

QTableWidget* CreateListView(QDialog& dlg, const CDialogControl& ctl) {
    auto* pList = new QTableWidget(&dlg);
    pList->setHorizontalHeader(new CListHeader(pList));
    pList->verticalHeader()->hide();
    pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pList->setSortingEnabled(false);
    pList->setWordWrap(false);
    pList->setSelectionMode((ctl.nStyle & kCtlSingleSel) ? QAbstractItemView::SingleSelection
                                                         : QAbstractItemView::ExtendedSelection);
    pList->horizontalHeader()->setSectionsClickable(!(ctl.nStyle & kCtlNoSortHeader));
    pList->horizontalHeader()->setHighlightSections(false);
    pList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pList->setFrameShape((ctl.nStyle & kCtlBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
    // A report row is one line of the list's font, as the list view draws it.
    pList->verticalHeader()->setMinimumSectionSize(1);
    pList->verticalHeader()->setDefaultSectionSize(QFontMetrics(dlg.font()).height() + 3);
    return pList;
}

QWidget* CreateControl(QDialog& dlg, const CDialogControl& ctl, const CDialogUnits& units) {
    const QRect rc = units.Map(ctl.x, ctl.y, ctl.cx, ctl.cy);
    switch (ctl.eKind) {
    case EControlKind::Static: {
        auto* pLabel = new QLabel(&dlg);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setText(Caption(ctl));
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        pLabel->setGeometry(rc);
        return pLabel;
    }
    case EControlKind::Icon: {
        auto* pLabel = new QLabel(&dlg);
        pLabel->setPixmap(IconPixmap(ctl.nImage, kIconSize));
        pLabel->setGeometry(rc.x(), rc.y(), kIconSize, kIconSize);
        return pLabel;
    }
    case EControlKind::EtchedHorz: {
        auto* pFrame = new QFrame(&dlg);
        pFrame->setFrameShape(QFrame::HLine);
        pFrame->setFrameShadow(QFrame::Sunken);
        pFrame->setGeometry(rc.x(), rc.y(), rc.width(), 2);
        return pFrame;
    }
    case EControlKind::GroupBox: {
        auto* pGroup = new QGroupBox(Caption(ctl), &dlg);
        // Controls created after it draw over it, as the template's order has them.
        pGroup->setGeometry(rc);
        return pGroup;
    }
    case EControlKind::Edit: {
        auto* pEdit = new QLineEdit(&dlg);
        if (ctl.nStyle & kCtlPassword)
            pEdit->setEchoMode(QLineEdit::Password);
        pEdit->setFrame(ctl.nStyle & kCtlBorder);
        pEdit->setGeometry(rc);
        return pEdit;
    }
    case EControlKind::ComboDropDown:
        return CreateCombo(dlg, ctl, units, true);
    case EControlKind::ComboDropList:
        return CreateCombo(dlg, ctl, units, false);
    case EControlKind::PushButton:
    case EControlKind::DefPushButton: {
        auto* pButton = new QPushButton(Caption(ctl), &dlg);
        pButton->setDefault(ctl.eKind == EControlKind::DefPushButton);
        pButton->setGeometry(rc);
        if (ctl.nId == IDOK)
            QObject::connect(pButton, &QPushButton::clicked, &dlg, &QDialog::accept);
        else if (ctl.nId == IDCANCEL)
            QObject::connect(pButton, &QPushButton::clicked, &dlg, &QDialog::reject);
        return pButton;
    }
    case EControlKind::ListView: {
        QTableWidget* pList = CreateListView(dlg, ctl);
        pList->setGeometry(rc);
        return pList;
    }
    }
    return nullptr;
}

Qt::WindowFlags DialogFlags(unsigned nStyle) {
    Qt::WindowFlags flags = (nStyle & kDlgAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (nStyle & kDlgCaption)
        flags |= Qt::WindowTitleHint;
    if (nStyle & kDlgSysMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

} // namespace

QString IconPath(int nResource) {
    return QStringLiteral(":/icons/kivodialer-%1.svg").arg(nResource);
}

const QIcon& ResourceIcon(int nResource) {
    static QHash<int, QIcon> icons;
    auto it = icons.find(nResource);
    if (it == icons.end())
        it = icons.insert(nResource, QIcon(IconPath(nResource)));
    return *it;
}

QPixmap IconPixmap(int nResource, int nSize) {
    return ResourceIcon(nResource).pixmap(nSize, nSize);
}

CDialogUnits BuildDialog(QDialog& dlg, const CDialogTemplate& tpl) {
    dlg.setWindowFlags(DialogFlags(tpl.nStyle));
    dlg.setWindowTitle(QString::fromStdU16String(std::u16string(tpl.strCaption)));
    const QFont font = DialogFont(tpl);
    dlg.setFont(font);
    const CDialogUnits units = CDialogUnits::ForTemplate(tpl, font);

    std::vector<QWidget*> widgets;
    for (const CDialogControl& ctl : tpl.controls) {
        QWidget* pWidget = CreateControl(dlg, ctl, units);
        pWidget->setObjectName(ControlName(ctl.nId));
        if (TakesFocus(ctl.eKind))
            pWidget->setFocusPolicy((ctl.nStyle & kCtlTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
        else
            pWidget->setFocusPolicy(Qt::NoFocus);
        widgets.push_back(pWidget);
    }

    QWidget* pFirstTab = nullptr;
    QWidget* pPrevTab = nullptr;
    for (size_t i = 0; i < widgets.size(); ++i) {
        const CDialogControl& ctl = tpl.controls[i];
        if (TakesFocus(ctl.eKind) && (ctl.nStyle & kCtlTabStop)) {
            if (pPrevTab)
                QWidget::setTabOrder(pPrevTab, widgets[i]);
            else
                pFirstTab = widgets[i];
            pPrevTab = widgets[i];
        }
        // A label's mnemonic moves the focus to the next control that can take it.
        if (ctl.eKind == EControlKind::Static && !(ctl.nStyle & kCtlNoPrefix) &&
            ctl.strCaption.find(u'&') != std::u16string_view::npos) {
            auto* pLabel = static_cast<QLabel*>(widgets[i]);
            for (size_t j = i + 1; j < widgets.size(); ++j) {
                if (TakesFocus(tpl.controls[j].eKind)) {
                    pLabel->setBuddy(widgets[j]);
                    break;
                }
            }
        }
    }

    // The dialog opens with the focus on its first tab stop, as the dialog manager sets it.
    if (pFirstTab)
        pFirstTab->setFocus(Qt::TabFocusReason);

    const QSize client(units.X(tpl.cx), units.Y(tpl.cy));
    if (tpl.nStyle & kDlgThickFrame)
        dlg.resize(client);
    else
        dlg.setFixedSize(client);
    if (tpl.nStyle & kDlgCenter) {
        if (const QScreen* pScreen = QGuiApplication::primaryScreen()) {
            const QRect work = pScreen->availableGeometry();
            dlg.move(work.x() + (work.width() - client.width()) / 2,
                     work.y() + (work.height() - client.height()) / 2);
        }
    }
    return units;
}
