#pragma once

// Dialogs that answer from a script instead of waiting for a user.
#include "widgets/Dialogs.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace zot::test {

// Installed for its lifetime. Each showing takes the next answer (a path with
// the filter selected, or nothing for Cancel) and records what it was asked.
class ScriptedDialogs : public DialogBackend {
  public:
    ScriptedDialogs() { previous_ = setDialogBackend(this); }
    ~ScriptedDialogs() override { setDialogBackend(previous_); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // filter: the index of the name filter chosen; -1 leaves the one shown.
    void answer(const QString& path, int filter = -1) { answers_.push_back({true, path, filter}); }
    void cancel() { answers_.push_back({false, QString(), -1}); }

    std::optional<FileDialogChoice> exec(QWidget*, const FileDialogRequest& request) override {
        asked.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "a dialog was shown that the test did not expect";
            return std::nullopt;
        }
        const Answer next = answers_.front();
        answers_.pop_front();
        if (!next.ok)
            return std::nullopt;
        return FileDialogChoice{next.path, next.filter < 0 ? request.nameFilter : next.filter};
    }

    bool allAnswered() const { return answers_.empty(); }

    std::vector<FileDialogRequest> asked;

  private:
    struct Answer {
        bool ok;
        QString path;
        int filter;
    };
    std::deque<Answer> answers_;
    DialogBackend* previous_ = nullptr;
};

} // namespace zot::test
