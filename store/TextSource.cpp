#include "store/TextSource.h"

#include <algorithm>
#include <cstring>

#include "store/ZeroByte.h"

namespace {

// A window read after the last one is large; one elsewhere (pages moved since
// the load) small, so that a scattered walk does not read the file many times.
constexpr std::size_t SEQUENTIAL_WINDOW = 1024 * 1024;
constexpr std::size_t SCATTERED_WINDOW = 64 * 1024;

}  // namespace

SourceReader::SourceReader(TextSourcePtr source, std::size_t bufferSize)
    : source_(std::move(source)), buffer_(bufferSize > 0 ? bufferSize : 1, '\0') {
    failed_ = !source_;
    size_ = source_ ? source_->size() : 0;
}

// Refills the buffer from the current offset.
bool SourceReader::fill() {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), size_ - pos_));
    if (failed_ || count == 0 || !source_->read(pos_, &buffer_[0], count)) {
        failed_ = true;
        return false;
    }
    bufferAt_ = pos_;
    buffered_ = count;
    return true;
}

bool SourceReader::skip(std::size_t count) {
    if (!canRead(count)) {
        failed_ = true;
        return false;
    }
    pos_ += count;
    return true;
}

bool SourceReader::bytes(void* out, std::size_t count) {
    if (!canRead(count)) {
        failed_ = true;
        return false;
    }
    char* to = static_cast<char*>(out);
    while (count > 0) {
        if (pos_ < bufferAt_ || pos_ >= bufferAt_ + buffered_) {
            if (count >= buffer_.size()) {  // a large run goes straight into its destination
                if (!source_->read(pos_, to, count)) return failed_ = true, false;
                pos_ += count;
                return true;
            }
            if (!fill()) return false;
        }
        const std::size_t at = static_cast<std::size_t>(pos_ - bufferAt_);
        const std::size_t part = std::min(count, buffered_ - at);
        std::memcpy(to, buffer_.data() + at, part);
        to += part;
        pos_ += part;
        count -= part;
    }
    return true;
}

bool SourceReader::i32LE(std::int32_t& value) {
    unsigned char p[4];
    if (!bytes(p, 4)) return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    return true;
}

bool SourceReader::cString(std::string& out, std::size_t count) {
    out.assign(count, '\0');
    if (count > 0 && !bytes(&out[0], count)) {
        out.clear();
        return false;
    }
    out.resize(zeroByteOffset(out.data(), count));
    return true;
}

bool SourceReader::placeOfText(TextPlace& place, std::size_t count) {
    if (!canRead(count) || count > UINT32_MAX) {
        failed_ = true;
        return false;
    }
    const std::uint64_t start = pos_;
    std::size_t length = count;
    for (std::size_t seen = 0; seen < count;) {
        if (pos_ < bufferAt_ || pos_ >= bufferAt_ + buffered_) {
            if (!fill()) return false;
        }
        const std::size_t at = static_cast<std::size_t>(pos_ - bufferAt_);
        const std::size_t part = std::min(count - seen, buffered_ - at);
        const std::size_t zero = zeroByteOffset(buffer_.data() + at, part);
        if (zero < part) {
            length = seen + zero;
            pos_ = start + count;
            break;
        }
        seen += part;
        pos_ += part;
    }
    place = TextPlace();
    if (length > 0) place = TextPlace{source_, start, static_cast<std::uint32_t>(length), false};
    return true;
}

bool SourceReader::placeOfCipher(TextPlace& place, std::size_t count) {
    const std::uint64_t start = pos_;
    if (count > UINT32_MAX || !skip(count)) return failed_ = true, false;
    place = TextPlace();
    if (count > 0) place = TextPlace{source_, start, static_cast<std::uint32_t>(count), true};
    return true;
}

const char* PlaceWindow::bytes(const TextPlace& place) {
    if (!place.source) return nullptr;
    if (place.length == 0) return "";
    const std::uint64_t end = place.offset + place.length;
    if (place.source == source_ && place.offset >= start_ && end <= start_ + filled_)
        return buffer_.data() + (place.offset - start_);
    const bool sequential =
        place.source == source_ && place.offset >= start_ && place.offset <= start_ + filled_ + SCATTERED_WINDOW;
    const std::uint64_t available = place.source->size() > place.offset ? place.source->size() - place.offset : 0;
    std::size_t count = sequential ? SEQUENTIAL_WINDOW : SCATTERED_WINDOW;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, available));
    count = std::max<std::size_t>(count, place.length);
    if (buffer_.size() < count) buffer_.resize(count);
    source_ = place.source;
    filled_ = 0;
    if (!source_->read(place.offset, &buffer_[0], count)) return nullptr;
    start_ = place.offset;
    filled_ = count;
    return buffer_.data();
}

void PlaceWindow::release() {
    source_.reset();
    filled_ = 0;
    std::string().swap(buffer_);
}
