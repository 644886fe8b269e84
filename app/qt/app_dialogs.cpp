#include "app/qt/app_dialogs.h"

#include <QCheckBox>
#include <QLabel>

#include "app/qt/dialog_builder.h"
#include "platform/media_graph.h"
#include "resources/small_dialogs.h"
#include "resources/strings.h"
#include "state/app_state.h"

namespace {
// The box shows bit 0 of the working value: what a click flips.
void ShowBit0(QCheckBox* pBox, int32_t nValue) {
    pBox->setChecked((nValue & 1) != 0);
}
}  // namespace

CPlaySettingsDlg::CPlaySettingsDlg(QWidget* pParent) : QDialog(pParent) {
    const auto controls = CDialogBuilder::Build(res::PlaySettingsTemplate(), *this);
    m_btnVgaMode = qobject_cast<QCheckBox*>(controls.at(res::kIdVgaMode));
    m_btnRepeat = qobject_cast<QCheckBox*>(controls.at(res::kIdRepeat));
    OnInitDialog();
    connect(m_btnRepeat, &QCheckBox::clicked, this, [this] {
        m_bRepeat ^= 1;
        ShowBit0(m_btnRepeat, m_bRepeat);
    });
    connect(m_btnVgaMode, &QCheckBox::clicked, this, [this] {
        m_bVgaMode ^= 1;
        ShowBit0(m_btnVgaMode, m_bVgaMode);
    });
}

bool CPlaySettingsDlg::OnInitDialog() {
    m_bRepeat = AppState.bRepeatPlay;
    m_bVgaMode = AppState.bVgaFullScreen;
    ShowBit0(m_btnRepeat, m_bRepeat);
    ShowBit0(m_btnVgaMode, m_bVgaMode);
    return true;
}

QString CQtAppDialogs::TitleLine() {
    return QString::fromUtf8(str::kAboutTitle) + QStringLiteral(QUOVEL_VERSION);
}

QString CQtAppDialogs::VersionLine() {
    // The distribution's suffix ("-0+deb12u1") would not fit the line.
    const QString strFFmpeg =
        QString::fromStdString(platform::MediaLibraryVersion()).section('-', 0, 0);
    return QStringLiteral("FFmpeg %1  Qt %2").arg(strFFmpeg, QString::fromUtf8(qVersion()));
}

void CQtAppDialogs::ShowAbout() {
    QDialog dialog(m_pParent);
    const auto controls = CDialogBuilder::Build(res::AboutTemplate(), dialog);
    qobject_cast<QLabel*>(controls.at(res::kIdAboutTitle))->setText(TitleLine());
    qobject_cast<QLabel*>(controls.at(res::kIdAboutVersion))->setText(VersionLine());
    dialog.exec();
}

bool CQtAppDialogs::EditPlaySettings(int32_t& bRepeat, int32_t& bVgaMode) {
    CPlaySettingsDlg dialog(m_pParent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    bRepeat = dialog.m_bRepeat;
    bVgaMode = dialog.m_bVgaMode;
    return true;
}
