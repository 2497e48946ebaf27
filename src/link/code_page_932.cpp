#include "link/code_page_932.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

namespace tvx {

#ifdef _WIN32

namespace {

constexpr UINT kCodePage = 932;
constexpr char kLacking[] = "\xFC\xFC";  // no character of the code page

}  // namespace

CodePage932Bytes encode_code_page_932(QStringView text) {
    CodePage932Bytes out;
    out.bytes.reserve(text.size() * 2);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        // One character at a time, so that the one the code page lacks is known. No "best fit": é must
        // not quietly become e, nor ¥ a backslash.
        const wchar_t wide = static_cast<wchar_t>(c.unicode());
        char bytes[4];
        BOOL used_default = FALSE;
        const int size = c.isSurrogate()
                             ? 0
                             : ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes,
                                                     int(sizeof bytes), nullptr, &used_default);
        if (size <= 0 || used_default) {
            // A pair of surrogates is one character the code page lacks, written once, as Qt's converter
            // writes it elsewhere.
            if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) ++at;
            out.bytes += kLacking;
            out.error = true;
            continue;
        }
        out.bytes.append(bytes, size);
    }
    return out;
}

CodePage932Text decode_code_page_932(QByteArrayView bytes) {
    CodePage932Text out;
    out.text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto first = static_cast<BYTE>(bytes[at]);
        const qsizetype length = ::IsDBCSLeadByteEx(kCodePage, first) && at + 1 < bytes.size() ? 2 : 1;
        wchar_t wide[2];
        const int size =
            ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data() + at, int(length), wide, 2);
        if (size == 1) {
            out.text += QChar(static_cast<char16_t>(wide[0]));
            at += length;
            continue;
        }
        // A lead byte at the end, or a pair the code page does not assign: one replacement character,
        // and the next byte is read afresh (it may begin a character of its own).
        out.text += QChar::ReplacementCharacter;
        out.error = true;
        at += 1;
    }
    return out;
}

#else

namespace {

constexpr char kCodePage[] = "windows-31j";

}  // namespace

CodePage932Bytes encode_code_page_932(QStringView text) {
    CodePage932Bytes out;
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) {
        out.available = false;
        return out;
    }
    out.bytes = encoder.encode(text);
    out.error = encoder.hasError();
    return out;
}

CodePage932Text decode_code_page_932(QByteArrayView bytes) {
    CodePage932Text out;
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        out.available = false;
        return out;
    }
    out.text = decoder.decode(bytes);
    out.error = decoder.hasError();
    return out;
}

#endif

}  // namespace tvx
