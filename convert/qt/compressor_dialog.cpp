#include "convert/qt/compressor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "app/qt/dialog_builder.h"
#include "resources/compressor_dialog.h"

std::optional<platform::CompressorChoice> CCompressorDialog::Choose(
    const dib::BitmapInfoHeader& input, const platform::CompressorChoice& initial) {
    using namespace res::compressor_ids;
    const std::vector<platform::CompressorInfo> offered =
        platform::ListCompressors(input.biWidth, input.biHeight);

    QDialog dialog(m_pParent);
    const auto controls = CDialogBuilder::Build(res::CompressorDialogTemplate(), dialog);
    auto* pList = qobject_cast<QComboBox*>(controls.at(kCompressor));
    auto* pQuality = qobject_cast<QSlider*>(controls.at(kQuality));
    auto* pQualityLabel = qobject_cast<QLabel*>(controls.at(kQualityLabel));
    auto* pQualityValue = qobject_cast<QLabel*>(controls.at(kQualityValue));
    auto* pKeyCheck = qobject_cast<QCheckBox*>(controls.at(kKeyFrameCheck));
    auto* pKeyEdit = qobject_cast<QLineEdit*>(controls.at(kKeyFrameEdit));
    auto* pRateCheck = qobject_cast<QCheckBox*>(controls.at(kDataRateCheck));
    auto* pRateEdit = qobject_cast<QLineEdit*>(controls.at(kDataRateEdit));

    for (const platform::CompressorInfo& info : offered) {
        pList->addItem(QString::fromStdString(info.strName));
        if (info.nFourCC == initial.nFourCC) {
            pList->setCurrentIndex(pList->count() - 1);
        }
    }
    pQuality->setRange(0, 100);
    pQuality->setTickInterval(10);
    pQuality->setValue(initial.nQuality >= 0 ? initial.nQuality : 75);
    pKeyEdit->setValidator(new QIntValidator(1, 9999, pKeyEdit));
    pRateEdit->setValidator(new QIntValidator(1, 999999, pRateEdit));
    if (initial.nKeyFrameEvery > 0) {
        pKeyCheck->setChecked(true);
        pKeyEdit->setText(QString::number(initial.nKeyFrameEvery));
    }
    if (initial.nDataRateKBps > 0) {
        pRateCheck->setChecked(true);
        pRateEdit->setText(QString::number(initial.nDataRateKBps));
    }

    // Only what the chosen compressor understands can be set.
    auto refresh = [&] {
        const int i = pList->currentIndex();
        const bool bValid = i >= 0 && i < static_cast<int>(offered.size());
        const platform::CompressorInfo* p = bValid ? &offered[static_cast<size_t>(i)] : nullptr;
        const bool bQuality = p != nullptr && p->bUsesQuality;
        pQuality->setEnabled(bQuality);
        pQualityLabel->setEnabled(bQuality);
        pQualityValue->setText(bQuality ? QString::number(pQuality->value()) : QString());
        pKeyCheck->setEnabled(p != nullptr && p->bUsesKeyFrames);
        pKeyEdit->setEnabled(pKeyCheck->isEnabled() && pKeyCheck->isChecked());
        pRateCheck->setEnabled(p != nullptr && p->bUsesDataRate);
        pRateEdit->setEnabled(pRateCheck->isEnabled() && pRateCheck->isChecked());
    };
    QObject::connect(pList, &QComboBox::currentIndexChanged, &dialog, refresh);
    QObject::connect(pQuality, &QSlider::valueChanged, &dialog, refresh);
    QObject::connect(pKeyCheck, &QCheckBox::toggled, &dialog, refresh);
    QObject::connect(pRateCheck, &QCheckBox::toggled, &dialog, refresh);
    refresh();

    if (dialog.exec() != QDialog::Accepted || pList->currentIndex() < 0) {
        return std::nullopt;
    }
    const platform::CompressorInfo& chosen = offered[static_cast<size_t>(pList->currentIndex())];
    platform::CompressorChoice choice;
    choice.nFourCC = chosen.nFourCC;
    choice.nQuality = chosen.bUsesQuality ? pQuality->value() : -1;
    choice.nKeyFrameEvery = pKeyEdit->isEnabled() ? pKeyEdit->text().toInt() : 0;
    choice.nDataRateKBps = pRateEdit->isEnabled() ? pRateEdit->text().toInt() : 0;
    return choice;
}
