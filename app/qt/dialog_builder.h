#pragma once
// Turns a dialog template (dialog units) into Qt widgets, with the metrics of the template's
// font: "ＭＳ Ｐゴシック" is IPAPGothic here (its metric twin), else any Japanese sans.
#include <QFont>
#include <QRect>
#include <map>
#include <vector>

#include "resources/dialog_template.h"

class QDialog;
class QWidget;

class CDialogBuilder {
  public:
    // Base units of a font: the average width of the Latin letters and the line height.
    struct BaseUnits {
        int nAverageWidth = 0;
        int nHeight = 0;
    };
    static QFont DialogFont(const char* pszFace, int nPointSize);
    static BaseUnits UnitsOf(const QFont& font);
    // Dialog units to pixels (x by a quarter of the average width, y by an eighth of the height).
    static QRect ToPixels(const BaseUnits& units, int x, int y, int cx, int cy);

    // Lays the template's controls into dialog (caption, font, fixed size, a dialog's
    // title-bar buttons) and returns them by id; OK and Cancel buttons accept and reject the
    // dialog, and a label's mnemonic leads to the control after it.
    static std::map<int, QWidget*> Build(const res::DialogTemplate& templ, QDialog& dialog);
    // A dialog's title bar: caption and close box, no minimise or maximise.
    static void UseDialogTitleBar(QWidget& window);

  private:
    static void GiveLabelsTheirBuddies(const std::vector<QWidget*>& inOrder);
};
