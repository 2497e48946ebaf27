#pragma once

#include <QWidget>
#include <filesystem>

#include "link/comm_log.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tvx {

class Notices;
struct Configuration;

// "通信ログ": a window beside the others (not modal) that shows the communication log as it grows,
// one line per entry, filtered by direction, with clear and save. What is saved is what is shown.
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

  private:
    void append(const CommLogEntry& entry);
    void refill();
    void ask_save();
    void show_count();

    CommLog& log_;
    Notices& notices_;
    Configuration* folders_;
    CommLogFilter filter_ = CommLogFilter::kAll;
    QComboBox* direction_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace tvx
