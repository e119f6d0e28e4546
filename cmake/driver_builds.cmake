# The settings and description code is one source compiled twice: once for the
# render library (kernel pool, engine services, read side only) and once for the
# UI library (global heap, Win32 files, read and write side).
#
# settings/ and description/ append their sources to LBL_CORE_SOURCES; the two
# static libraries are made once both folders have been read.
set_property(GLOBAL PROPERTY LBL_CORE_SOURCES "")

function(lbl_add_core_sources)
  foreach(src IN LISTS ARGN)
    get_filename_component(abs "${src}" ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY LBL_CORE_SOURCES "${abs}")
  endforeach()
endfunction()

function(lbl_make_core_libraries)
  get_property(srcs GLOBAL PROPERTY LBL_CORE_SOURCES)
  foreach(build render ui)
    add_library(lblcore_${build} STATIC ${srcs})
    target_link_libraries(lblcore_${build} PUBLIC lblplatform)
    set_target_properties(lblcore_${build} PROPERTIES
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  endforeach()
  target_compile_definitions(lblcore_render PUBLIC LBL_RENDER_BUILD=1)
  target_compile_definitions(lblcore_ui PUBLIC LBL_UI_BUILD=1)
endfunction()
