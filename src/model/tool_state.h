#pragma once

#include <filesystem>

#include "config/configuration.h"
#include "glyphs/glyph_model.h"
#include "model/link_flags.h"
#include "model/settings_model.h"

namespace tvx {

// Everything that lives from start-up to exit: one instance, created in main and passed by reference.
// Tests make their own.
struct ToolState {
    SettingsModel model;
    GlyphModel glyphs;
    Configuration config;
    LinkFlags link;
    ReplyState reply;
    std::filesystem::path document_path;  // last document opened or saved; never cleared
};

// The start-up and New reset: the settings model, the link flags, the glyph data and the TCP accumulation.
// The slave address, the configuration, the document path and open connections are kept.
void reset_settings(ToolState& tool);

}  // namespace tvx
