# Resources of the Windows programs: version information from project(VERSION) and
# project(DESCRIPTION), the manifest, and the icon drawn in resources/icon.txt.

# The icon drawing as RT_ICON (one 32 x 32 image of 32 bits, bottom row first, with its
# transparency mask) and RT_GROUP_ICON, written as raw resource data into `out`.
function(sb_icon_resource drawing out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${drawing})
  file(STRINGS ${drawing} lines REGEX "^[^#]")
  list(LENGTH lines height)
  if(NOT height EQUAL 32)
    message(FATAL_ERROR "${drawing}: 32 rows of 32 pixels expected, found ${height} rows")
  endif()
  set(colour_.  0x00000000)
  set(colour_K  0xFF1E1E24)
  set(colour_R  0xFFC62A2F)
  set(colour_W  0xFFF2F2F2)
  set(colour_B  0xFF2C4A6E)
  set(colour_L  0xFF8FB4DA)
  set(colour_Y  0xFFFFD23F)
  set(colour_G  0xFF8A9099)
  set(colour_S  0xFF6B6F76)
  set(pixels "")
  set(mask "")
  list(REVERSE lines)  # bottom-up
  foreach(line IN LISTS lines)
    string(LENGTH "${line}" width)
    if(NOT width EQUAL 32)
      message(FATAL_ERROR "${drawing}: a row of ${width} pixels: ${line}")
    endif()
    set(row "")
    set(mask_row 0)
    foreach(x RANGE 31)
      string(SUBSTRING "${line}" ${x} 1 c)
      if(NOT DEFINED colour_${c})
        message(FATAL_ERROR "${drawing}: no colour for '${c}' in: ${line}")
      endif()
      string(APPEND row "${colour_${c}}L, ")
      if(c STREQUAL ".")
        # Byte x/8 of the row, most significant bit first; the row is read as one DWORD.
        math(EXPR mask_row "${mask_row} | (1 << ((${x} / 8) * 8 + 7 - ${x} % 8))")
      endif()
    endforeach()
    string(APPEND pixels "  ${row}\n")
    math(EXPR mask_row "${mask_row}" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND mask "${mask_row}L, ")
  endforeach()
  math(EXPR bytes "40 + 32 * 32 * 4 + 32 * 4")
  file(WRITE ${out}.new
    "1 3\n{\n"
    "  40L, 32L, 64L, 1, 32, 0L, 0L, 0L, 0L, 0L, 0L,\n"
    "${pixels}"
    "  ${mask}\n"
    "}\n"
    "1 14\n{\n"
    "  0, 1, 1, 0x2020, 0, 1, 32, ${bytes}L, 1\n"
    "}\n")
  file(READ ${out}.new text)
  string(REPLACE "L, \n}" "L\n}" text "${text}")
  file(WRITE ${out}.new "${text}")
  file(COPY_FILE ${out}.new ${out} ONLY_IF_DIFFERENT)
  file(REMOVE ${out}.new)
endfunction()

# Adds the resources to `target`, an executable named `file_name`.
function(sb_add_windows_resources target file_name description)
  set(dir ${CMAKE_BINARY_DIR}/resources/${target})
  set(SB_FILE_NAME ${file_name})
  set(SB_FILE_DESCRIPTION ${description})
  set(SB_DESCRIPTION ${PROJECT_DESCRIPTION})
  set(SB_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
  set(SB_VERSION_COMMAS
      ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(SB_MANIFEST ${dir}/scenario-builder.manifest)
  set(SB_ICON_RC ${CMAKE_BINARY_DIR}/resources/icon.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/scenario-builder.manifest.in ${SB_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/resources/scenario-builder.rc.in ${dir}/resources.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/resources.rc)
  set_property(SOURCE ${dir}/resources.rc APPEND PROPERTY OBJECT_DEPENDS
               ${SB_MANIFEST} ${SB_ICON_RC})
endfunction()
