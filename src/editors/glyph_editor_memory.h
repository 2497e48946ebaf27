#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace tvx {

// What the glyph editors, the glyph lists and the glyph insertion dialog remember from one opening to
// the next until the program ends. New leaves it alone.
struct GlyphEditorMemory {
    // Set by any mouse press in a glyph editor; cleared only when a clear of the working glyph or of a
    // bank is confirmed.
    int glyph_edited = 0;
    // The glyph editor's sample field as Shift JIS bytes: its first two bytes, or empty for less.
    std::string sample_text;

    int current_group = 0;                      // page of thumbnails shown, shared by the three lists
    std::array<std::filesystem::path, 3> bank_file_path;  // each list's bank file (by GlyphSize::index)
    std::filesystem::path bitmap_path;                    // the last bitmap exported

    int insert_size = 0;      // 0 large, 1 medium, 2 small
    int insert_position = 0;  // 0-based insert position

    // The glyph copied in an editor, for pasting into any slot of an editor of the same size.
    struct CopiedGlyph {
        int size_index = -1;  // GlyphSize::index; -1 while nothing was copied
        std::string digits;
    } copied_glyph;
};

// The questions of the glyph editor and lists beside the notices: the clearing question has a title of
// its own ("新規作成").
class GlyphQuestions {
  public:
    virtual ~GlyphQuestions() = default;
    // "データを保存せずに新規作成しますか？", title "新規作成", Yes and No, question icon. True for Yes.
    virtual bool confirm_clear() = 0;
};

inline constexpr std::string_view kClearQuestion = "データを保存せずに新規作成しますか？";
inline constexpr std::string_view kClearQuestionTitle = "新規作成";

}  // namespace tvx
