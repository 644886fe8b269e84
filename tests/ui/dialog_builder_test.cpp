// Dialogs laid out from their templates in dialog units.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include "app/qt/dialog_builder.h"
#include "resources/compressor_dialog.h"
#include "resources/convert_dialog.h"
#include "resources/effect_dialog.h"
#include "resources/small_dialogs.h"

namespace {

TEST(DialogBuilder, LaysOutInDialogUnitsOfTheDialogFont) {
    const res::ControlTemplate controls[] = {
        {res::ControlKind::Static, -1, "ラベル", 7, 7, 40, 8},
        {res::ControlKind::Edit, 1000, "", 50, 6, 60, 12},
        {res::ControlKind::DefPushButton, res::kIdOk, "OK", 120, 6, 50, 14},
        {res::ControlKind::PushButton, res::kIdCancel, "ｷｬﾝｾﾙ", 120, 24, 50, 14},
    };
    const res::DialogTemplate templ{100, "テスト", 180, 50, res::kDialogFont, 9, controls};
    QDialog dialog;
    const auto widgets = CDialogBuilder::Build(templ, dialog);
    const auto units = CDialogBuilder::UnitsOf(dialog.font());
    ASSERT_GT(units.nAverageWidth, 0);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("テスト"));
    EXPECT_EQ(dialog.width(), (180 * units.nAverageWidth + 2) / 4);
    ASSERT_EQ(widgets.size(), 3u);
    EXPECT_EQ(widgets.at(1000)->geometry(), CDialogBuilder::ToPixels(units, 50, 6, 60, 12));
    EXPECT_TRUE(qobject_cast<QPushButton*>(widgets.at(res::kIdOk))->isDefault());
    qobject_cast<QPushButton*>(widgets.at(res::kIdCancel))->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(CDialogBuilder::ToPixels({6, 16}, 4, 8, 10, 3), QRect(6, 16, 15, 6));
}

// Every dialog built from a template: a dialog's title bar (close only), its template size,
// and each label's mnemonic underlined and leading to the control after it.
TEST(DialogBuilder, EveryTemplateHasADialogTitleBarAndWorkingMnemonics) {
    int nMnemonics = 0;
    for (const res::DialogTemplate* pTemplate :
         {&res::AboutTemplate(), &res::PlaySettingsTemplate(), &res::EffectDialogTemplate(),
          &res::ConvertSettingsTemplate(), &res::CompressorDialogTemplate()}) {
        QDialog dialog;
        CDialogBuilder::Build(*pTemplate, dialog);
        const Qt::WindowFlags flags = dialog.windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint)) << pTemplate->nId;
        // Without it the window manager decorates the dialog as it likes, min and max included.
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << pTemplate->nId;
        EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint)) << pTemplate->nId;
        EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << pTemplate->nId;
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed at the template size";
        for (QLabel* pLabel : dialog.findChildren<QLabel*>()) {
            if (QKeySequence::mnemonic(pLabel->text()).isEmpty()) {
                continue;
            }
            ++nMnemonics;
            ASSERT_NE(pLabel->buddy(), nullptr) << pLabel->text().toStdString();
            EXPECT_EQ(qobject_cast<QLabel*>(pLabel->buddy()), nullptr);
        }
    }
    EXPECT_GE(nMnemonics, 2) << "the compressor dialog's two labels at least";
    QDialog compressor;
    const auto controls = CDialogBuilder::Build(res::CompressorDialogTemplate(), compressor);
    for (QLabel* pLabel : compressor.findChildren<QLabel*>()) {
        if (pLabel->text() == QStringLiteral("圧縮プログラム(&C):")) {
            EXPECT_NE(qobject_cast<QComboBox*>(pLabel->buddy()), nullptr);
        }
    }
}

}  // namespace
