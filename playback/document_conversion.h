#pragma once
// The conversion commands' work as the document sees it. The run itself (destination,
// settings, compressor, writer) lives with the conversion; the document only hands it the
// convert and settings commands, each tick after the fetch, and the end of playback.
class CFrameGrabber;

class IDocumentConversion {
  public:
    virtual ~IDocumentConversion() = default;
    // The convert command: asks for everything and starts, or leaves nothing behind.
    virtual void Start() = 0;
    // One tick after the fetch; false when the conversion ended on it.
    virtual bool Tick(CFrameGrabber& grabber, bool bNewFrame) = 0;
    // Closes a running conversion's output complete; false, having said so, when it could
    // not be or a frame could not be written.
    virtual bool End() = 0;
    // The conversion-settings command.
    virtual void EditSettings() = 0;
};
