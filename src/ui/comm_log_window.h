#pragma once

#include <QString>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <filesystem>

#include "link/comm_log.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tvx {

class Notices;
struct Configuration;

// "通信ログ": a window beside the others (not modal) that shows the communication log as it grows,
// one line per entry, filtered by direction, with clear and save. What is saved is what is shown.
// A search marks every place the text occurs and steps through them; a pause holds the view still while
// the log goes on recording, and going on shows everything recorded meanwhile.
class CommLogWindow : public QWidget {
    Q_OBJECT

  public:
    // folders, when given, keeps the folder of the last log saved, where the next save dialog starts.
    CommLogWindow(CommLog& log, Notices& notices, Configuration* folders = nullptr, QWidget* owner = nullptr);

    void set_filter(CommLogFilter filter);
    CommLogFilter filter() const { return filter_; }
    // The text the window shows, one line per entry, each ended by LF.
    QString shown_text() const;
    // Writes the shown lines; false (after an error notice) when the file cannot be written.
    bool save_to(const std::filesystem::path& path);

    // The text searched for (without regard to case); empty clears the marks.
    void set_search(const QString& text);
    // Moves to the next or the previous place found, round at the end; false when there is none.
    bool find_next();
    bool find_previous();
    // The places found in the view and the one moved to (0 before any move, else from 1).
    int match_count() const { return static_cast<int>(marks_.size()); }
    int current_match() const { return current_ + 1; }
    // The line of the view the current place is on (from 0), or -1.
    int current_match_line() const;

    void set_paused(bool paused);
    bool paused() const { return paused_; }
    // Entries recorded while paused that the view does not show yet.
    int held_back() const { return held_back_; }

  private:
    void append(const CommLogEntry& entry);
    void refill();
    void ask_save();
    void show_count();
    void mark_matches();
    void paint_marks();
    void move_to_match(int index);
    void show_match_state();

    CommLog& log_;
    Notices& notices_;
    Configuration* folders_;
    CommLogFilter filter_ = CommLogFilter::kAll;
    QComboBox* direction_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* save_ = nullptr;
    QLineEdit* search_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* match_label_ = nullptr;
    QPushButton* pause_ = nullptr;
    QString search_text_;
    QList<QTextEdit::ExtraSelection> marks_;  // every place found, in the order of the text
    int current_ = -1;
    bool paused_ = false;
    int held_back_ = 0;
    QTimer* remark_ = nullptr;  // marks again once a burst of new lines has been shown
};

}  // namespace tvx
