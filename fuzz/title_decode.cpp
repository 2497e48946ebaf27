// A CA line from the unit: decoding it writes at most one page's title, of whole cells within the title
// buffer, and a title that decodes and can be sent again comes back the same. Any bytes taken as a title
// to send encode to codes that decode and encode again to the same codes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "protocol/title_encoding.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_text(data, size);

    SettingsModel model;
    const bool written = decode_title(model, bytes);
    int changed = -1;
    for (int page = 0; page < kPageCount; ++page) {
        const std::string& title = model.pages[static_cast<std::size_t>(page)].title;
        require(title.size() <= kTitleBytes && title.size() % 2 == 0, "a decoded title is whole cells");
        if (!title.empty()) {
            require(changed == -1, "one line writes one page");
            changed = page;
        }
    }
    require(written || changed == -1, "a refused line changes nothing");

    if (written) {
        int page = 0;
        TitleCodes codes{};
        require(parse_title_line(bytes, page, codes), "a decoded line parses");
        const std::string& title = model.pages[static_cast<std::size_t>(page)].title;
        const std::optional<std::string> line = build_title_command(title, page);
        if (line) {
            // Sent again, the title comes back but for ideographic spaces at its end, which a sent title
            // is filled up with and a received one drops. (A code that names no character may have ended
            // the title just after such spaces.)
            std::string expected = title;
            while (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\x81\x40") == 0) {
                expected.resize(expected.size() - 2);
            }
            SettingsModel again;
            require(decode_title(again, *line), "a sent title line decodes");
            require(again.pages[static_cast<std::size_t>(page)].title == expected,
                    "a title survives a round trip");
        }
    }

    // Codes that a title encodes to decode and encode to the same codes, up to the first code that the
    // reading side does not take (JIS rows 0x7D and 0x7E, which code page 932 leaves empty, are sent but
    // not read back); the title ends there.
    const std::optional<TitleCodes> codes = encode_title(bytes);
    if (codes) {
        TitleCodes expected = *codes;
        bool ended = false;
        for (std::uint16_t& code : expected) {
            ended = ended || title_code_cell(code) == 0;
            if (ended) code = kIdeographicSpace;
        }
        const std::optional<TitleCodes> again = encode_title(decode_title_codes(*codes));
        require(again.has_value() && *again == expected, "encoded codes decode and encode to the same codes");
    }
    return 0;
}
