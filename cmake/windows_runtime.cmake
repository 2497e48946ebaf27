# What a Windows program of this tree needs beside it to start: the Qt DLLs it links, Qt's plugins (the
# platform, the style, the image formats), and the MinGW runtime DLLs. They are copied into the build's
# bin/ at configure time, so the programs and the test programs run from there under Wine, and installed
# beside the programs, so the installer carries them.
if(NOT WIN32)
  return()
endif()

# Qt's own DLLs sit in its bin/ folder, its plugins in plugins/.
get_target_property(tvx230_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT tvx230_qtcore_dll)
  get_target_property(tvx230_qtcore_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(TVX230_QT_BIN ${tvx230_qtcore_dll} DIRECTORY)
get_filename_component(TVX230_QT_PREFIX ${TVX230_QT_BIN} DIRECTORY)

set(tvx230_qt_dlls Core Gui Widgets Network SerialPort)
set(tvx230_runtime_files)
foreach(module ${tvx230_qt_dlls})
  list(APPEND tvx230_runtime_files ${TVX230_QT_BIN}/Qt6${module}.dll)
endforeach()

# The MinGW runtime: the compiler's own DLLs and the thread library, wherever this compiler keeps them.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE tvx230_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE tvx230_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE tvx230_winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(dll ${tvx230_libstdcxx} ${tvx230_libgcc} ${tvx230_winpthread})
  if(NOT IS_ABSOLUTE ${dll} OR NOT EXISTS ${dll})
    message(FATAL_ERROR "The MinGW runtime DLL ${dll} was not found beside ${CMAKE_CXX_COMPILER}")
  endif()
  list(APPEND tvx230_runtime_files ${dll})
endforeach()

# Plugins, by the folder Qt looks for them in beside the program.
set(TVX230_QT_PLUGINS platforms/qwindows.dll platforms/qoffscreen.dll platforms/qminimal.dll
                      styles/qwindowsvistastyle.dll imageformats/qico.dll)

set(TVX230_WINDOWS_RUNTIME ${tvx230_runtime_files})
file(COPY ${tvx230_runtime_files} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
# The test programs use Qt Test as well; the installed tool does not.
file(COPY ${TVX230_QT_BIN}/Qt6Test.dll DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
foreach(plugin ${TVX230_QT_PLUGINS})
  get_filename_component(folder ${plugin} DIRECTORY)
  file(COPY ${TVX230_QT_PREFIX}/plugins/${plugin} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder})
endforeach()
# Qt looks for its plugins beside the program, never in the folder it was built for.
file(WRITE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/qt.conf "[Paths]\r\nPrefix=.\r\nPlugins=.\r\n")

install(FILES ${tvx230_runtime_files} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/qt.conf DESTINATION .)
foreach(plugin ${TVX230_QT_PLUGINS})
  get_filename_component(folder ${plugin} DIRECTORY)
  install(FILES ${TVX230_QT_PREFIX}/plugins/${plugin} DESTINATION ${folder})
endforeach()
