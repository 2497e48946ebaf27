#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/notices.h"

namespace tvx {

// Where the operator's text (typed, converted by an input method, pasted) becomes the Shift JIS
// (code page 932) bytes the model, the files and the unit keep. Every field that stores text goes
// through here, so all of them take the same characters.

// Several characters have two Unicode forms: the one of JIS X 0208's own mapping, which the input
// methods and programs of Linux and other desktops write (WAVE DASH U+301C, MINUS SIGN U+2212, ...),
// and the one code page 932 reads and writes (FULLWIDTH TILDE U+FF5E, FULLWIDTH HYPHEN-MINUS U+FF0D,
// ...). The encoder knows only the second: a character in the first form comes back as its code page
// 932 form; every other character is itself.
QChar code_page_932_form(QChar c);
QString code_page_932_forms(QStringView text);

// The bytes of one character, in its code page 932 form; none for a character the code page cannot
// hold (a surrogate, an accented letter, an emoji...), which would otherwise come out as 0xFCFC.
std::optional<std::string> shift_jis_char(QChar c);

// A field's text as its characters, each with the bytes it stands for; the bytes, joined, are what the
// field stores.
struct FieldChar {
    QChar shown;
    std::string bytes;
};
using FieldChars = std::vector<FieldChar>;
QString shown_text(const FieldChars& chars);
std::string stored_bytes(const FieldChars& chars);
// A stored text of single and double-byte characters as a field shows it.
FieldChars field_chars(QStringView text);

// The bytes a character of a field stands for. Fields with characters of their own (the title
// field's glyph cells) have their own; the others use shift_jis_char.
using CharBytes = std::optional<std::string> (*)(QChar);

// The operator's change of a field that holds at most `limit` bytes, from the characters it held to the
// text it shows now. What the change brought in (typed, converted, pasted) is taken as far as it fits:
// its leading characters, whole (never half of a double-byte character or of a glyph cell), in order.
// The characters around the change keep the bytes they stood for. A character that cannot be stored
// refuses the whole change, as typing it alone would.
struct FieldChange {
    bool refused = false;     // the field goes back to what it held
    bool changed = false;     // chars differ from what the field held
    FieldChars chars;         // the field after the change, as far as it fits
    int start = 0;            // where the change begins in chars
    int cursor = 0;           // where what was taken of it ends
    qsizetype inserted = 0;   // the characters the change brought in
    qsizetype left_out = 0;   // of them, the ones that did not fit
};
FieldChange fit_field_change(const FieldChars& before, QStringView after, std::size_t limit,
                             CharBytes encode = shift_jis_char);

// Lenient conversions for the short fields (hold time, port): every character in its code page 932
// form; one the code page cannot hold becomes the encoder's replacement.
std::string to_shift_jis(const QString& text);
QString from_shift_jis(std::string_view bytes);

// The notice after a change of a field kept only part of what was pasted or converted:
// "入りきらない 80 文字を省きました".
std::string left_out_text(qsizetype left_out);
void notify_left_out(Notices& notices, qsizetype left_out);

}  // namespace tvx
