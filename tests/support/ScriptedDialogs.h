#pragma once

// Dialogs that answer from a script instead of waiting for a user.
#include "widgets/Dialogs.h"

#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace zot::test {

// Installed for its lifetime. Each showing takes the next answer (a path, or
// nothing for Cancel) and records what it was asked.
class ScriptedDialogs : public DialogBackend {
  public:
    ScriptedDialogs() { previous_ = setDialogBackend(this); }
    ~ScriptedDialogs() override { setDialogBackend(previous_); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // filter: the name filter chosen, from those offered (the first when empty).
    void answer(const QString& path, const QString& filter = {}) {
        answers_.push_back({true, path, filter});
    }
    void cancel() { answers_.push_back({false, QString(), {}}); }

    std::optional<QString> exec(QWidget*, const FileDialogRequest& request) override {
        asked.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "a dialog was shown that the test did not expect";
            return std::nullopt;
        }
        const Answer next = answers_.front();
        answers_.pop_front();
        if (!next.ok)
            return std::nullopt;
        if (request.chosenFilter)
            *request.chosenFilter = next.filter.isEmpty() && !request.nameFilters.isEmpty()
                                        ? request.nameFilters.first()
                                        : next.filter;
        return next.path;
    }

    bool allAnswered() const { return answers_.empty(); }

    std::vector<FileDialogRequest> asked;

  private:
    struct Answer {
        bool ok;
        QString path;
        QString filter;
    };
    std::deque<Answer> answers_;
    DialogBackend* previous_ = nullptr;
};

} // namespace zot::test
