// The compressor-choice dialog, driven while it runs modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>
#include <functional>

#include "convert/qt/compressor_dialog.h"
#include "resources/compressor_dialog.h"

namespace {

using namespace res::compressor_ids;

// Runs fnAct on the dialog once it is up.
void WhenShown(std::function<void(QDialog&)> fnAct) {
    QTimer::singleShot(0, [fnAct] {
        for (QWidget* pWidget : QApplication::topLevelWidgets()) {
            if (auto* pDialog = qobject_cast<QDialog*>(pWidget); pDialog && pDialog->isVisible()) {
                fnAct(*pDialog);
                return;
            }
        }
    });
}

template <class T>
T* Child(QDialog& dialog, int nId) {
    return dialog.findChild<T*>(QString::number(nId));
}

TEST(CompressorDialog, ReturnsTheChoiceOrNothing) {
    CCompressorDialog chooser;
    const dib::BitmapInfoHeader input = dib::MakeHeader24(320, 240);
    platform::CompressorChoice initial;

    WhenShown([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ビデオの圧縮"));
        auto* pList = Child<QComboBox>(dialog, kCompressor);
        EXPECT_EQ(pList->currentIndex(), 0) << "uncompressed first, as the initial choice";
        EXPECT_FALSE(Child<QSlider>(dialog, kQuality)->isEnabled()) << "no quality for DIB";
        pList->setCurrentIndex(pList->findText(QStringLiteral("MPEG-4 Part 2")));
        EXPECT_TRUE(Child<QSlider>(dialog, kQuality)->isEnabled());
        Child<QSlider>(dialog, kQuality)->setValue(60);
        Child<QCheckBox>(dialog, kKeyFrameCheck)->setChecked(true);
        Child<QLineEdit>(dialog, kKeyFrameEdit)->setText("25");
        dialog.accept();
    });
    const auto choice = chooser.Choose(input, initial);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(platform::FourCCText(choice->nFourCC), "FMP4");
    EXPECT_EQ(choice->nQuality, 60);
    EXPECT_EQ(choice->nKeyFrameEvery, 25);
    EXPECT_EQ(choice->nDataRateKBps, 0);

    WhenShown([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(chooser.Choose(input, initial).has_value());
}

}  // namespace
