# tvx230_windows_icon(TARGET SVG): the drawing as a Windows program's own icon, which Explorer, the task bar
# and a shortcut without an icon of its own show. Rendered into an .ico at build time (16 to 64 pixels as
# bitmaps, 256 as PNG) and linked in as the resource IDI_ICON1, the name Qt's Windows platform also takes
# for the default icon of the program's windows. The caller enables the RC language (at file scope).
function(tvx230_windows_icon target svg)
  find_program(TVX230_RSVG_CONVERT rsvg-convert)
  find_program(TVX230_ICOTOOL icotool)
  if(NOT TVX230_RSVG_CONVERT OR NOT TVX230_ICOTOOL)
    message(WARNING "rsvg-convert or icotool not found (Debian packages librsvg2-bin, icoutils): "
                    "${target}.exe is built without an icon of its own")
    return()
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_icon)
  set(ico ${dir}/${target}.ico)
  set(render)
  set(bitmaps)
  foreach(size 16 24 32 48 64 256)
    list(APPEND render COMMAND ${TVX230_RSVG_CONVERT} --width ${size} --height ${size} --output
                               ${dir}/${size}.png ${svg})
    if(NOT size EQUAL 256)
      list(APPEND bitmaps ${dir}/${size}.png)
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    ${render}
    COMMAND ${TVX230_ICOTOOL} --create --output ${ico} ${bitmaps} --raw ${dir}/256.png
    DEPENDS ${svg}
    VERBATIM)
  set(rc ${dir}/${target}.rc)
  file(WRITE ${rc} "IDI_ICON1 ICON \"${ico}\"\n")
  target_sources(${target} PRIVATE ${rc})
  # The resource compiler does not tell the build which files a script includes.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ico})
endfunction()
