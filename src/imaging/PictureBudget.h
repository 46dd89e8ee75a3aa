#pragma once

#include <QtGlobal>

namespace zot {

// The picture memory one open design may hold: background, pieces and every
// character image together. Designs come from other people, so a folder of
// small files that each claim a huge picture must not add up to the machine's
// memory. A picture that would cross the budget loads as an empty picture.
class PictureBudget {
  public:
    // Four pictures of the largest size allowed (background and three
    // pieces), far past any real design, small enough for any desktop.
    static constexpr qint64 kDefaultBytes = qint64(1024) * 1024 * 1024;

    explicit PictureBudget(qint64 bytes = kDefaultBytes) : total_(bytes) {}

    qint64 total() const { return total_; }
    qint64 used() const { return used_; }
    qint64 remaining() const { return total_ - used_; }
    // Whether bytes more would still fit; takes nothing.
    bool fits(qint64 bytes) const { return bytes >= 0 && bytes <= remaining(); }
    // Takes bytes when they fit; false (and nothing taken) when not.
    bool take(qint64 bytes);
    // Gives back what a picture no longer held took.
    void give(qint64 bytes) { used_ = bytes >= used_ ? 0 : used_ - bytes; }
    // A new design: nothing held.
    void reset() { used_ = 0; }

  private:
    qint64 total_;
    qint64 used_ = 0;
};

} // namespace zot
