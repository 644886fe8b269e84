#include "app/qt/dialog_builder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <vector>

namespace {

int MulDiv(int a, int b, int c) {
    return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c);
}

}  // namespace

QFont CDialogBuilder::DialogFont(const char* pszFace, int nPointSize) {
    QString strFace = QString::fromUtf8(pszFace);
    if (strFace == QString::fromUtf8(res::kDialogFont) || !QFontDatabase::hasFamily(strFace)) {
        strFace = QStringLiteral("IPAPGothic");
        for (const char* pszCandidate : {"IPAPGothic", "IPAPゴシック", "Noto Sans CJK JP"}) {
            if (QFontDatabase::hasFamily(QString::fromUtf8(pszCandidate))) {
                strFace = QString::fromUtf8(pszCandidate);
                break;
            }
        }
    }
    QFont font(strFace);
    font.setPointSize(nPointSize);
    return font;
}

CDialogBuilder::BaseUnits CDialogBuilder::UnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int nLetters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(nLetters / 26 + 1) / 2, metrics.height()};
}

QRect CDialogBuilder::ToPixels(const BaseUnits& units, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, units.nAverageWidth, 4), MulDiv(y, units.nHeight, 8),
                 MulDiv(cx, units.nAverageWidth, 4), MulDiv(cy, units.nHeight, 8));
}

std::map<int, QWidget*> CDialogBuilder::Build(const res::DialogTemplate& templ, QDialog& dialog) {
    const QFont font = DialogFont(templ.pszFont, templ.nPointSize);
    const BaseUnits units = UnitsOf(font);
    dialog.setFont(font);
    dialog.setWindowTitle(QString::fromUtf8(templ.pszCaption));
    dialog.setFixedSize(ToPixels(units, 0, 0, templ.cx, templ.cy).size());
    UseDialogTitleBar(dialog);

    std::map<int, QWidget*> controls;
    std::vector<QWidget*> inOrder;
    QButtonGroup* pRadioGroup = nullptr;
    for (const res::ControlTemplate& c : templ.controls) {
        const QString strText = QString::fromUtf8(c.pszText);
        QWidget* pWidget = nullptr;
        switch (c.kind) {
            case res::ControlKind::Static: {
                auto* pLabel = new QLabel(strText, &dialog);
                Qt::Alignment align =
                    (c.nStyle & res::kStyleCentered) ? Qt::AlignHCenter : Qt::AlignLeft;
                align |= (c.nStyle & res::kStyleVCenter) || (c.nStyle & res::kStyleSunken)
                             ? Qt::AlignVCenter
                             : Qt::AlignTop;
                pLabel->setAlignment(align);
                if (c.nStyle & res::kStyleSunken) {
                    pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                }
                pWidget = pLabel;
                break;
            }
            case res::ControlKind::Edit:
                pWidget = new QLineEdit(strText, &dialog);
                break;
            case res::ControlKind::PushButton:
            case res::ControlKind::DefPushButton: {
                auto* pButton = new QPushButton(strText, &dialog);
                pButton->setDefault(c.kind == res::ControlKind::DefPushButton);
                pButton->setAutoDefault(false);
                if (c.nId == res::kIdOk) {
                    QObject::connect(pButton, &QPushButton::clicked, &dialog, &QDialog::accept);
                } else if (c.nId == res::kIdCancel) {
                    QObject::connect(pButton, &QPushButton::clicked, &dialog, &QDialog::reject);
                }
                pWidget = pButton;
                break;
            }
            case res::ControlKind::CheckBox:
                pWidget = new QCheckBox(strText, &dialog);
                break;
            case res::ControlKind::RadioButton: {
                auto* pRadio = new QRadioButton(strText, &dialog);
                if (c.bGroup || pRadioGroup == nullptr) {
                    pRadioGroup = new QButtonGroup(&dialog);
                }
                pRadioGroup->addButton(pRadio);
                pWidget = pRadio;
                break;
            }
            case res::ControlKind::GroupBox:
                pWidget = new QGroupBox(strText, &dialog);
                pWidget->lower();  // behind the controls it frames
                break;
            case res::ControlKind::Slider: {
                auto* pSlider = new QSlider(Qt::Horizontal, &dialog);
                if (c.nStyle & res::kStyleTicks) {
                    pSlider->setTickPosition(QSlider::TicksBelow);
                }
                pWidget = pSlider;
                break;
            }
            case res::ControlKind::ComboBox: {
                auto* pCombo = new QComboBox(&dialog);
                pWidget = pCombo;
                break;
            }
            case res::ControlKind::Icon: {
                auto* pLabel = new QLabel(&dialog);
                // The application's icon where it has one.
                const QIcon icon =
                    QApplication::windowIcon().isNull()
                        ? dialog.style()->standardIcon(QStyle::SP_MessageBoxInformation)
                        : QApplication::windowIcon();
                pLabel->setPixmap(icon.pixmap(32));
                pWidget = pLabel;
                break;
            }
        }
        pWidget->setGeometry(ToPixels(units, c.x, c.y, c.cx, c.cy));
        if (c.nId >= 0) {
            pWidget->setObjectName(QString::number(c.nId));
            controls[c.nId] = pWidget;
        }
        inOrder.push_back(pWidget);
    }
    GiveLabelsTheirBuddies(inOrder);
    return controls;
}

void CDialogBuilder::UseDialogTitleBar(QWidget& window) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void CDialogBuilder::GiveLabelsTheirBuddies(const std::vector<QWidget*>& inOrder) {
    // A label's mnemonic moves the focus to the control that follows it in the template;
    // with that buddy the label shows the key underlined instead of a literal "&".
    for (size_t i = 0; i < inOrder.size(); ++i) {
        auto* pLabel = qobject_cast<QLabel*>(inOrder[i]);
        if (pLabel == nullptr || QKeySequence::mnemonic(pLabel->text()).isEmpty()) {
            continue;
        }
        for (size_t k = i + 1; k < inOrder.size(); ++k) {
            if (qobject_cast<QLabel*>(inOrder[k]) == nullptr &&
                qobject_cast<QGroupBox*>(inOrder[k]) == nullptr) {
                pLabel->setBuddy(inOrder[k]);
                break;
            }
        }
    }
}
