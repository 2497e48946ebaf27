#include "unit/unit_session.h"

namespace tvx {

UnitSession::UnitSession(VirtualUnit& unit, Writer writer, QObject* parent)
    : QObject(parent), unit_(unit), writer_(std::move(writer)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &UnitSession::pump);
}

void UnitSession::feed(const QByteArray& bytes) {
    bool handled = false;
    assembler_.feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        [this, &handled](const std::string& line) {
            handled = true;
            const std::optional<std::string> answer = unit_.answer_line(line);
            if (!answer) return;
            const std::vector<std::string> pieces = answer_pieces(*answer, unit_.faults.piece_size);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const int wait = i == 0 ? unit_.faults.delay_ms : unit_.faults.piece_gap_ms;
                queue_.push_back(
                    {QByteArray(pieces[i].data(), static_cast<qsizetype>(pieces[i].size())), wait});
            }
        });
    if (!timer_.isActive()) pump();
    if (handled) emit lines_handled();
}

void UnitSession::pump() {
    while (!queue_.empty()) {
        Pending& next = queue_.front();
        if (next.wait_ms > 0) {
            timer_.start(next.wait_ms);
            next.wait_ms = 0;
            return;
        }
        const QByteArray bytes = next.bytes;
        queue_.pop_front();
        writer_(bytes);
    }
}

}  // namespace tvx
