#include "server/line_input.h"

void LineInput::append(const QByteArray& data) {
    if (skipping_) {
        const qsizetype end = data.indexOf('\n');
        if (end < 0)
            return;
        skipping_ = false;
        buffer_.append(data.constData() + end + 1, data.size() - end - 1);
        return;
    }
    buffer_.append(data);
}

LineInput::Next LineInput::next() {
    const qsizetype end = buffer_.indexOf('\n', from_);
    if (end < 0) {
        if (held() <= maxLine_)
            return {};
        // The end of this line is thrown away as it comes.
        buffer_.clear();
        from_ = 0;
        skipping_ = true;
        release();
        return {Kind::TooLong, {}};
    }
    const qsizetype length = end - from_;
    const qsizetype start = from_;
    from_ = end + 1;
    Next out;
    if (length > maxLine_) {
        out.kind = Kind::TooLong;
    } else {
        const bool cr = length > 0 && buffer_.at(end - 1) == '\r';
        out = {Kind::Line, buffer_.mid(start, cr ? length - 1 : length)};
    }
    release();
    return out;
}

// Handled bytes are dropped once they are the larger part, and the buffer's memory goes back
// when nothing is left.
void LineInput::release() {
    if (from_ == buffer_.size()) {
        buffer_ = QByteArray();
        from_ = 0;
    } else if (from_ > held()) {
        buffer_.remove(0, from_);
        from_ = 0;
    }
}
