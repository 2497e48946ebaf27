#pragma once

#include <string_view>

namespace tvx {

// Why a unit (or a run before it reached its units) failed, as a script reads it from the report: stable
// words beside the tool's own message, so that nobody has to match notice text.
enum class ReasonCode {
    kNone,
    kTimeout,            // an answer, a connection or the units awaited did not come in time
    kConnectionRefused,  // the link could not be opened
    kConnectionClosed,   // the connection or port went while the unit was being talked to
    kErrorReply,         // "E0" to "E3" or "MENU"
    kModeDifference,     // "GN"
    kUnexpectedAnswer,   // neither a status nor the data line asked for
    kNotRead,            // a read ended without everything it asked for
    kDifferences,        // verification found the unit holding something else than was sent
    kInterrupted,        // a signal stopped the run
    kFile,               // a file could not be read or written
    kDocument,           // an input was read but refused (a document, a bank, a hosts file, a title)
};

inline constexpr std::string_view reason_code_name(ReasonCode code) {
    switch (code) {
        case ReasonCode::kNone:
            return "";
        case ReasonCode::kTimeout:
            return "timeout";
        case ReasonCode::kConnectionRefused:
            return "connection_refused";
        case ReasonCode::kConnectionClosed:
            return "connection_closed";
        case ReasonCode::kErrorReply:
            return "error_reply";
        case ReasonCode::kModeDifference:
            return "mode_difference";
        case ReasonCode::kUnexpectedAnswer:
            return "unexpected_answer";
        case ReasonCode::kNotRead:
            return "not_read";
        case ReasonCode::kDifferences:
            return "differences";
        case ReasonCode::kInterrupted:
            return "interrupted";
        case ReasonCode::kFile:
            return "file";
        case ReasonCode::kDocument:
            return "document";
    }
    return "";
}

}  // namespace tvx
