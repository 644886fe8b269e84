#pragma once
// The modeless effect settings dialog as the colour commands see it. AppState.pEffectDlg
// points to the dialog while its window exists; whoever closes it leaves the pointer null.
namespace effects {

class IEffectDialogHost {
  public:
    virtual ~IEffectDialogHost() = default;
    // Creates the dialog (its window shows itself), points AppState.pEffectDlg at it and
    // sets its kind: 0 RGB, 1 YUV, 2 HSV, 3 mosaic, 4 paint, 5 strobe.
    virtual void OpenEffectDialog(int nKind) = 0;
    // Releases the dialog AppState.pEffectDlg points to, which destroys its window; the
    // pointer becomes null.
    virtual void CloseEffectDialog() = 0;
    // Whether the dialog's window exists (between the two calls above, or until the user
    // closes it).
    virtual bool EffectDialogOpen() const = 0;
};

}  // namespace effects
