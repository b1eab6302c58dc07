#pragma once

#include <QByteArray>

// The bytes one client sent that are not handled yet, taken line by line. Only complete lines
// are given out; a line longer than the bound is given out once as too long, and its bytes up
// to its end are thrown away as they come, so what is held stays below the bound plus what
// arrived in one read.
class LineInput {
public:
    enum class Kind { None, Line, TooLong };
    struct Next {
        Kind kind = Kind::None;
        QByteArray line; // without its line end ('\n', and a '\r' before it)
    };

    explicit LineInput(qsizetype maxLine) : maxLine_(maxLine) {}

    void append(const QByteArray& data);
    // The next complete line; None while only part of one is held.
    Next next();
    // Bytes held, handled lines excluded.
    qsizetype held() const { return buffer_.size() - from_; }

private:
    void release();

    qsizetype maxLine_;
    QByteArray buffer_;
    qsizetype from_ = 0;    // where the unhandled bytes begin
    bool skipping_ = false; // inside a line already answered as too long
};
