# Qt's SVG module is not built for Windows: each picture of the resource file
# is rasterised here at its own size and at twice it ("@2x", which QIcon picks
# on a high-density screen), and the program's icon becomes an .ico that the
# executable carries. Sets LV_RASTER_QRC and LV_APP_ICON_RC.
find_program(LV_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(LV_ICOTOOL icotool REQUIRED)
set(res ${CMAKE_CURRENT_SOURCE_DIR}/res)
set(out ${CMAKE_CURRENT_BINARY_DIR}/res)
file(MAKE_DIRECTORY ${out})
file(STRINGS ${res}/librovista.qrc lines REGEX "<file>.*[.]svg</file>")
set(entries "")
foreach(line ${lines})
  string(REGEX REPLACE ".*<file>(.*)[.]svg</file>.*" "\\1" name "${line}")
  get_filename_component(dir ${out}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${out}/${name}.png ${out}/${name}@2x.png
                     COMMAND ${LV_RSVG_CONVERT} -z 1 -o ${out}/${name}.png ${res}/${name}.svg
                     COMMAND ${LV_RSVG_CONVERT} -z 2 -o ${out}/${name}@2x.png ${res}/${name}.svg
                     DEPENDS ${res}/${name}.svg VERBATIM)
  string(APPEND entries "    <file>${name}.png</file>\n    <file>${name}@2x.png</file>\n")
endforeach()
set(LV_RASTER_QRC ${out}/librovista.qrc)
file(CONFIGURE OUTPUT ${LV_RASTER_QRC}
     CONTENT "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n${entries}</qresource>\n</RCC>\n")

set(icon_pngs "")
foreach(size 16 24 32 48 64 256)
  add_custom_command(OUTPUT ${out}/app-${size}.png
                     COMMAND ${LV_RSVG_CONVERT} -w ${size} -h ${size} -o ${out}/app-${size}.png ${res}/app.svg
                     DEPENDS ${res}/app.svg VERBATIM)
  list(APPEND icon_pngs ${out}/app-${size}.png)
endforeach()
add_custom_command(OUTPUT ${out}/app.ico COMMAND ${LV_ICOTOOL} -c -o ${out}/app.ico ${icon_pngs}
                   DEPENDS ${icon_pngs} VERBATIM)
set(LV_APP_ICON_RC ${out}/librovista.rc)
file(CONFIGURE OUTPUT ${LV_APP_ICON_RC} CONTENT "IDI_ICON1 ICON \"${out}/app.ico\"\n")
set_source_files_properties(${LV_APP_ICON_RC} PROPERTIES OBJECT_DEPENDS ${out}/app.ico)
