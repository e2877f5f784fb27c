#include "resources/jpeg_to_bmp.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>
#include <string>

#include "resources/resource_check.h"

namespace tenfold {

namespace {

// An SDL stream that collects what is written into a byte vector, so the
// bitmap can be written with the same exclusive-create rules as every entry.
struct MemorySink {
    std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

MemorySink* SinkOf(SDL_RWops* rw) { return static_cast<MemorySink*>(rw->hidden.unknown.data1); }

Sint64 SinkSize(SDL_RWops* rw) { return static_cast<Sint64>(SinkOf(rw)->bytes->size()); }

Sint64 SinkSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    MemorySink* s = SinkOf(rw);
    Sint64 base = 0;
    if (whence == RW_SEEK_CUR) base = static_cast<Sint64>(s->pos);
    if (whence == RW_SEEK_END) base = static_cast<Sint64>(s->bytes->size());
    const Sint64 target = base + offset;
    if (target < 0) return SDL_SetError("seek before the start of the bitmap");
    s->pos = static_cast<std::size_t>(target);
    return target;
}

size_t SinkRead(SDL_RWops*, void*, size_t, size_t) { return 0; }

size_t SinkWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
    MemorySink* s = SinkOf(rw);
    const std::size_t n = size * count;
    if (s->bytes->size() < s->pos + n) s->bytes->resize(s->pos + n);
    std::memcpy(s->bytes->data() + s->pos, data, n);
    s->pos += n;
    return count;
}

int SinkClose(SDL_RWops* rw) {
    SDL_FreeRW(rw);
    return 0;
}

}  // namespace

Result ConvertJpegToBmp(std::span<const std::uint8_t> jpeg, std::vector<std::uint8_t>& bmp) {
    BAIL_IF_FAILED(CheckJpeg(jpeg));
    SDL_RWops* in = SDL_RWFromConstMem(jpeg.data(), static_cast<int>(jpeg.size()));
    BAIL_IF(in == nullptr, std::string("cannot read the picture: ") + SDL_GetError());
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> picture(IMG_LoadTyped_RW(in, 1, "JPG"),
                                                                     SDL_FreeSurface);
    BAIL_IF(!picture, std::string("cannot decode the JPEG picture: ") + IMG_GetError());
    // Written as 24-bit RGB whatever the decoder produced.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> rgb(
        SDL_ConvertSurfaceFormat(picture.get(), SDL_PIXELFORMAT_BGR24, 0), SDL_FreeSurface);
    BAIL_IF(!rgb, std::string("cannot convert the picture: ") + SDL_GetError());

    bmp.clear();
    MemorySink sink{&bmp, 0};
    SDL_RWops* out = SDL_AllocRW();
    BAIL_IF(out == nullptr, std::string("out of memory: ") + SDL_GetError());
    out->type = SDL_RWOPS_UNKNOWN;
    out->size = SinkSize;
    out->seek = SinkSeek;
    out->read = SinkRead;
    out->write = SinkWrite;
    out->close = SinkClose;
    out->hidden.unknown.data1 = &sink;
    if (SDL_SaveBMP_RW(rgb.get(), out, 1) != 0) {
        bmp.clear();
        return Result::Fail(std::string("cannot encode the bitmap: ") + SDL_GetError());
    }
    return {};
}

}  // namespace tenfold
