# The layer check against a small tree of its own: an upward include planted in it must be named with its
# file, line and direction, and the tree's downward and same-folder includes must pass.
#
#   cmake -DCHECK=<cmake/check_layers.cmake> -DWORK=<scratch folder> -P planted_include.cmake

function(plant path text)
  file(WRITE "${WORK}/${path}" "${text}")
endfunction()

function(run_check expect_failure expected_output)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DROOT=${WORK} -P "${CHECK}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(all "${out}${err}")
  if(expect_failure AND result EQUAL 0)
    message(FATAL_ERROR "the check passed a tree with an upward include:\n${all}")
  endif()
  if(NOT expect_failure AND NOT result EQUAL 0)
    message(FATAL_ERROR "the check refused a tree without an upward include:\n${all}")
  endif()
  foreach(expected IN LISTS expected_output)
    string(FIND "${all}" "${expected}" at)
    if(at LESS 0)
      message(FATAL_ERROR "the check did not say \"${expected}\":\n${all}")
    endif()
  endforeach()
endfunction()

file(REMOVE_RECURSE "${WORK}")
plant("src/config/notices.h" "#pragma once\n")
plant("src/glyphs/glyph_model.h" "#pragma once\n// #include \"model/x.h\" in a comment is no include\n")
plant("src/model/tool_state.h" "#pragma once\n\n#include <vector>\n#include \"config/notices.h\"\n#include \"glyphs/glyph_model.h\"\n")
plant("src/unit/virtual_unit.h" "#pragma once\n#include \"protocol/commands.h\"\n")
plant("src/link/serial_link.cpp" "#include \"link/serial_link.h\"\n#include <QtCore/QObject>\n#include \"model/tool_state.h\"\n")
plant("apps/tool/main.cpp" "#include \"app/application.h\"\n#include \"link/serial_link.h\"\n")
run_check(FALSE "")

# A glyph header reaching up to the model, on its fourth line; a link reaching across to its sibling.
plant("src/glyphs/glyph_bank_file.h" "#pragma once\n\n#include \"glyphs/glyph_model.h\"\n  #  include \"model/tool_state.h\" // ;[\n")
plant("src/link/tcp_link.h" "#pragma once\n#include <unit/virtual_unit.h>\n")
run_check(TRUE "src/glyphs/glyph_bank_file.h:4: glyphs -> model is upward;src/link/tcp_link.h:2: link -> unit is upward;2 include(s) against the layers")

# A folder that no row of the table names.
file(REMOVE "${WORK}/src/glyphs/glyph_bank_file.h" "${WORK}/src/link/tcp_link.h")
plant("src/extras/thing.h" "#pragma once\n")
run_check(TRUE "src/extras/: a folder in no layer")
file(REMOVE_RECURSE "${WORK}")
