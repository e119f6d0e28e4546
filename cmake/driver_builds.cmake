# common/, description/ and settings/ are one source compiled twice: once for the
# render library (kernel pool, engine services, read side only; LBL_RENDER_BUILD)
# and once for the UI library (global heap, Win32 files, read and write side;
# LBL_UI_BUILD).
set(LBL_DRIVER_BUILDS render ui)

# lbl_driver_objects(NAME SOURCES... [DEPENDS lib...]): the object libraries
# NAME_render and NAME_ui, with the folder's include/ public and the folder itself
# private. DEPENDS names other driver object libraries without the build suffix.
function(lbl_driver_objects name)
  cmake_parse_arguments(D "" "" "SOURCES;DEPENDS" ${ARGN})
  foreach(build IN LISTS LBL_DRIVER_BUILDS)
    add_library(${name}_${build} OBJECT ${D_SOURCES})
    target_include_directories(${name}_${build} PUBLIC include PRIVATE .)
    foreach(dep IN LISTS D_DEPENDS)
      target_link_libraries(${name}_${build} PUBLIC ${dep}_${build})
    endforeach()
    set_target_properties(${name}_${build} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  endforeach()
endfunction()

# lblcore_render and lblcore_ui: the shared driver code of one build as one static
# library, linked whole into that build's driver library and by the tests.
function(lbl_make_core_libraries)
  foreach(build IN LISTS LBL_DRIVER_BUILDS)
    add_library(lblcore_${build} STATIC)
    target_link_libraries(lblcore_${build} PUBLIC lblcommon_${build} lbldescription_${build} lblsettings_${build})
  endforeach()
endfunction()
