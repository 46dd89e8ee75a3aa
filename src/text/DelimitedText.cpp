#include "text/DelimitedText.h"

namespace zot {

void DelimitedSplitter::keepOnly(std::vector<bool> kept) {
    keepAll_ = false;
    kept_ = std::move(kept);
}

bool DelimitedSplitter::kept(qsizetype column) const {
    return keepAll_ || (column < qsizetype(kept_.size()) && kept_[size_t(column)]);
}

void DelimitedSplitter::feed(QByteArrayView bytes) {
    if (finished_ || bytes.isEmpty())
        return;
    // Drop what was looked at, so that memory holds only what is to come.
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    buffer_.append(bytes);
}

bool DelimitedSplitter::append(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return true;
    row_.empty = false;
    fieldBytes_ += bytes.size();
    if (fieldBytes_ > kMaxFieldBytes) {
        row_.problem = Problem::FieldTooLong;
        return false;
    }
    if (!kept(row_.fieldCount))
        return true;
    keptBytes_ += bytes.size();
    if (keptBytes_ > kMaxKeptBytes) {
        row_.problem = Problem::RowTooLong;
        return false;
    }
    field_.append(bytes);
    return true;
}

bool DelimitedSplitter::endField() {
    const qsizetype column = row_.fieldCount++;
    if (row_.fieldCount > kMaxFields) {
        row_.problem = Problem::TooManyFields;
        return false;
    }
    if (kept(column))
        row_.fields.push_back(field_.isNull() ? QByteArray("") : std::move(field_));
    else if (column < qsizetype(kept_.size()))
        row_.fields.emplace_back();
    field_ = QByteArray();
    fieldBytes_ = 0;
    return true;
}

DelimitedSplitter::Row DelimitedSplitter::endRow(Problem problem) {
    Row row = std::move(row_);
    if (problem != Problem::None)
        row.problem = problem;
    if (row.problem != Problem::None)
        done_ = true;
    row_ = Row{};
    field_ = QByteArray();
    fieldBytes_ = 0;
    keptBytes_ = 0;
    rowStarted_ = false;
    state_ = State::FieldStart;
    return row;
}

void DelimitedSplitter::countBreak(char c) {
    // The LF of a CRLF was counted with its CR.
    if (!(c == '\n' && afterCr_))
        ++line_;
    afterCr_ = c == '\r';
}

std::optional<DelimitedSplitter::Row> DelimitedSplitter::takeRow() {
    if (done_)
        return std::nullopt;
    const char* data = buffer_.constData();
    const qsizetype size = buffer_.size();
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    while (pos_ < size) {
        const char c = data[pos_];
        if (!rowStarted_) {
            // The LF of the CRLF that ended the last row.
            if (c == '\n' && afterCr_) {
                afterCr_ = false;
                ++pos_;
                continue;
            }
            rowStarted_ = true;
            row_.line = line_;
        }
        switch (state_) {
        case State::FieldStart:
        case State::Unquoted: {
            if (state_ == State::FieldStart && c == '"') {
                state_ = State::Quoted;
                afterCr_ = false;
                ++pos_;
                continue;
            }
            qsizetype end = pos_;
            while (end < size && data[end] != delimiter_ && !isBreak(data[end]))
                ++end;
            if (end > pos_) {
                const bool fits = append(QByteArrayView(data + pos_, end - pos_));
                pos_ = end;
                afterCr_ = false;
                state_ = State::Unquoted;
                if (!fits)
                    return endRow();
                continue;
            }
            ++pos_;
            if (c == delimiter_) {
                afterCr_ = false;
                state_ = State::FieldStart;
                if (!endField())
                    return endRow();
                continue;
            }
            countBreak(c);
            endField();
            return endRow();
        }
        case State::Quoted: {
            qsizetype end = pos_;
            while (end < size && data[end] != '"' && !isBreak(data[end]))
                ++end;
            if (end > pos_) {
                const bool fits = append(QByteArrayView(data + pos_, end - pos_));
                pos_ = end;
                afterCr_ = false;
                if (!fits)
                    return endRow();
                continue;
            }
            ++pos_;
            if (c == '"') {
                afterCr_ = false;
                state_ = State::QuoteInQuoted;
                continue;
            }
            // A line break inside quotes is the field's.
            countBreak(c);
            if (!append(QByteArrayView(&c, 1)))
                return endRow();
            continue;
        }
        case State::QuoteInQuoted:
            if (c == '"') {
                ++pos_;
                state_ = State::Quoted;
                if (!append("\""))
                    return endRow();
                continue;
            }
            if (c == delimiter_) {
                ++pos_;
                state_ = State::FieldStart;
                if (!endField())
                    return endRow();
                continue;
            }
            if (isBreak(c)) {
                ++pos_;
                countBreak(c);
                endField();
                return endRow();
            }
            return endRow(Problem::TextAfterQuote);
        }
    }
    if (!finished_)
        return std::nullopt;
    if (state_ == State::Quoted)
        return endRow(Problem::UnclosedQuote);
    if (rowStarted_) {
        endField();
        return endRow();
    }
    done_ = true;
    return std::nullopt;
}

} // namespace zot
