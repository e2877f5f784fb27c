// Larger art decoded in the background: decoded once whoever asks first, and
// the pixels made ahead for the display's size are those the picture would
// make itself, so a frame cannot tell which road they came by.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "present/picture.h"

namespace tenfold {
namespace {

// A 2x picture of 8 x 6 with a pattern in every channel, its corner keyed
// magenta when asked.
Surface Art(bool keyedCorner) {
    Surface s(16, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) s.SetPixel(x, y, Rgb565(x * 15, y * 20, (x + y) * 8));
    if (keyedCorner) s.SetPixel(0, 0, Rgb565(255, 0, 255));
    return s;
}

TEST(LaterArt, DecodedOnceAndMadeAheadAsThePictureMakesIt) {
    for (const bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "opaque");
        Surface oneX(8, 6);
        if (keyed) oneX.SetColorKey(Rgb565(255, 0, 255));

        // The picture that makes its pixels itself, at 1.5 (12 x 9).
        Picture direct(Surface::Copy(oneX, true));
        direct.SetLarger(2, Art(keyed));

        std::atomic<int> decodes = 0;
        Picture ahead(Surface::Copy(oneX, true));
        ahead.SetLargerLater(2, 16, 12, [&] {
            ++decodes;
            return Art(keyed);
        });
        ahead.WaitingArt()->AlsoScaleTo(12, 9, oneX.HasColorKey(), oneX.ColorKey());
        std::thread background([art = ahead.WaitingArt()] { art->Decode(); });
        const Surface& shown = ahead.At(1.5);  // may come first, or wait for the thread
        background.join();

        EXPECT_EQ(decodes, 1);
        ASSERT_EQ(shown.Width(), 12);
        EXPECT_EQ(shown.Pixels(), direct.At(1.5).Pixels());
        EXPECT_EQ(shown.HasColorKey(), direct.At(1.5).HasColorKey());
        // Forgotten (a display lost and found again) and made anew.
        ahead.Forget();
        EXPECT_EQ(ahead.At(1.5).Pixels(), direct.At(1.5).Pixels());
        EXPECT_EQ(ahead.At(2).Pixels(), Art(keyed).Pixels()) << "the art itself stays for its own size";
        EXPECT_EQ(decodes, 1);
    }
}

TEST(LaterArt, PixelsMadeForAnotherSizeOrKeyAreNotUsedAndAFailureComesAtUse) {
    Surface oneX(8, 6);
    Picture resized(Surface::Copy(oneX, true));
    resized.SetLargerLater(2, 16, 12, [] { return Art(false); });
    resized.WaitingArt()->AlsoScaleTo(12, 9, false, 0);  // the window has changed size since
    resized.WaitingArt()->Decode();
    Picture direct(Surface::Copy(oneX, true));
    direct.SetLarger(2, Art(false));
    EXPECT_EQ(resized.At(1.25).Pixels(), direct.At(1.25).Pixels());

    Picture broken(Surface::Copy(oneX, true));
    broken.SetLargerLater(2, 16, 12, []() -> Surface { throw std::runtime_error("damaged"); });
    broken.WaitingArt()->Decode();  // the background thread raises nothing
    EXPECT_THROW(broken.At(1.5), std::runtime_error);
}

}  // namespace
}  // namespace tenfold
