#include "ui/shift_jis_text.h"

#include <algorithm>
#include <array>
#include <utility>

#include "link/code_page_932.h"

namespace tvx {
namespace {

// Other forms of code page 932's characters, sorted by the other form: where JIS X 0208's own mapping
// (and with it the Linux input methods, EUC-JP and the Shift_JIS of other systems) and code page 932
// disagree (¢ £ ¬ — ‖ − 〜), and what programs write for the wave dash (∼ ⁓) and for the broken bar
// (¦), which code page 932 holds only in its own forms.
constexpr std::array<std::pair<char16_t, char16_t>, 10> kOtherForms{{
    {0x00A2, 0xFFE0},  // ¢ CENT SIGN                -> ￠ FULLWIDTH CENT SIGN (0x8191)
    {0x00A3, 0xFFE1},  // £ POUND SIGN               -> ￡ FULLWIDTH POUND SIGN (0x8192)
    {0x00A6, 0xFFE4},  // ¦ BROKEN BAR               -> ￤ FULLWIDTH BROKEN BAR (0xFA55)
    {0x00AC, 0xFFE2},  // ¬ NOT SIGN                 -> ￢ FULLWIDTH NOT SIGN (0x81CA)
    {0x2014, 0x2015},  // — EM DASH                  -> ― HORIZONTAL BAR (0x815C)
    {0x2016, 0x2225},  // ‖ DOUBLE VERTICAL LINE     -> ∥ PARALLEL TO (0x8161)
    {0x2053, 0xFF5E},  // ⁓ SWUNG DASH               -> ～ FULLWIDTH TILDE (0x8160)
    {0x2212, 0xFF0D},  // − MINUS SIGN               -> － FULLWIDTH HYPHEN-MINUS (0x817C)
    {0x223C, 0xFF5E},  // ∼ TILDE OPERATOR           -> ～ FULLWIDTH TILDE (0x8160)
    {0x301C, 0xFF5E},  // 〜 WAVE DASH                -> ～ FULLWIDTH TILDE (0x8160)
}};
static_assert(std::is_sorted(kOtherForms.begin(), kOtherForms.end()));

}  // namespace

QChar code_page_932_form(QChar c) {
    const auto hit = std::lower_bound(kOtherForms.begin(), kOtherForms.end(), c.unicode(),
                                      [](const auto& form, char16_t u) { return form.first < u; });
    return hit != kOtherForms.end() && hit->first == c.unicode() ? QChar(hit->second) : c;
}

QString code_page_932_forms(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) out += code_page_932_form(c);
    return out;
}

std::optional<std::string> shift_jis_char(QChar c) {
    if (c.isSurrogate()) return std::nullopt;
    const QChar form = code_page_932_form(c);
    const CodePage932Bytes encoded = encode_code_page_932(QStringView(&form, 1));
    if (!encoded.available || encoded.error || encoded.bytes.isEmpty()) return std::nullopt;
    return encoded.bytes.toStdString();
}

QString shown_text(const FieldChars& chars) {
    QString text;
    text.reserve(static_cast<qsizetype>(chars.size()));
    for (const FieldChar& c : chars) text += c.shown;
    return text;
}

std::string stored_bytes(const FieldChars& chars) {
    std::string bytes;
    for (const FieldChar& c : chars) bytes += c.bytes;
    return bytes;
}

FieldChars field_chars(QStringView text) {
    FieldChars chars;
    for (QChar c : text) chars.push_back({c, shift_jis_char(c).value_or(std::string())});
    return chars;
}

FieldChange fit_field_change(const FieldChars& before, QStringView after, std::size_t limit,
                             CharBytes encode) {
    // The change is what lies between the characters the field held and the text it shows now.
    const auto old_size = static_cast<qsizetype>(before.size());
    qsizetype prefix = 0;
    while (prefix < old_size && prefix < after.size() &&
           before[static_cast<std::size_t>(prefix)].shown == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < old_size - prefix && suffix < after.size() - prefix &&
           before[static_cast<std::size_t>(old_size - 1 - suffix)].shown == after[after.size() - 1 - suffix])
        ++suffix;
    const QStringView inserted = after.mid(prefix, after.size() - prefix - suffix);

    FieldChange change;
    change.start = static_cast<int>(prefix);
    change.inserted = inserted.size();
    change.chars.assign(before.begin(), before.begin() + prefix);
    const FieldChars tail(before.end() - suffix, before.end());
    std::size_t used = stored_bytes(change.chars).size() + stored_bytes(tail).size();
    for (QChar c : inserted) {
        const std::optional<std::string> one = encode(c);
        if (!one) {
            change = FieldChange{};
            change.refused = true;
            change.chars = before;
            change.start = change.cursor = static_cast<int>(prefix);
            return change;
        }
        // Once a character does not fit, none after it is taken either: what is kept is the start of
        // what the operator gave, never a text with holes in it.
        if (change.left_out > 0 || used + one->size() > limit) {
            ++change.left_out;
            continue;
        }
        used += one->size();
        change.chars.push_back({c, *one});
    }
    change.cursor = static_cast<int>(change.chars.size());
    change.changed = change.chars.size() != static_cast<std::size_t>(prefix) || prefix + suffix != old_size;
    change.chars.insert(change.chars.end(), tail.begin(), tail.end());
    return change;
}

std::string to_shift_jis(const QString& text) {
    const CodePage932Bytes encoded = encode_code_page_932(code_page_932_forms(text));
    if (!encoded.available) return text.toLatin1().toStdString();
    return encoded.bytes.toStdString();
}

QString from_shift_jis(std::string_view bytes) {
    const QByteArrayView raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    CodePage932Text decoded = decode_code_page_932(raw);
    if (!decoded.available) return QString::fromLatin1(raw);
    return std::move(decoded.text);
}

std::string left_out_text(qsizetype left_out) {
    return "入りきらない " + std::to_string(left_out) + " 文字を省きました";
}

void notify_left_out(Notices& notices, qsizetype left_out) {
    notices.show_box(left_out_text(left_out), "TVX-230", BoxIcon::kExclamation);
}

}  // namespace tvx
