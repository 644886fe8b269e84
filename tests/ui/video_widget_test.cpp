// The picture as the video widget paints it.
#include <gtest/gtest.h>

#include <QImage>

#include "app/qt/main_frame.h"
#include "platform/dib.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "support/main_window_fixture.h"
#include "view/qt/video_widget.h"
#include "view/quovel_view.h"

namespace {

using uitest::MainWindowTest;

// Fitted into a window smaller than the picture, each shown pixel is the picture's pixel
// nearest the centre of the area it stands for: no blur, no shift, whatever the ratio.
TEST_F(MainWindowTest, AFittedPictureShowsTheNearestPixelOfEachArea) {
    ASSERT_TRUE(app.Router().Execute(cmd::kZoomFit));
    CVideoWidget* pVideo = pFrame->VideoWidget();
    for (const QSize& view : {QSize(160, 120), QSize(211, 97)}) {
        const QSize client = pVideo->ClientSizeWithoutScrollBars();
        pFrame->resize(pFrame->width() - client.width() + view.width(),
                       pFrame->height() - client.height() + view.height());
        app.View().OnTimer(1);
        const QImage shown =
            pVideo->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), view);
        const uint8_t* pBlock = app.Doc().pFrameImage.get();  // shown as it is
        const int w = 320;
        const int h = 240;
        int nWrong = 0;
        for (int y = 0; y < view.height(); ++y) {
            for (int x = 0; x < view.width(); ++x) {
                const int sx = (2 * x + 1) * w / (2 * view.width());
                const int sy = (2 * y + 1) * h / (2 * view.height());
                const uint8_t* p = pBlock + dib::kPixelOffset +
                                   dib::RowBytes24(w) * static_cast<size_t>(h - 1 - sy) + sx * 3;
                nWrong += shown.pixel(x, y) != qRgb(p[2], p[1], p[0]) ? 1 : 0;
            }
        }
        EXPECT_EQ(nWrong, 0) << view.width() << "x" << view.height();
    }
}

}  // namespace
