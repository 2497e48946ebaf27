#include "link/comm_log.h"

#include <QDateTime>

#include "config/safe_file.h"

namespace tvx {

bool passes(const CommLogEntry& entry, CommLogFilter filter) {
    switch (filter) {
        case CommLogFilter::kAll:
            return true;
        case CommLogFilter::kSent:
            return entry.direction == TrafficDirection::kSent;
        case CommLogFilter::kReceived:
            return entry.direction == TrafficDirection::kReceived;
    }
    return true;
}

std::string printable_bytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        // '<' is written as hex too, so that a rendered line reads back unambiguously.
        if (byte >= 0x20 && byte < 0x7F && byte != '<') {
            out.push_back(c);
        } else {
            out.push_back('<');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
            out.push_back('>');
        }
    }
    return out;
}

std::string render_entry(const CommLogEntry& entry) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(entry.msecs_since_epoch);
    std::string out = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toStdString();
    switch (entry.direction) {
        case TrafficDirection::kSent:
            out += "  送信  ";
            break;
        case TrafficDirection::kReceived:
            out += "  受信  ";
            break;
        case TrafficDirection::kNote:
            out += "  注記  ";
            break;
    }
    out += entry.link;
    out += "  ";
    // A note is the link's own text; traffic is shown byte by byte.
    out += entry.direction == TrafficDirection::kNote ? entry.bytes : printable_bytes(entry.bytes);
    return out;
}

std::string render_entries(const std::deque<CommLogEntry>& entries, CommLogFilter filter) {
    std::string out;
    for (const CommLogEntry& entry : entries) {
        if (!passes(entry, filter)) continue;
        out += render_entry(entry);
        out += '\n';
    }
    return out;
}

CommLog::CommLog(QObject* parent, std::size_t capacity)
    : QObject(parent), capacity_(capacity > 0 ? capacity : 1) {}

void CommLog::record(TrafficDirection direction, std::string_view link, std::string_view bytes) {
    record_at(QDateTime::currentMSecsSinceEpoch(), direction, link, bytes);
}

void CommLog::record_at(std::int64_t msecs_since_epoch, TrafficDirection direction, std::string_view link,
                        std::string_view bytes) {
    if (bytes.empty()) return;
    while (entries_.size() >= capacity_) {
        entries_.pop_front();
        ++dropped_;
    }
    entries_.push_back(CommLogEntry{msecs_since_epoch, direction, std::string(link), std::string(bytes)});
    emit entry_added(entries_.back());
}

TrafficObserver CommLog::observer() {
    return [this](TrafficDirection direction, std::string_view link, std::string_view bytes) {
        record(direction, link, bytes);
    };
}

void CommLog::clear() {
    entries_.clear();
    dropped_ = 0;
    emit cleared();
}

bool CommLog::save(const std::filesystem::path& path, CommLogFilter filter) const {
    return write_file_replacing(path, text(filter));
}

}  // namespace tvx
