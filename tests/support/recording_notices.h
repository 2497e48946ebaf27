#pragma once

#include <deque>
#include <string>
#include <vector>

#include "config/notices.h"

namespace tvx::testing {

// Records every notice and question; questions are answered from a queue (Yes when it is empty).
class RecordingNotices : public Notices {
public:
    struct Call {
        std::string kind;  // "success", "error", "warning", "status", "box", "question", "auto", "sizes"
        std::string text;
        std::string title;
    };

    void notify_success(std::string_view text) override { calls.push_back({"success", std::string(text), "Success"}); }
    void notify_error(std::string_view text) override { calls.push_back({"error", std::string(text), "Error"}); }
    void notify_warning(std::string_view text) override { calls.push_back({"warning", std::string(text), "Error"}); }
    void notify_status(std::string_view text) override { calls.push_back({"status", std::string(text), ""}); }
    void show_box(std::string_view text, std::string_view title, BoxIcon) override {
        calls.push_back({"box", std::string(text), std::string(title)});
    }
    bool ask_yes_no(std::string_view text) override {
        calls.push_back({"question", std::string(text), "TVX-230"});
        return next_answer();
    }
    bool confirm_not_auto_switching() override {
        calls.push_back({"auto", "本機が自動切換えでない事を確認してください", "本機の確認"});
        return next_answer();
    }
    bool confirm_make_other_sizes() override {
        calls.push_back({"sizes", "この外字をベースに他のサイズを作成しますか？", "他サイズ作成"});
        return next_answer();
    }

    // Texts of the calls of one kind, in order.
    std::vector<std::string> texts(const std::string& kind) const {
        std::vector<std::string> out;
        for (const Call& c : calls) {
            if (c.kind == kind) out.push_back(c.text);
        }
        return out;
    }
    int count(const std::string& kind, const std::string& text) const {
        int n = 0;
        for (const Call& c : calls) n += c.kind == kind && c.text == text;
        return n;
    }
    void clear() { calls.clear(); }

    std::vector<Call> calls;
    std::deque<bool> answers;

private:
    bool next_answer() {
        if (answers.empty()) return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tvx::testing
