#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>

#include "link/traffic_observer.h"

namespace tvx {

// One line sent or received, as the log keeps it.
struct CommLogEntry {
    std::int64_t msecs_since_epoch = 0;  // local wall clock at the moment the link saw the bytes
    TrafficDirection direction = TrafficDirection::kSent;
    std::string link;   // "COM1 #03", "COM2", "192.168.0.5:10001"
    std::string bytes;  // exactly what went over the line
};

// Which entries a view shows; the link's notes are shown with everything.
enum class CommLogFilter { kAll, kSent, kReceived };

bool passes(const CommLogEntry& entry, CommLogFilter filter);

// The bytes as text: printable ASCII as it is, any other byte as <XX> in hex (so CR LF reads <0D><0A>).
std::string printable_bytes(std::string_view bytes);

// One entry as a line of text, without a line end:
// "2026-12-07 21:52:01.123  送信  COM1 #03  03RVN<0D><0A>".
std::string render_entry(const CommLogEntry& entry);

// The entries that pass the filter, one rendered line each, every line ended by LF.
std::string render_entries(const std::deque<CommLogEntry>& entries, CommLogFilter filter);

// The traffic of every link, whichever window caused it, in a bounded history: the oldest entries
// give way once it holds kCapacity. Used by the log window and by anything that writes a log file.
class CommLog : public QObject {
    Q_OBJECT

  public:
    static constexpr std::size_t kCapacity = 20000;

    explicit CommLog(QObject* parent = nullptr, std::size_t capacity = kCapacity);

    // Records the bytes with the current time; an empty piece records nothing.
    void record(TrafficDirection direction, std::string_view link, std::string_view bytes);
    // The same with a given time, for replays and tests.
    void record_at(std::int64_t msecs_since_epoch, TrafficDirection direction, std::string_view link,
                   std::string_view bytes);

    // An observer to hand to a link's set_traffic_observer; valid while the log lives.
    TrafficObserver observer();

    void clear();
    const std::deque<CommLogEntry>& entries() const { return entries_; }
    std::size_t capacity() const { return capacity_; }
    // Entries given up to keep the history bounded, since the last clear.
    std::size_t dropped() const { return dropped_; }

    std::string text(CommLogFilter filter = CommLogFilter::kAll) const {
        return render_entries(entries_, filter);
    }
    // Writes text(filter) so that the file is either whole or untouched. False when it cannot be written.
    bool save(const std::filesystem::path& path, CommLogFilter filter = CommLogFilter::kAll) const;

  signals:
    void entry_added(const tvx::CommLogEntry& entry);
    void cleared();

  private:
    std::size_t capacity_;
    std::deque<CommLogEntry> entries_;
    std::size_t dropped_ = 0;
};

}  // namespace tvx
