# The source lists of the tree, in one place: the build of the programs (src/CMakeLists.txt) and of the
# tests (tests/CMakeLists.txt) take their files from here.

# The folders of src/ that make up the core: standard C++ only, no Qt.
set(TVX230_CORE_DIRS model config protocol glyphs)

# tvx230_folder_sources(out BASE folder DIRS dir...): the .cpp and .h files of each dir under folder, as
# they are added.
function(tvx230_folder_sources out)
  cmake_parse_arguments(S "" "BASE" "DIRS" ${ARGN})
  set(sources)
  foreach(dir ${S_DIRS})
    file(GLOB dir_sources CONFIGURE_DEPENDS ${S_BASE}/${dir}/*.cpp ${S_BASE}/${dir}/*.h)
    list(APPEND sources ${dir_sources})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()

# tvx230_test_sources(out BASE folder DIR dir): the test files of one folder of tests/.
function(tvx230_test_sources out)
  cmake_parse_arguments(S "" "BASE;DIR" "" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${S_BASE}/${S_DIR}/*.cpp)
  set(${out} ${sources} PARENT_SCOPE)
endfunction()


