# The layers of the tree and the one check that keeps them: every include of a folder of src/ points down.
#
#   cmake -DROOT=<source tree> -P cmake/check_layers.cmake
#
# Reads the #include lines of every file under ROOT/src and ROOT/apps and fails, naming the file, the line
# and the direction, when a folder includes a folder that is not below it. The programs in apps/ stand on
# top of every layer. A folder of src/ that is in no row of the table fails too, so a new folder is placed
# before its first include is written.

# The layers, lowest first. A folder includes its own files and those of the rows above its own; folders
# that share a row (the links to a unit and the virtual unit itself) do not include each other.
set(TVX230_LAYERS
    "config"      # INI profile, files, the notices interface
    "glyphs"      # glyph text, banks, bank files, size conversion
    "model"       # settings model, settings document, tool state
    "protocol"    # commands, replies, title encoding, sequences
    "link unit"   # serial and TCP links; the virtual unit
    "preview"     # the monitor picture of a page (Qt Gui, no widgets)
    "editors"     # controllers without widgets
    "cli"         # the command-line tool's runs
    "ui"          # dialogs as thin views
    "app")        # main window, command table, start-up wiring

if(NOT ROOT)
  message(FATAL_ERROR "check_layers: give the source tree as -DROOT=<folder>")
endif()

# rank_<folder>: the row of the folder.
set(rank 0)
set(known)
foreach(row IN LISTS TVX230_LAYERS)
  string(REPLACE " " ";" row_folders "${row}")
  foreach(folder IN LISTS row_folders)
    set(rank_${folder} ${rank})
    list(APPEND known ${folder})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()
set(top_rank ${rank})

# The folders an include line can name: every folder of src/.
file(GLOB entries RELATIVE "${ROOT}/src" "${ROOT}/src/*")
set(src_folders)
set(problems)
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${ROOT}/src/${entry}")
    list(APPEND src_folders ${entry})
    if(NOT DEFINED rank_${entry})
      list(APPEND problems "src/${entry}/: a folder in no layer; give it its row in cmake/check_layers.cmake")
    endif()
  endif()
endforeach()

file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/src/*.h" "${ROOT}/src/*.cpp" "${ROOT}/apps/*.h"
     "${ROOT}/apps/*.cpp")
list(SORT files)
set(include_regex "^[ \t]*#[ \t]*include[ \t]*[\"<]([A-Za-z0-9_]+)/")
set(checked 0)
foreach(file IN LISTS files)
  string(REGEX MATCH "^(src|apps)/([^/]+)/" where "${file}")
  if(CMAKE_MATCH_1 STREQUAL "apps")
    set(from "apps")
    set(from_rank ${top_rank})
  else()
    set(from "${CMAKE_MATCH_2}")
    if(NOT DEFINED rank_${from})
      continue()  # reported above, once for the folder
    endif()
    set(from_rank ${rank_${from}})
  endif()

  # Line by line; the characters that CMake's lists treat specially are taken out first (no include
  # path holds them), so that every line is one element.
  file(READ "${ROOT}/${file}" text)
  string(REPLACE ";" " " text "${text}")
  string(REPLACE "[" " " text "${text}")
  string(REPLACE "]" " " text "${text}")
  string(REPLACE "\\" " " text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(line_number 0)
  foreach(include IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    if(NOT include MATCHES "${include_regex}")
      continue()
    endif()
    set(to "${CMAKE_MATCH_1}")
    list(FIND src_folders "${to}" is_src_folder)
    if(is_src_folder LESS 0 OR NOT DEFINED rank_${to} OR to STREQUAL from)
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    if(NOT rank_${to} LESS from_rank)
      string(STRIP "${include}" shown)
      if(rank_${to} EQUAL from_rank)
        set(why "${to} is beside ${from}, not below it")
      else()
        set(why "${to} is above ${from}")
      endif()
      list(APPEND problems "${file}:${line_number}: ${from} -> ${to} is upward (${why}): ${shown}")
    endif()
  endforeach()
endforeach()

if(problems)
  # One line each, as compilers print a place, so that editors can jump to it.
  foreach(problem IN LISTS problems)
    message(NOTICE "${problem}")
  endforeach()
  list(LENGTH problems count)
  message(FATAL_ERROR "${count} include(s) against the layers: move the code down, or the include up.")
endif()
message(STATUS "layers: ${checked} includes across folders, all downward")
